#pragma once

namespace tarvik::recordingmode_text {

// Ids of the recording-mode console's texts (resources/strings_info.cpp).
inline constexpr int kKeyboardTrigger = 9930;
inline constexpr int kStart = 9931;
inline constexpr int kBlastingMode = 9932;
inline constexpr int kStartBlasting = 9933;
inline constexpr int kStopBlasting = 9934;
inline constexpr int kCurrentlyActive = 9935;
inline constexpr int kDisabled = 9936;
inline constexpr int kClose = 9937;
inline constexpr int kEventOnly = 9938;
inline constexpr int kKbSingleFile = 9939;
inline constexpr int kKbAtNextStart = 9940;
inline constexpr int kVmSingle = 9941;
inline constexpr int kVmRepeat = 9942;
inline constexpr int kKbRepeat = 9943;
inline constexpr int kBlast = 9944;
inline constexpr int kRecordingStarted = 9945;
inline constexpr int kCounter = 9946;
inline constexpr int kTime = 9947;
inline constexpr int kStop = 9948;
inline constexpr int kRecordingModeLabel = 9906;
inline constexpr int kRingBufferMode = 9915;

}  // namespace tarvik::recordingmode_text
