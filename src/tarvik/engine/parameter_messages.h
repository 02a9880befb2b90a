#pragma once

#include "tarvik/engine/maintenance_messages.h"  // kRecordingModeError (238)

// String-table ids of the parameter operations (texts in tarvik/resources/strings_config.cpp).
namespace tarvik::msg {

inline constexpr int kNotReadyForAlerting = 224;
inline constexpr int kAlertingReadError = 226;
inline constexpr int kParameterReadError = 239;
inline constexpr int kTestResultsReadError = 251;
inline constexpr int kSelfTestSetupReadError = 263;
inline constexpr int kFilterReadError = 264;
inline constexpr int kAdValuesReadError = 265;
inline constexpr int kExportRecorderTitle = 379;
inline constexpr int kExportHcuTitle = 381;
inline constexpr int kHcuCommunicationReadError = 385;
inline constexpr int kHcuParametersReadError = 386;
inline constexpr int kBlastingModeActive = 8341;
inline constexpr int kFilterSet = 256;
inline constexpr int kFilterNotSet = 257;
inline constexpr int kParameterWriteError = 259;
inline constexpr int kTimeSyncNotDone = 297;
inline constexpr int kSetGeneralParameters = 440;
inline constexpr int kSetRecordingParameters = 441;
inline constexpr int kSetHcuParameters = 442;
inline constexpr int kSetCavAlarm = 443;
inline constexpr int kSetHcuPeriodicTest = 443;  // the same text as the CAV alarm's, as it always was
inline constexpr int kAlertingTestProgress = 444;
inline constexpr int kSetKrAlarm = 449;
inline constexpr int kSetFilter = 488;
inline constexpr int kSetSiAlarm = 8291;

// New texts of the parameter operations and their switches: 9750..9799.
inline constexpr int kParamListNotWritten = 9750;
inline constexpr int kCliUnknownPage = 9751;

}  // namespace tarvik::msg
