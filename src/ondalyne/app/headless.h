#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "krcommon/clock.h"
#include "krcommon/string_table.h"

namespace ondalyne {

// The switches of the headless command line.
struct HeadlessCommand {
  enum class Action { kDescribe, kRender } action = Action::kDescribe;
  std::string page;  // status, time, frequency, vector-sum, peak-frequency
  std::string file;
  std::string out;
  int width = 1200;
  int height = 800;
  int channel = 0;             // 0 all, 1 X, 2 Y, 3 Z
  std::optional<bool> offset;  // unset: the initial rule with AutoOffset on
  std::optional<std::int64_t> zoom_first, zoom_end;
  bool us_date = false;
  kr::Language language = kr::Language::kEnglish;
};

// Parses the arguments after the program name. nullopt with `error` set on a bad command line.
std::optional<HeadlessCommand> ParseHeadless(const std::vector<std::string>& args,
                                             const kr::StringTable& strings, std::string& error);

// The date and time printed on paper: "%d.%m.%Y %H:%M", or "%m/%d/%Y %I:%M %p" in US style.
std::string AnalysisDate(const kr::DateTime& now, bool us);

// The analysis mode a page name stands for, or -1.
int ModeFromPageName(const std::string& page);

// Runs a parsed command: 0 done, 1 the file could not be loaded (or the output not written), 2 the
// page does not exist for the file. Messages go to `err`, the description to `out`. A Qt GUI
// application must exist for rendering.
int RunHeadless(const HeadlessCommand& command, kr::StringTable& strings, std::ostream& out,
                std::ostream& err);

}  // namespace ondalyne
