#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ondalyne {

class COndalyneDoc;

// Minimum and maximum counts of every channel over blocks of 16, 128, 1024, ... samples, built once
// per document. Any range of samples is then answered from at most a few dozen stored blocks and raw
// samples, so the extremes of each device column of any zoom are found without visiting every sample.
class LevelCache {
 public:
  static constexpr std::size_t kFirstBlock = 16;
  static constexpr std::size_t kFactor = 8;

  void Build(const COndalyneDoc& doc);
  bool empty() const { return doc_ == nullptr; }
  // The extremes of the counts of samples [first, end) of the channel; end > first.
  void MinMax(int channel, std::size_t first, std::size_t end, std::int32_t& lo, std::int32_t& hi) const;

 private:
  struct Level {
    std::size_t block = 0;
    std::array<std::vector<std::int32_t>, 3> lo, hi;
  };
  const COndalyneDoc* doc_ = nullptr;
  std::vector<Level> levels_;  // levels_[0] holds blocks of kFirstBlock samples
};

}  // namespace ondalyne
