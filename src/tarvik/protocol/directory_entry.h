#pragma once

#include <string_view>

#include "tarvik/protocol/kr_params.h"

namespace tarvik {

// How a directory entry's date and time are kept: the date format option, and the local time
// correction (LocalCorrectionValue: "+hh" / "-hh", hours) with the PC's year for the century.
struct DirectoryEntryOptions {
  char model_letter = 0;  // first letter of the recorder's model text (IN)
  bool us_date_format = false;
  bool local_time_correction = false;
  std::string_view correction;
  int current_year = 2000;
};

// One reply of MD (75): a type letter, then "hh:mm:ss,dd.mm.yy,peak 1,peak 2,peak 3,samples".
// Malformed times and dates become blanks (11 and 8); a sample count of 10000000 or more, or one
// that is not a number, gives 0 samples and no peaks.
DirectoryEntry ParseDirectoryEntry(std::string_view payload, const DirectoryEntryOptions& options);

// The file before `file_number` in the recorder's numbering 1..255: the directory is read from the
// newest entry backwards, and 1 is followed by 255.
inline int PreviousFileNumber(int file_number) {
  return file_number <= 1 ? kDirectorySlots : file_number - 1;
}

// Hours of the local time correction, negative for "-hh"; 0 for a text without hours.
int CorrectionHours(std::string_view correction);

}  // namespace tarvik
