#pragma once

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
};

}  // namespace tarvik
