#pragma once

// Ids of the texts of the Operate windows: change password, memory management, recording mode (texts in
// resources/strings_maintenance.cpp).
namespace tarvik::operate_text {

inline constexpr int kRingMemory = 9802;
inline constexpr int kMirrorMemory = 9803;
inline constexpr int kOldPassword = 9804;
inline constexpr int kNewPassword = 9805;
inline constexpr int kRepeatPassword = 9806;

}  // namespace tarvik::operate_text
