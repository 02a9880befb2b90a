#pragma once

// String-table ids the engine shows (texts in tarvik/resources/strings_engine.cpp).
namespace tarvik::msg {

inline constexpr int kCannotOpenCom = 205;
inline constexpr int kInitCommError = 206;
inline constexpr int kNotReadyOrBaud = 208;
inline constexpr int kModemConnectFailed = 210;
inline constexpr int kEventFileNotSaved = 211;
inline constexpr int kNoReply = 212;
inline constexpr int kAddressBusy = 213;
inline constexpr int kNoStructure = 214;
inline constexpr int kNoFilesStored = 216;
inline constexpr int kHangupFailed = 217;
inline constexpr int kCannotOpenIpPort = 218;
inline constexpr int kModemNotReady = 219;
inline constexpr int kDirectoryError = 225;
inline constexpr int kWrongSystem = 248;
inline constexpr int kLoginError = 275;
inline constexpr int kRecorderNotAvailable = 276;
inline constexpr int kFirmwareUnsupportedType = 279;
inline constexpr int kFirmwareUnsupported = 703;
inline constexpr int kFileExists = 507;  // shared with the connection editor

inline constexpr int kStatusLogin = 330;
inline constexpr int kReadingEvent = 331;
inline constexpr int kTransferEvent = 332;
inline constexpr int kConnectingIp = 336;
inline constexpr int kConnectionOk = 337;
inline constexpr int kConnectionFailed = 338;
inline constexpr int kConnectingModem = 339;
inline constexpr int kStatusLogout = 347;
inline constexpr int kStatusViewEvent = 357;
inline constexpr int kStatusTransferAll = 358;
inline constexpr int kStatusTransferSingle = 359;
inline constexpr int kStatusHangup = 378;
inline constexpr int kLoginTitle = 471;
inline constexpr int kInitializingModem = 491;
inline constexpr int kDialing = 492;
inline constexpr int kSaveAs83 = 506;
inline constexpr int kFilterVkr = 616;
inline constexpr int kFilterSkr = 617;
inline constexpr int kFilterXkr = 618;
inline constexpr int kFilterXkrBkr = 619;
inline constexpr int kChooseFolder = 637;

// New texts of the engine and tarvik-cli: 9500..9549.
inline constexpr int kCliUsage = 9501;
inline constexpr int kCliNeedConnection = 9502;
inline constexpr int kCliNoSuchRecorder = 9503;
inline constexpr int kCliBadSwitch = 9504;
inline constexpr int kCliNotLoggedIn = 9505;
inline constexpr int kMiniSeedNotWritten = 9506;
// Macros and scripts: 9550..9599.
inline constexpr int kCliEmptyMacro = 9552;

}  // namespace tarvik::msg
