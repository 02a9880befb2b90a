#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "krcommon/string_table.h"

namespace tarvik {

// Message ids of the seismic exports (string table, area "event files").
inline constexpr int kMsgIntervalFile = 25133;
inline constexpr int kMsgNoSampling = 25134;
inline constexpr int kMsgNoEventTime = 25135;
inline constexpr int kMsgNoSamples = 25136;
inline constexpr int kMsgTracesOpenError = 25115;  // the tool's "Cannot open "%s": %s"
inline constexpr int kMsgTracesShortHeader = 25102;

// One channel of a waveform event file.
struct ChannelTrace {
  std::string name;  // ch_names_* as stored ("X", "V", ...)
  std::string unit;  // ch_units_* without the leading blanks ("mm/s")
  double lsb = 0.0;  // physical value of one count
  // Counts as the recorder measured them; in xkr files millivolt channels already carry their
  // offset correction, so that counts x lsb is the physical value on every channel.
  std::vector<std::int32_t> counts;

  std::vector<double> Physical() const;
};

// The waveform of an skr, vkr or xkr file as channel traces with their timing.
struct EventTraces {
  int kind = 0;
  std::string recorder_serial;  // s_number
  std::string recorder_model;   // rec_name
  int sampling = 0;             // samples per second per channel
  // The first sample: the trigger time of the header plus int_offset / sampling, in microseconds
  // since 1970 on the recorder's clock.
  std::int64_t start_us = 0;
  std::optional<double> latitude;  // degrees, when the header has a position
  std::optional<double> longitude;
  std::array<ChannelTrace, 3> channels;

  std::size_t SampleCount() const { return channels[0].counts.size(); }
  // The time of sample `index` in microseconds since 1970.
  std::int64_t SampleTime(std::size_t index) const;
};

struct EventTracesResult {
  std::optional<EventTraces> traces;
  std::string error;           // the reason, in the table's language, when there are no traces
  bool interval_file = false;  // refused because the file holds periodic records, not a waveform
};

// Reads an event file into traces. Interval files (vmx, bkr, and block files of the other kinds)
// hold periodic records rather than a waveform and are refused, as are files without a sampling rate,
// a valid event time or a single complete frame. `current_year` expands the two-digit years.
EventTracesResult LoadEventTraces(const std::filesystem::path& path, int current_year,
                                  const kr::StringTable& strings);

}  // namespace tarvik
