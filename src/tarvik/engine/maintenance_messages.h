#pragma once

// String-table ids of the maintenance actions and the recording operations (texts in
// tarvik/resources/strings_maintenance.cpp).
namespace tarvik::msg {

inline constexpr int kRecordingModeError = 238;
inline constexpr int kEraseWrongPassword = 242;
inline constexpr int kAllEventsErased = 243;
inline constexpr int kBaselineDone = 245;
inline constexpr int kBaselineWrongPassword = 246;
inline constexpr int kFlagsWrongPassword = 249;
inline constexpr int kFlagsCleared = 250;
inline constexpr int kAlarmsWrongPassword = 252;
inline constexpr int kAlarmsCleared = 253;
inline constexpr int kFilterInitialised = 254;
inline constexpr int kFilterNotInitialised = 255;
inline constexpr int kSelfTestDone = 261;
inline constexpr int kSelfTestError = 262;
inline constexpr int kCountersNotCleared = 277;
inline constexpr int kProgressInitFilter = 278;
inline constexpr int kMemoryFull = 294;
inline constexpr int kMaximumFiles = 295;
inline constexpr int kClockNotSet = 297;
inline constexpr int kClockSet = 298;
inline constexpr int kCountersCleared = 376;
inline constexpr int kMemoryStatusError = 451;  // "ERROR", the memory status of a full memory

inline constexpr int kPasswordReadError = 267;
inline constexpr int kWrongOldPassword = 268;
inline constexpr int kPasswordsDiffer = 269;
inline constexpr int kPasswordLength = 270;
inline constexpr int kPasswordSet = 271;
inline constexpr int kPasswordNotSet = 272;
inline constexpr int kMemoryManagementReadError = 280;
inline constexpr int kMemoryManagementChanged = 281;
inline constexpr int kMemoryManagementError = 282;
inline constexpr int kMemoryManagementWarning = 401;
inline constexpr int kProgressMemoryManagement = 402;
inline constexpr int kProgressAlertingTest = 444;
inline constexpr int kProgressEraseSelected = 447;
inline constexpr int kTitleMemoryManagement = 476;

inline constexpr int kStatusErase = 356;
inline constexpr int kStatusBaseline = 360;
inline constexpr int kStatusClearFlags = 361;
inline constexpr int kStatusResetAlarms = 363;
inline constexpr int kStatusInitFilter = 364;
inline constexpr int kStatusSelfTest = 366;
inline constexpr int kStatusHcuSelfTest = 372;
inline constexpr int kStatusClearHcuFlags = 373;
inline constexpr int kStatusClearCounters = 375;
inline constexpr int kStatusChangePassword = 369;
inline constexpr int kStatusSyncClock = 462;

inline constexpr int kStartBlasting = 465;
inline constexpr int kStopBlasting = 466;
inline constexpr int kStartVm = 467;
inline constexpr int kStopVm = 468;
inline constexpr int kStartKb = 469;
inline constexpr int kStopKb = 470;

// Titles of the password prompt of the protected operations.
inline constexpr int kTitleErase = 472;
inline constexpr int kTitleBaseline = 473;
inline constexpr int kTitleClearFlags = 478;
inline constexpr int kTitleClearHcuFlags = 479;
inline constexpr int kTitleResetAlarms = 482;
inline constexpr int kTitleResetHcuAlarms = 483;
inline constexpr int kTitleInitFilter = 485;
inline constexpr int kTitleSelfTest = 486;
inline constexpr int kTitleHcuSelfTest = 487;

// Texts of the password change and the memory management without a number of their own (9800..9849).
inline constexpr int kChangePasswordTitle = 9800;
inline constexpr int kPasswordCharacters = 9801;

}  // namespace tarvik::msg
