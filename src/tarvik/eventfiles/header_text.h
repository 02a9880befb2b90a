#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "krcommon/clock.h"
#include "krcommon/event_header.h"
#include "krcommon/event_time.h"

namespace tarvik {

// The event header as text: the field dump (every field under its name, exactly as stored) and the
// file information (a readable report in sections). Both return one text with "\n" line ends;
// writers of text files turn them into "\r\n".

// What the dates of the file information depend on besides the header.
struct HeaderTextSettings {
  int current_year = 2000;   // window for two-digit years
  kr::DateTimeStyle style;   // US dates and 12-hour times, locale designators
  int time_shift_hours = 0;  // local time correction of the sync and trigger times
};

// The hours of a LocalCorrectionValue setting: the two characters after its first character are the
// number, backwards when the first character is "-" ("-02" gives -2, "+8" gives 8).
int LocalCorrectionHours(std::string_view correction_value);

// Settings for the texts: the current year from the clock, and the local time correction only while
// an event download is in progress with LocalTimeCorrection on.
HeaderTextSettings MakeHeaderTextSettings(const kr::Clock& clock, bool us_date_format,
                                          bool download_in_progress, bool local_time_correction,
                                          std::string_view local_correction_value);

// The field dump. Lines that only the X layout has read "unused" in the S layout, so both layouts
// give the same number of lines and a line's position always names the same field.
std::string FieldDump(const kr::EventHeader& header);

// The file information of a header read in its layout; `kind` selects the firmware-number and LSB
// rules (the LSB is shown without the x8 step).
std::string FileInformation(const kr::EventHeader& header, int kind, const HeaderTextSettings& settings);

// Both texts for a header whose kind and layout follow from the header itself.
std::string FieldDump(const kr::HeaderBytes& header);
std::string FileInformation(const kr::HeaderBytes& header, const HeaderTextSettings& settings);

// "<temp folder>/$hd<recorder, 2 digits><file number, 3 digits>.txt", the file that "Show
// Headerinfos of selected Event" writes and opens.
std::filesystem::path HeaderInformationFilePath(const std::filesystem::path& temp_folder, int recorder_number,
                                                int file_number);

// Writes the file information as a UTF-16 text file with CR LF line ends (created or truncated).
// False when the file cannot be created or written. Opening the file for the operator is the
// caller's step (through the UI port), so that the writer stays usable without a desktop.
bool WriteHeaderInformationFile(const std::filesystem::path& path, const kr::HeaderBytes& header,
                                const HeaderTextSettings& settings);

// "\n" -> "\r\n" for text destined for files.
std::string ToCrLf(std::string_view text);

}  // namespace tarvik
