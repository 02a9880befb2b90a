#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tarvik/config/parameter_page.h"

namespace tarvik {

class OperationEngine;
class LinkAdapter;

// What an information window shows: the page's lines as the page builder gives them (the same lines
// tarvik-cli --show prints), and the same lines per command code, for the windows with a fixed layout.
struct InfoPage {
  std::vector<PageLine> lines;
  std::map<std::string, std::vector<PageLine>, std::less<>> by_code;

  // The first line of `code`; null when the page has none (the recorder's type lacks the command).
  const PageLine* Line(std::string_view code) const;
  // Element `index` of the first line of `code` ("" when there is none).
  std::string Element(std::string_view code, std::size_t index) const;
};

// Reads the page from the data model under the model's lock. `also` names commands whose values the
// log-in has already read and the window shows besides the page's own (the sensor's LSB and baseline).
InfoPage ReadInfoPage(OperationEngine& engine, LinkAdapter& stack, ParameterPage page,
                      const std::vector<std::string_view>& also = {});

}  // namespace tarvik
