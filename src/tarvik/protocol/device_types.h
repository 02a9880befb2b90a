#pragma once

#include <array>
#include <span>
#include <string_view>

namespace tarvik {

// One recorder type: the model letter, the firmware range it covers, the type constants c1..c21 and
// the commands its firmware does not know. Fixed by the firmware releases.
struct DeviceType {
  char letter;
  int firmware_from;
  int firmware_to;
  std::array<int, 21> c;  // c[0] is c1
  std::span<const std::string_view> unsupported;

  // Column cN, 1-based as the columns are named; 0 for a number outside 1..21.
  int Column(int n) const { return n >= 1 && n <= 21 ? c[static_cast<size_t>(n - 1)] : 0; }
  bool AllowsCommit() const { return Column(4) == 1; }           // command 284 (Fi)
  bool AllowsEventValues() const { return Column(5) == 1; }      // commands 184, 185 (MI, MJ)
  bool UsesSecondFileFamily() const { return Column(18) == 1; }  // XKR/BKR event files
  bool Supports(int command) const;
};

inline constexpr int kDeviceTypeCount = 24;
inline constexpr int kNoDeviceType = -1;

std::span<const DeviceType> DeviceTypes();

// The type at `index`, or null for kNoDeviceType and any other index outside the table.
const DeviceType* DeviceTypeAt(int index);

// The first type whose letter is the model letter and whose firmware range holds `firmware`;
// kNoDeviceType when none does.
int LookUpDeviceType(char model_letter, int firmware);

// Whether a recorder of the given type index understands the command. A recorder of unknown type
// (kNoDeviceType) is assumed to understand every command.
bool DeviceTypeSupports(int device_type, int command);

}  // namespace tarvik
