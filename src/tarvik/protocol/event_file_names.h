#pragma once

#include <string>
#include <string_view>

#include "krcommon/clock.h"

namespace tarvik {

// Recorder text (a station name, an identification) made safe as part of a file name: path
// separators, control characters and characters that are not portable in names ("*?<>|:\"") become
// "_", ".." is broken up, leading blanks and points are dropped, and the result is cut to 64 bytes.
std::string SanitiseFileNamePart(std::string_view text);

// The download prefix (folder, "/", optional root name) with its root name sanitised.
std::string SanitisedPrefix(std::string_view prefix);

// "<prefix><station>-20yyMMddhhmmss.<ext>": the event time, two digits each.
std::string DateTimeEventFileName(std::string_view prefix, std::string_view station, const kr::DateTime& time,
                                  std::string_view extension);
// "<prefix><recorder %02d><file %03d>.<ext>" (03017.skr) and "<prefix><file %03d>.<ext>" (017.skr).
std::string RecorderNumericEventFileName(std::string_view prefix, int recorder, int file_number,
                                         std::string_view extension);
std::string NumericEventFileName(std::string_view prefix, int file_number, std::string_view extension);

// The name of the second file of a two-part event: "_2" in front of the extension.
std::string SecondPartFileName(std::string_view first);

// Where a file is written until it is complete: the same folder, ".part" appended.
std::string TemporaryFileName(std::string_view final_name);

}  // namespace tarvik
