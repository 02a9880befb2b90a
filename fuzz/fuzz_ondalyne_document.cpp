// The viewer's loader on arbitrary bytes under each of the five file kinds, followed by every query
// the pages make of a loaded document.
#include <cstddef>
#include <cstdint>
#include <span>

#include "ondalyne/core/level_cache.h"
#include "ondalyne/core/ondalyne_doc.h"
#include "ondalyne/resources/ondalyne_strings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const kr::StringTable strings = ondalyne::MakeOndalyneStringTable();
  if (size == 0) return 0;
  // The first byte picks the kind by name, the rest is the file.
  static const char* kNames[] = {"f.skr", "f.vkr", "f.xkr", "f.vmx", "f.bkr"};
  std::span<const std::uint8_t> bytes(data + 1, size - 1);
  ondalyne::COndalyneDoc doc;
  ondalyne::LoadOptions options;
  options.us_date = (data[0] & 0x80) != 0;
  doc.LoadBytes(bytes, kNames[data[0] % 5], strings, options);
  double sink = doc.overall_max() + doc.overall_min();
  for (std::size_t i = 0; i < doc.count(); ++i) {
    for (int c = 0; c < 3; ++c) {
      sink += doc.Value(c, i);
      if (doc.HasFrequencies()) sink += doc.Frequency(c, i);
    }
  }
  ondalyne::LevelCache cache;
  cache.Build(doc);
  if (doc.count() > 0 && !cache.empty()) {
    std::int32_t lo = 0, hi = 0;
    cache.MinMax(0, 0, doc.count(), lo, hi);
    cache.MinMax(2, doc.count() / 3, doc.count(), lo, hi);
  }
  return sink == 12345.678 ? 1 : 0;
}
