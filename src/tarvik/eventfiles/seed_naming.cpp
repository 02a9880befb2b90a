#include "tarvik/eventfiles/seed_naming.h"

#include <cctype>

#include "krcommon/string_table.h"
#include "krcommon/vibration_assessment.h"

namespace tarvik {

namespace {

bool IsCode(std::string_view text, std::size_t min_length, std::size_t max_length) {
  if (text.size() < min_length || text.size() > max_length) return false;
  for (char c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string Trim(std::string_view text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return "";
  std::size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

}  // namespace

std::string ToSeedCode(std::string_view text) {
  std::string code;
  for (char c : text) code.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  return code;
}

char InstrumentCode(std::string_view unit) {
  switch (kr::ClassifyUnit(unit).quantity) {
    case kr::Quantity::kVelocity:
      return 'H';  // seismometer (geophone)
    case kr::Quantity::kAcceleration:
      return 'N';  // accelerometer
    default:
      return 'Y';  // any other input: SEED's non-specific instrument
  }
}

char BandCode(int sampling, char instrument) {
  const bool broad = instrument == 'N';
  if (sampling >= 1000) return broad ? 'F' : 'G';
  if (sampling >= 250) return broad ? 'C' : 'D';
  if (sampling >= 80) return broad ? 'H' : 'E';
  if (sampling >= 10) return broad ? 'B' : 'S';
  if (sampling > 1) return 'M';
  return 'L';
}

char OrientationCode(std::string_view header_name, int position) {
  std::string name = ToSeedCode(Trim(header_name));
  if (!name.empty()) {
    if (name[0] == 'Z' || name[0] == 'V') return 'Z';
    if (name[0] == 'N') return 'N';
    if (name[0] == 'E') return 'E';
  }
  return static_cast<char>('1' + position);
}

SeedNaming DefaultSeedNaming(const EventTraces& traces) {
  SeedNaming naming;
  for (char c : traces.recorder_serial) {
    if (naming.station.size() == 5) break;
    if (std::isalnum(static_cast<unsigned char>(c)))
      naming.station.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  }
  if (naming.station.empty()) naming.station = "KR";
  for (std::size_t c = 0; c < 3; ++c) {
    const ChannelTrace& channel = traces.channels[c];
    char instrument = InstrumentCode(channel.unit);
    naming.channels[c] = {BandCode(traces.sampling, instrument), instrument,
                          OrientationCode(channel.name, static_cast<int>(c))};
  }
  return naming;
}

std::string ValidateSeedNaming(const SeedNaming& naming, const kr::StringTable& strings) {
  if (!IsCode(naming.network, 1, 2)) return strings.Format(kMsgBadNetwork, naming.network);
  if (!IsCode(naming.station, 1, 5)) return strings.Format(kMsgBadStation, naming.station);
  if (!IsCode(naming.location, 0, 2)) return strings.Format(kMsgBadLocation, naming.location);
  for (const std::string& channel : naming.channels) {
    if (!IsCode(channel, 3, 3)) return strings.Format(kMsgBadChannels, channel);
  }
  return "";
}

std::optional<std::array<std::string, 3>> ParseChannelCodes(std::string_view text) {
  std::array<std::string, 3> codes;
  std::size_t count = 0;
  std::size_t begin = 0;
  while (true) {
    std::size_t comma = text.find(',', begin);
    std::string_view part = text.substr(begin, comma == std::string_view::npos ? text.npos : comma - begin);
    if (count == codes.size()) return std::nullopt;
    codes[count++] = ToSeedCode(Trim(part));
    if (comma == std::string_view::npos) break;
    begin = comma + 1;
  }
  if (count != codes.size()) return std::nullopt;
  return codes;
}

std::filesystem::path SdsDayFile(const std::filesystem::path& root, const SeedNaming& naming, int channel,
                                 int year, int day_of_year) {
  const std::string& cha = naming.channels[static_cast<std::size_t>(channel)];
  std::string name =
      kr::FormatPrintf("%s.%s.%s.%s.D.%04d.%03d", naming.network.c_str(), naming.station.c_str(),
                       naming.location.c_str(), cha.c_str(), year, day_of_year);
  return root / kr::FormatPrintf("%04d", year) / naming.network / naming.station / (cha + ".D") / name;
}

}  // namespace tarvik
