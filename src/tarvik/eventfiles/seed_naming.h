#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "tarvik/eventfiles/event_traces.h"

namespace tarvik {

// Message ids of the stream names (string table, area "event files").
inline constexpr int kMsgBadNetwork = 25137;
inline constexpr int kMsgBadStation = 25138;
inline constexpr int kMsgBadLocation = 25139;
inline constexpr int kMsgBadChannels = 25140;

// The SEED names of the three streams of one event: network, station, location and one channel
// code per channel X, Y, Z.
struct SeedNaming {
  std::string network = "XX";  // "XX": the SEED code for data of no registered network
  std::string station;
  std::string location;  // empty: no location code
  std::array<std::string, 3> channels;
};

// What the sensor of a channel measures, from its unit (decides the instrument code).
char InstrumentCode(std::string_view unit);
// The band code of the SEED convention for `sampling` samples per second. Velocity sensors of these
// recorders are geophones (short period): G, D, E, S from 1000, 250, 80, 10 Hz. Accelerometers are
// flat down to 0 Hz (broad band): F, C, H, B. Below 10 Hz: M, and L at 1 Hz and below.
char BandCode(int sampling, char instrument);
// The orientation code from the channel's name in the header: a name starting with Z or V
// (vertical) gives Z, N and E give N and E; any other name gives the channel's position 1, 2, 3.
char OrientationCode(std::string_view header_name, int position);

// The default names: network "XX", the station from the recorder's serial number (letters and
// digits only, upper case, at most 5; "KR" when nothing is left), no location, and channel codes from
// band, instrument and orientation.
SeedNaming DefaultSeedNaming(const EventTraces& traces);

// Empty when the names are valid SEED codes (network 1-2, station 1-5, location 0-2, channels 3
// letters or digits each), else the message.
std::string ValidateSeedNaming(const SeedNaming& naming, const kr::StringTable& strings);

// Splits "HHE,HHN,HHZ" into three codes (upper-cased); none unless there are exactly three.
std::optional<std::array<std::string, 3>> ParseChannelCodes(std::string_view text);
std::string ToSeedCode(std::string_view text);

// The day file of an SDS archive: ROOT/YEAR/NET/STA/CHA.D/NET.STA.LOC.CHA.D.YEAR.DDD (day of year
// with three digits).
std::filesystem::path SdsDayFile(const std::filesystem::path& root, const SeedNaming& naming, int channel,
                                 int year, int day_of_year);

}  // namespace tarvik
