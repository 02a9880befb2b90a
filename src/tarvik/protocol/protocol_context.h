#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "tarvik/protocol/tick_limits.h"

namespace tarvik {

// How the link's file number is re-initialised before the next file command (one-shot).
enum class FileNumberRequest {
  kNone,
  kByState,  // A: next file of a transfer, chosen by the operation state
  kNewest,   // B: the newest file
  kHighest,  // C: the highest file number
};

inline constexpr int kNoForcedFileNumber = -1;

// Link kinds of the engine, as stored in connection documents and settings.
inline constexpr int kLinkKindDirect = 6;

// What the operation engine owns and the command builder reads (and, for the settings-touched flag
// and the one-shot file-number request, consumes). The engine changes it only while it holds the
// link channel's lock, like the recorder data model.
struct ProtocolContext {
  bool control_unit_present = false;  // an HCU polls several recorders behind this link
  int operation_state = 0;
  int link_kind = 2;
  bool show_freq_dir_info = false;  // setting ShowFreqDirInfo: MI and MJ are read
  bool priority_option = false;
  bool settings_touched = false;  // a settings-touching write went out since the last commit (Fi)

  int forced_file_number = kNoForcedFileNumber;  // every file command but MD uses it when set
  FileNumberRequest file_number_request = FileNumberRequest::kNone;
  int file_list_next_entry = 0;  // request A in state 18: the engine's next file-list entry
  int last_file_number = 0;      // request A in states 16, 17, 20 and 75

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
