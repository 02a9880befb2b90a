#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "krcommon/clock.h"
#include "krcommon/event_header.h"
#include "krsim/packed_encoder.h"
#include "krsim/sim_config.h"

namespace krsim {

// One event as the recorder keeps it: its header, its data pairs as the transfer sends them and,
// for waveform kinds, the samples the pairs encode.
struct StoredEvent {
  int file_number = 0;
  EventKind kind = EventKind::kVkr;
  kr::DateTime time;                     // trigger time (waveforms) or start of monitoring (periodic kinds)
  int int_offset = 0;                    // sub-second position of the start, in samples
  std::array<std::int32_t, 3> peaks{};   // counts, as header, directory entry and data agree
  std::uint32_t nb_samples = 0;          // frames (waveforms) or periodic records
  std::array<double, 3> frequency_hz{};  // dominant frequency per channel
  kr::HeaderBytes header{};
  std::vector<Frame> frames;  // waveform kinds only
  std::vector<DataPair> pairs;

  bool IsPeriodic() const { return kind == EventKind::kVmx || kind == EventKind::kBkr; }
  // Blocks of 128 bytes the transfer sends: the header pair and every data pair.
  int BlockCount() const { return static_cast<int>(2 * (1 + pairs.size())); }
};

// Everything of a recorder that shows in its events.
struct RecorderIdentity {
  int number = 1;  // slot behind the control unit
  RecorderConfig config;
  std::uint64_t seed = 1;
};

// Makes events deterministically: the same identity, file number, kind and time always give the same
// bytes, so a second run (--export-events) reproduces what a download receives.
//
// Waveforms: noise of a few counts on three channels with a decaying oscillation starting at the
// trigger (after the pre-event time), each channel with its own amplitude, frequency and decay.
// Periodic kinds: one record per 30-second interval with peaks that rise and fall over the
// monitoring period, now and then a larger one.
StoredEvent MakeEvent(const RecorderIdentity& recorder, int file_number, EventKind kind,
                      const kr::DateTime& time);

// What the transfer sends for the event: the header and the data pairs, 128 bytes per block.
std::vector<std::uint8_t> TransferImage(const StoredEvent& event);
// The event file the PC writes after downloading it: the header followed by the decoded samples
// (2 bytes per sample for skr and vkr, 3 for xkr, channels X, Y, Z per frame), or followed by the
// periodic blocks unchanged (vmx, bkr).
std::vector<std::uint8_t> ExportImage(const StoredEvent& event);

// The LSB of one count per channel as mantissa and decimal exponent (the IE values).
struct LsbCode {
  int mantissa;
  int exponent;
};
LsbCode RecorderLsb(const RecorderConfig& config);
// Converter resolution in bits.
int AdcBits(const RecorderConfig& config);

}  // namespace krsim
