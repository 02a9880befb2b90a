#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "krcommon/clock.h"
#include "krcommon/event_header.h"

namespace kr {

// Values derived from an event header that every reader of event files computes the same way. The
// file kind (1 skr, 2 vkr, 3 xkr, 4 vmx, 5 bkr) is an input here: each program decides it by its own
// rule (header, extension or file name).

// Kinds 3 and 5 (xkr, bkr) use the X layout, all others the S layout.
HeaderLayout LayoutForKind(int kind);

// The physical value of one count per channel X, Y, Z:
//  1. the mantissa, divided by 10 once per unit of a negative exponent (a zero or positive exponent
//     leaves it unchanged, so exponent +2 with mantissa 5 gives 5);
//  2. kinds 3 and 5: each channel times its gain_corr / 10000 when all three corrections lie in
//     9000..11000, otherwise all three times 1.036;
//  3. kind 5 with adc_resol 20: all three times 8, unless `without_x8_step`.
// The header is read in the layout the kind names.
std::array<double, 3> LsbVector(int kind, const HeaderBytes& header, bool without_x8_step);

// One number for the recorder firmware:
//  kinds 3, 5: byte 58 x 256 + byte 59;
//  kinds 2, 4: byte 79 x 100 + signed byte 233, where a byte 79 of 'V' (86) counts as 220;
//  other kinds: byte 79 x 256 + byte 26, with 18045 reported as 32070.
int FirmwareVersion(int kind, const HeaderBytes& header);

// True when the channel (0 X, 1 Y, 2 Z) of an X-layout header has the unit text "   mV" exactly.
bool IsMillivoltChannel(const EventHeader& header, int channel);
// What an X-layout reader adds to a raw count of a millivolt channel: ch_offset - kbftm of that
// channel; 0 for other channels and for S-layout headers.
std::int32_t MillivoltCorrection(const EventHeader& header, int channel);

// The start (trigger) time of an event: the BCD fields int_second .. int_year (two-digit year expanded
// around current_year) plus int_offset / sampling seconds.
struct EventStart {
  std::optional<DateTime> time;  // whole seconds; nullopt when day or month is 0 or the date is invalid
  int int_offset = 0;            // samples after `time`
  int sampling = 0;              // samples per second; 0 leaves the sub-second part unknown
  double SubSecond() const { return sampling > 0 ? static_cast<double>(int_offset) / sampling : 0.0; }
};
EventStart EventStartTime(const EventHeader& header, int current_year);

}  // namespace kr
