#pragma once

#include <filesystem>
#include <string_view>

#include "krcommon/event_header.h"

namespace tarvik {

// Event-file kinds as the communication program numbers them.
inline constexpr int kKindUnknown = 0;
inline constexpr int kKindSkr = 1;
inline constexpr int kKindVkr = 2;
inline constexpr int kKindXkr = 3;
inline constexpr int kKindVmx = 4;
inline constexpr int kKindBkr = 5;

// The kind a header names (the rule of the download and the header texts): byte 64, the first letter
// of the recorder model, and the recording mode engg_mode.
//   'X' (XKR4100): engg_mode (byte 4) 0 or 5 -> xkr, anything else -> bkr;
//   'C' (CKR4100): engg_mode (byte 250) 0 or 5 -> vkr, 1..4, 6, 7 -> vmx, anything else -> skr;
//   any other letter -> skr.
int EventKindFromHeader(const kr::HeaderBytes& header);

// "skr", "vkr", "xkr", "vmx", "bkr"; "unknown" for any other number.
std::string_view KindExtension(int kind);

// The extension code of the ASCII export: the characters after the last "." of the file name,
// compared without regard to case by their first three characters: "SKR" 1, "VKR" 2, "XKR" 3,
// "VMX" 4, "BKR" 5, "16" 6, "24" 7; 0 for anything else.
int ExportExtensionCode(const std::filesystem::path& path);

}  // namespace tarvik
