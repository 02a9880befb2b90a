#pragma once

#include <span>

#include "krcommon/string_table.h"

namespace ondalyne {

// Ids of the viewer's texts. The numbers below 1000 are the ones the viewer has always used; the
// texts the viewer's pages and its command line add have ids from 30000 on.
namespace sid {
inline constexpr int kTimeAxis = 142;       // "Time [%s]"
inline constexpr int kUnknownFormat = 156;  // file fails the header checks
inline constexpr int kIncomplete = 173;     // fewer samples than announced
inline constexpr int kPrintStamp = 392;     // "%s%s Analysis date: %s" on paper
inline constexpr int kOutOfMemory = 395;
inline constexpr int kKbUnit = 400;              // KB file with a unit other than mm/s
inline constexpr int kRecordingModeFirst = 639;  // names of recording modes 0..14 are 639..653

inline constexpr int kFileLabel = 30000;
inline constexpr int kDateLabel = 30001;
inline constexpr int kStationLabel = 30002;
inline constexpr int kWholeHistory = 30003;
inline constexpr int kYes = 30004;
inline constexpr int kNo = 30005;
inline constexpr int kStatusLabel = 30006;
inline constexpr int kError = 30007;
inline constexpr int kWarning = 30008;
inline constexpr int kOk = 30009;
inline constexpr int kOffsetCorrected = 30010;
inline constexpr int kTitleStatus = 30011;
inline constexpr int kTitleKbFile = 30012;
inline constexpr int kTitlePeakFile = 30013;
inline constexpr int kTitleTimeHistory = 30014;
inline constexpr int kTitleFrequency = 30015;
inline constexpr int kTitleVectorSum = 30016;
inline constexpr int kTitlePeakFrequency = 30017;
inline constexpr int kChannelX = 30018;  // X, Y, Z: 30018..30020
inline constexpr int kKbfMax = 30021;
inline constexpr int kPeakValue = 30022;
inline constexpr int kMaxUncorrected = 30023;
inline constexpr int kMaxCorrected = 30024;
inline constexpr int kKbfTm = 30025;
inline constexpr int kMaxFrequency = 30026;
inline constexpr int kFrequencyAxis = 30027;
inline constexpr int kTrigger = 30028;
inline constexpr int kVectorSumLabel = 30029;
inline constexpr int kTitleAssessment = 30030;
inline constexpr int kLineLabel = 30031;        // "Line %d" at a guideline curve
inline constexpr int kAssessPeak = 30032;       // the channel's peak particle velocity
inline constexpr int kAssessFrequency = 30033;  // its frequency
inline constexpr int kAssessNoFrequency = 30034;
inline constexpr int kAssessLine = 30035;     // guideline value and ratio of one line
inline constexpr int kAssessCaption = 30036;  // what the lines are
inline constexpr int kAssessLegend = 30037;
inline constexpr int kLineNameFirst = 30190;  // what the buildings of lines 1..3 are: 30190..30192

// Instrument status page: labels 30040..30069, values 30070..30099.
inline constexpr int kStKrSerial = 30040;
inline constexpr int kStSensorSerial = 30041;
inline constexpr int kStRecording = 30042;
inline constexpr int kStTriggerChannel = 30043;
inline constexpr int kStTimeOfTrigger = 30044;
inline constexpr int kStDuration = 30045;
inline constexpr int kStParameters = 30046;
inline constexpr int kStTriggerLevels = 30047;
inline constexpr int kStLevelX = 30048;  // X, Y, Z: 30048..30050
inline constexpr int kStTriggerLogic = 30051;
inline constexpr int kStPreEvent = 30052;
inline constexpr int kStPostEvent = 30053;
inline constexpr int kStFilter = 30054;
inline constexpr int kStRecordingMode = 30055;
inline constexpr int kStCondition = 30056;
inline constexpr int kStMainBattery = 30057;
inline constexpr int kStProcBattery = 30058;
inline constexpr int kStMemoryBattery = 30059;
inline constexpr int kStRestarts = 30060;
inline constexpr int kStPowerLosses = 30061;
inline constexpr int kStLastPowerLoss = 30062;
inline constexpr int kStFirmware = 30063;
inline constexpr int kStDspFirmware = 30064;
inline constexpr int kStTimeBase = 30065;
inline constexpr int kStLastTimeMark = 30066;
inline constexpr int kStSynchronization = 30067;

inline constexpr int kTrigChanHardware = 30070;
inline constexpr int kTrigChanX = 30071;  // X, Y, Z: 30071..30073
inline constexpr int kTrigChanAlarm = 30074;
inline constexpr int kTrigChanHcu = 30075;
inline constexpr int kLogicFirst = 30076;    // trigger logic 0..7: 30076..30083
inline constexpr int kBatteryFirst = 30084;  // memory backup battery 0..3: 30084..30087
inline constexpr int kNotAvailable = 30088;
inline constexpr int kSyncNone = 30089;

// Command line.
inline constexpr int kUsage = 30100;
inline constexpr int kBadArgument = 30101;
inline constexpr int kCannotWrite = 30102;
inline constexpr int kUnknownPage = 30103;
inline constexpr int kCannotOpen = 30104;

// The window. Menu texts of commands have the command's id (view_commands.h).
inline constexpr int kFilterFirst = 121;  // "Waveform file (*.skr)" .. (*.bkr): 121..125
inline constexpr int kMenuFile = 30200;
inline constexpr int kMenuEdit = 30201;
inline constexpr int kMenuView = 30202;
inline constexpr int kMenuAnalysis = 30203;
inline constexpr int kMenuWindow = 30204;
inline constexpr int kMenuHelp = 30205;
inline constexpr int kMenuRecent = 30206;
inline constexpr int kFilterAll = 30207;
inline constexpr int kDocumentName = 30208;
inline constexpr int kReady = 30209;
inline constexpr int kAboutText = 30210;
inline constexpr int kNoPrinter = 30211;
inline constexpr int kPrinterNotFound = 30212;
inline constexpr int kPrintFailed = 30213;
inline constexpr int kZoomTitle = 30214;
inline constexpr int kZoomFrame = 30215;
inline constexpr int kZoomStart = 30216;
inline constexpr int kZoomEnd = 30217;
inline constexpr int kZoomWhole = 30218;
inline constexpr int kButtonOk = 30219;
inline constexpr int kButtonCancel = 30220;
inline constexpr int kHelpMissing = 30221;
inline constexpr int kToolbarTitle = 30222;
inline constexpr int kSecondsUnit = 30223;
inline constexpr int kAboutTitle = 30224;
}  // namespace sid

std::span<const kr::StringEntry> OndalyneStrings();

// The viewer's string table; the application sets its language from the settings.
kr::StringTable MakeOndalyneStringTable();

}  // namespace ondalyne
