#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarvik {

// A value of the recorder data model with the flag that makes its write command send it. A dialog
// stores a value that differs with Set(); the write command sends it and clears the flag.
template <typename T>
struct Param {
  T value{};
  bool changed = false;

  void Set(const T& new_value) {
    value = new_value;
    changed = true;
  }
};

// Integers read as a comma-separated list into consecutive slots. Each slot keeps its own changed
// flag, so that the multi-item writes send exactly the slots that were edited.
template <std::size_t N>
struct ParamList {
  static constexpr std::size_t kCapacity = N;

  std::array<Param<int>, N> items{};
  int count = 0;  // slots filled by the last read

  Param<int>& operator[](std::size_t i) { return items[i]; }
  const Param<int>& operator[](std::size_t i) const { return items[i]; }
  int Value(std::size_t i) const { return items[i].value; }
  bool AnyChanged(std::size_t first = 0, std::size_t end = N) const {
    for (std::size_t i = first; i < end && i < N; ++i) {
      if (items[i].changed) return true;
    }
    return false;
  }
  void ClearChanged() {
    for (Param<int>& item : items) item.changed = false;
  }
};

// Capacity of the lists that no write command sends; values of a longer reply are dropped.
inline constexpr std::size_t kReadListCapacity = 32;
using IntList = ParamList<kReadListCapacity>;

// Failed exchanges with a unit. The three always rise together; the disconnect summary prints
// them and sets them to 0.
struct OfflineCounters {
  std::uint32_t sequence = 0;
  std::uint32_t long_term = 0;
  std::uint32_t total = 0;

  void Increment() {
    ++sequence;
    ++long_term;
    ++total;
  }
};

}  // namespace tarvik
