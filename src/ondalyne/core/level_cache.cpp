#include "ondalyne/core/level_cache.h"

#include <algorithm>
#include <climits>

#include "ondalyne/core/ondalyne_doc.h"

namespace ondalyne {

void LevelCache::Build(const COndalyneDoc& doc) {
  doc_ = &doc;
  levels_.clear();
  const std::size_t count = doc.count();
  if (count < kFirstBlock || doc.kind() <= 0) return;
  Level first;
  first.block = kFirstBlock;
  const std::size_t blocks = count / kFirstBlock;
  for (int c = 0; c < 3; ++c) {
    auto& lo = first.lo[static_cast<std::size_t>(c)];
    auto& hi = first.hi[static_cast<std::size_t>(c)];
    lo.resize(blocks);
    hi.resize(blocks);
    for (std::size_t b = 0; b < blocks; ++b) {
      std::int32_t l = INT32_MAX, h = INT32_MIN;
      for (std::size_t i = b * kFirstBlock, e = i + kFirstBlock; i < e; ++i) {
        const std::int32_t v = doc.Count(c, i);
        l = std::min(l, v);
        h = std::max(h, v);
      }
      lo[b] = l;
      hi[b] = h;
    }
  }
  levels_.push_back(std::move(first));
  while (levels_.back().lo[0].size() >= kFactor) {
    const Level& below = levels_.back();
    Level next;
    next.block = below.block * kFactor;
    const std::size_t n = below.lo[0].size() / kFactor;
    for (std::size_t c = 0; c < 3; ++c) {
      next.lo[c].resize(n);
      next.hi[c].resize(n);
      for (std::size_t b = 0; b < n; ++b) {
        auto lo_begin = below.lo[c].begin() + static_cast<std::ptrdiff_t>(b * kFactor);
        auto hi_begin = below.hi[c].begin() + static_cast<std::ptrdiff_t>(b * kFactor);
        next.lo[c][b] = *std::min_element(lo_begin, lo_begin + kFactor);
        next.hi[c][b] = *std::max_element(hi_begin, hi_begin + kFactor);
      }
    }
    levels_.push_back(std::move(next));
  }
}

void LevelCache::MinMax(int channel, std::size_t first, std::size_t end, std::int32_t& lo,
                        std::int32_t& hi) const {
  lo = INT32_MAX;
  hi = INT32_MIN;
  const auto c = static_cast<std::size_t>(channel);
  // Level 0 is the raw samples (block 1); level k >= 1 is levels_[k - 1].
  const int top = static_cast<int>(levels_.size());
  auto block = [&](int level) {
    return level == 0 ? std::size_t{1} : levels_[static_cast<std::size_t>(level - 1)].block;
  };
  auto take = [&](int level, std::size_t pos) {
    if (level == 0) {
      const std::int32_t v = doc_->Count(channel, pos);
      lo = std::min(lo, v);
      hi = std::max(hi, v);
      return;
    }
    const Level& l = levels_[static_cast<std::size_t>(level - 1)];
    const std::size_t index = pos / l.block;
    lo = std::min(lo, l.lo[c][index]);
    hi = std::max(hi, l.hi[c][index]);
  };
  std::size_t pos = first;
  int level = 0;
  // Upwards: finish the partial block of each level until the position is aligned to the next.
  while (level < top) {
    const std::size_t next = block(level + 1);
    while (pos % next != 0 && pos + block(level) <= end) {
      take(level, pos);
      pos += block(level);
    }
    if (pos % next != 0 || pos + next > end) break;
    ++level;
  }
  // Downwards: whole blocks of each level while they fit.
  for (;;) {
    while (pos + block(level) <= end) {
      take(level, pos);
      pos += block(level);
    }
    if (level == 0) break;
    --level;
  }
}

}  // namespace ondalyne
