#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "krsim/sim_config.h"

namespace krsim {

// Stored values of a unit, by read-command code, each as the payload text its read returns
// ("TE" -> "2", "TR" -> "400,400,400,1,1,1,2,2,2"). Values a unit computes (clock, number of files,
// directory entries, status strings) are not stored here.
using ParamMap = std::map<std::string, std::string, std::less<>>;

ParamMap DefaultRecorderParams(const RecorderConfig& config);
ParamMap DefaultHcuParams(const SimConfig& config);

// A comma-separated list value, split and joined again.
std::vector<std::string> SplitItems(std::string_view value);
std::string JoinItems(const std::vector<std::string>& items);
// Replaces item `index` of a list value, growing the list with "0" items when it is shorter.
std::string SetItem(std::string_view value, std::size_t index, std::string_view item);

// Text written by the PC as it may stand inside a reply: "(", ")" and "*" carry framing meaning on
// the line and become "[", "]" and "#"; inside a list a "," would start a new item and becomes ";".
std::string SanitizeText(std::string_view text, bool list_item);

}  // namespace krsim
