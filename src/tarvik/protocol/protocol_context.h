#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "tarvik/protocol/tick_limits.h"

namespace tarvik {

// How the link's file number is re-initialised before the next file command (one-shot).
enum class FileNumberRequest {
  kNone,
  kNextChosen,  // the next file of the list the operator chose (file_list_next_entry + 1)
  kAfterLast,   // the file after the last one fetched (last_file_number + 1, 255 wraps in a ring)
  kNewest,      // the newest file
  kHighest,     // the highest file number
};

inline constexpr int kNoForcedFileNumber = -1;

// What an event download is for. It decides how the file is named, whether the data is written at
// all, and how the directory walk goes on after a file.
enum class DownloadPurpose {
  kNone,            // no download runs: directory entries are read newest to oldest
  kAllEvents,       // every event, newest first; a file that cannot be had is abandoned
  kSelectedEvents,  // the events the operator chose
  kViewing,         // one event into the temporary folder, to be shown
  kHeaderOnly,      // only the two header blocks, for the event list's header line
  kControlPanel,    // the control panel's automatic download of the newest event
};

struct ProtocolContext {
  bool control_unit_present = false;  // an HCU polls several recorders behind this link
  bool direct_link = false;           // Direct Link: the probe searches the recorder's baud rate
  bool logging_in = false;            // the log-in runs: a lost log-in means the password was refused
  DownloadPurpose download_purpose = DownloadPurpose::kNone;
  bool show_freq_dir_info = false;  // setting ShowFreqDirInfo: MI and MJ are read
  bool priority_option = false;
  bool settings_touched = false;  // a settings-touching write went out since the last commit (Fi)

  int forced_file_number = kNoForcedFileNumber;  // every file command but MD uses it when set
  FileNumberRequest file_number_request = FileNumberRequest::kNone;
  int file_list_next_entry = 0;  // kNextChosen: the engine's next file-list entry
  int last_file_number = 0;      // kAfterLast: the last file fetched

  TimeoutSettings timeouts;  // milliseconds, with the polling time
  TickLimits limits;         // ticks, from ComputeTickLimits when the connection is made

  // Event download. The prefix is a folder, "/" and an optional root name in front of the numbers;
  // downloads meant for viewing use the viewing prefix (TempPath + "/$tp"). The part after the last
  // "/" is sanitised before it becomes a file name; the engine keeps recorder text out of the folder.
  std::string download_prefix;
  std::string viewing_prefix;
  bool date_time_file_names = false;            // DateTimeFileNames
  bool per_recorder_numbering = false;          // numeric names carry the recorder number in states 16, 17
  bool us_date_format = false;                  // UsDateFormat: directory dates mm/dd/yy, 12-hour times
  bool local_time_correction = false;           // LocalTimeCorrection
  std::string local_correction_value;           // LocalCorrectionValue: "+hh" or "-hh"
  std::array<std::string, 16> station_names{};  // per recorder 1..16, slot n-1; part of date-time names
  std::filesystem::path bulk_file_path;         // where Mx2 (296) writes its raw data
};

}  // namespace tarvik
