// Any pair of blocks, in both sample widths: the decoder stays inside the pair and its buffer.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "tarvik/protocol/event_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::array<std::uint8_t, tarvik::kEventPairSize> pair{};
  std::copy_n(data, std::min(size, pair.size()), pair.begin());
  static tarvik::DecodedPair out;
  for (bool wide : {false, true}) {
    tarvik::DecodeEventPair(pair, wide, out);
    if (out.size != static_cast<std::size_t>(out.records) * (wide ? 9u : 6u)) __builtin_trap();
  }
  return 0;
}
