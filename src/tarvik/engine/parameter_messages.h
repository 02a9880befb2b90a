#pragma once

// String-table ids of the parameter operations (texts in tarvik/resources/strings_config.cpp).
namespace tarvik::msg {

inline constexpr int kNotReadyForAlerting = 224;
inline constexpr int kAlertingReadError = 226;
inline constexpr int kRecordingModeError = 238;
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

// New texts of the parameter operations and their switches: 9750..9799.
inline constexpr int kParamListNotWritten = 9750;
inline constexpr int kCliUnknownPage = 9751;

}  // namespace tarvik::msg
