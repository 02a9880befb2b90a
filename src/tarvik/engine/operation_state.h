#pragma once

namespace tarvik {

// The operation states: the step the engine's next tick executes. The numbers are the ones the
// operators' documentation, the trace and the menus have always used; they are kept visible here so
// that a state can be followed from its number. States without an operation unit yet run the idle
// step until their unit is added to the state table.
enum class OperationState : int {
  kIdle = 0,
  kBackToControlUnit = 1,       // run & finish {Na0}
  kMacro = 2,                   // send the selected macro text
  kTerminalText = 3,            // one modem or terminal text
  kUnused4 = 4,                 // requesting it runs the idle step
  kLogout = 5,                  // {Na0, Lo}, then hang up or disconnect
  kShutdown = 6,                // the view is destroyed: log out without waiting, close
  kStartWindow = 7,             // the start window after the program starts
  kDocumentOpened = 8,          // a connection document was opened
  kDial = 9,                    // modem initialisation and dialling
  kHangUp = 10,                 // "+++;ATH"
  kConnectionWait = 11,         // wait until the link is up
  kOpenLink = 12,               // open the serial port or start the TCP connect
  kLogin = 13,                  // probe, LL, Lo, LL
  kPasswordPrompt = 14,         // the unit refused the password
  kInitialisation = 15,         // the four phases after the log-in
  kPanelPollFull = 16,          // control panel poll with MS, MU, PR
  kPanelPoll = 17,              // control panel poll
  kTransferSelected = 18,       // transfer of the events chosen in the single-event window
  kTransferAll = 19,            // transfer of all events
  kTransferToTemp = 20,         // one event into the temporary folder, for viewing
  kEventList = 21,              // View > Event
  kEventListRepeat = 22,        // the same, repeated from the event window
  kSingleEventList = 23,        // Transfer > Single Events
  kSingleEventListRepeat = 24,  // the same, repeated from the single-event window
  kReadAlertingMessages = 25,
  kWriteAlertingMessages = 26,
  kReadAlertingPhonebook = 27,
  kWriteAlertingPhonebook = 28,
  kReadAlerting = 29,
  kWriteAlerting = 30,
  kInfoRecorder = 31,
  kInfoHcu = 32,
  kInfoSensor = 33,
  kReadTriggeredRecording = 34,
  kWriteTriggeredRecording = 35,
  kReadGeneral = 36,
  kWriteGeneral = 37,
  kRecordingMode = 38,
  kRecorderTestResults = 39,
  kHcuCommunication = 40,
  kReadFilter = 41,
  kWriteFilter = 42,
  kReadSelfTestSetup = 43,
  kWriteSelfTestSetup = 44,
  kAdValues = 45,
  kWriteSelfTestSetupToo = 46,  // the same list as 44
  kCheckOldPassword = 47,
  kWriteNewPassword = 48,
  kHcuTestResults = 49,
  kReadHcuParameters = 50,
  kWriteHcuParameters = 51,
  kRecordingModeBlasting = 52,
  kStartRecordingFromWindow = 53,
  kStopRecordingFromWindow = 54,
  kStartRecordingFromPanel = 55,
  kStopRecordingFromPanel = 56,
  kBlastingMode = 57,
  kStartVmMode = 58,
  kStopVmMode = 59,
  kStartKbMode = 60,
  kStopKbMode = 61,
  kEraseAll = 62,
  kBaseline = 63,
  kClearRecorderFlags = 64,
  kResetRecorderAlarms = 65,
  kInitialiseFilter = 66,
  kRecorderSelfTest = 67,
  kHcuSelfTest = 68,
  kClearHcuFlags = 69,
  kClearCommunicationCounters = 70,
  kInfoNetwork = 71,
  kResetHcuAlarms = 72,
  kReadMemoryManagement = 73,
  kWriteMemoryManagement = 74,
  kReadEventHeader = 75,
  kExportRecorderParameters = 76,
  kReserved77 = 77,
  kReserved78 = 78,
  kReadCavAlarm = 79,
  kWriteCavAlarm = 80,
  kAdWindowIdentification = 81,
  kAlertingTest = 82,
  kReadHcuPeriodicTest = 83,
  kWriteHcuPeriodicTest = 84,
  kEraseSelected = 85,
  kDirectLink = 86,
  kStartupScript = 87,
  kWriteTimedRecording = 88,
  kTransferCardFile = 89,
  kReadSiAlarm = 90,
  kWriteSiAlarm = 91,
  kExportHcuParameters = 92,
  kReadBackgroundRecording = 93,
  kReadTimedRecording = 94,
  kReadKrAlarm = 95,
  kWriteKrAlarm = 96,
  kSyncClock = 97,
};

inline constexpr int kOperationStateCount = 98;

constexpr int ToInt(OperationState state) {
  return static_cast<int>(state);
}

}  // namespace tarvik
