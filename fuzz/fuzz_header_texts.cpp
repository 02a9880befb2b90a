// Any 256 bytes are a header as far as the texts are concerned: both layouts, every kind, both date
// styles, with and without a local time correction.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "krcommon/event_header.h"
#include "krcommon/event_values.h"
#include "tarvik/eventfiles/event_kind.h"
#include "tarvik/eventfiles/header_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kr::HeaderBytes header{};
  std::memcpy(header.data(), data, size < header.size() ? size : header.size());
  std::uint8_t extra = size > header.size() ? data[header.size()] : 0;

  tarvik::HeaderTextSettings settings;
  settings.current_year = 1900 + extra;
  settings.style.us_format = (extra & 1) != 0;
  if (extra & 2) settings.style.am_designator.clear();
  settings.time_shift_hours = static_cast<std::int8_t>(extra);

  for (int kind = 0; kind <= 6; ++kind) {
    kr::EventHeader view(header, kr::LayoutForKind(kind));
    std::string dump = tarvik::FieldDump(view);
    std::string info = tarvik::FileInformation(view, kind, settings);
    if (dump.empty() || info.empty()) __builtin_trap();
    kr::EventStartTime(view, settings.current_year);
  }
  tarvik::FieldDump(header);
  tarvik::FileInformation(header, settings);
  tarvik::ToCrLf(tarvik::FieldDump(header));
  tarvik::KindExtension(tarvik::EventKindFromHeader(header));
  return 0;
}
