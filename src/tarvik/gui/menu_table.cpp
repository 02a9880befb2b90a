#include "tarvik/gui/menu_table.h"

#include <algorithm>
#include <array>

#include "tarvik/engine/macro_table.h"

namespace tarvik {

namespace {

using S = OperationState;
using E = MenuEnable;

// Text ids of the entries (texts in resources/strings_gui.cpp).
constexpr MenuEntry kTable[] = {
    // File
    {cmd::kDirectLink, menu::kFile, 9609, kInNotLoggedIn, S::kDirectLink, false, E::kNotLoggedInIdle, true},
    {cmd::kOpen, menu::kFile, 9610, kInNotLoggedIn, S::kDocumentOpened, false, E::kNotLoggedInIdle, true},
    // The connection editor and the Settings dialog are windows of their own.
    {cmd::kCreateLinkFile, menu::kFile, 9678, kInNotLoggedIn, std::nullopt, false, E::kNotLoggedInIdle, true},
    {cmd::kSettings, menu::kFile, 9679, kInBoth, std::nullopt, false, E::kAlways, true},
    {cmd::kLogout, menu::kFile, 9611, kInLoggedIn, S::kLogout, false, E::kLoggedInIdle, true},
    {cmd::kExit, menu::kFile, 9612, kInBoth, std::nullopt, false, E::kAlways, true},
    // Info
    {32781, menu::kInfo, 9618, kInLoggedIn, S::kInfoRecorder, false, E::kLoggedInIdle, true},
    {32782, menu::kInfo, 9619, kInLoggedIn, S::kInfoSensor, false, E::kLoggedInIdle, true},
    {32783, menu::kInfo, 9620, kInLoggedIn, S::kInfoHcu, false, E::kControlUnitIdle, true},
    {32784, menu::kInfo, 9621, kInLoggedIn, S::kInfoNetwork, false, E::kControlUnitIdle, true},
    // Parameter
    {32785, menu::kParameter, 9622, kInLoggedIn, S::kReadTriggeredRecording, false, E::kLoggedInIdle, false},
    {32786, menu::kParameter, 9623, kInLoggedIn, S::kReadTimedRecording, false, E::kLoggedInIdle, false},
    {32787, menu::kParameter, 9624, kInLoggedIn, S::kReadBackgroundRecording, false, E::kLoggedInIdle, false},
    {32788, menu::kParameter, 9625, kInLoggedIn, S::kReadGeneral, false, E::kLoggedInIdle, false},
    {32789, menu::kParameter, 9626, kInLoggedIn, S::kReadAlerting, false, E::kLoggedInIdle, false},
    {32790, menu::kParameter, 9627, kInLoggedIn, S::kReadKrAlarm, false, E::kLoggedInIdle, false},
    {32791, menu::kParameter, 9628, kInLoggedIn, S::kReadCavAlarm, false, E::kLoggedInIdle, false},
    {32792, menu::kParameter, 9629, kInLoggedIn, S::kReadHcuParameters, false, E::kLoggedInIdle, false},
    // View
    {cmd::kViewEvent, menu::kView, 9613, kInLoggedIn, S::kEventList, false, E::kLoggedInIdle, true},
    // Transfer
    {cmd::kTransferAll, menu::kTransfer, 9614, kInLoggedIn, S::kTransferAll, false, E::kLoggedInIdle, true},
    {cmd::kTransferSingle, menu::kTransfer, 9615, kInLoggedIn, S::kSingleEventList, false, E::kLoggedInIdle,
     true},
    {cmd::kTransferCard, menu::kTransfer, 9616, kInLoggedIn, S::kTransferCardFile, false, E::kLoggedInIdle,
     false},
    {cmd::kStopTransfer, menu::kTransfer, 9617, kInLoggedIn, std::nullopt, false, E::kTransferRunning, true},
    // Tests
    {32805, menu::kTests, 9630, kInLoggedIn, S::kClearRecorderFlags, true, E::kLoggedInIdle, true},
    {32806, menu::kTests, 9631, kInLoggedIn, S::kClearHcuFlags, true, E::kControlUnitIdle, true},
    {32807, menu::kTests, 9632, kInLoggedIn, S::kAdWindowIdentification, false, E::kLoggedInIdle, true},
    {32808, menu::kTests, 9633, kInLoggedIn, S::kRecorderTestResults, false, E::kLoggedInIdle, true},
    {32809, menu::kTests, 9634, kInLoggedIn, S::kHcuTestResults, false, E::kControlUnitIdle, true},
    {32810, menu::kTests, 9635, kInLoggedIn, S::kHcuCommunication, false, E::kControlUnitIdle, true},
    {32811, menu::kTests, 9636, kInLoggedIn, S::kRecorderSelfTest, true, E::kLoggedInIdle, true},
    {32812, menu::kTests, 9637, kInLoggedIn, S::kHcuSelfTest, true, E::kControlUnitIdle, true},
    {32813, menu::kTests, 9638, kInLoggedIn, S::kReadSelfTestSetup, false, E::kLoggedInIdle, false},
    {32814, menu::kTests, 9639, kInLoggedIn, S::kReadHcuPeriodicTest, false, E::kLoggedInIdle, false},
    {32815, menu::kTests, 9640, kInLoggedIn, S::kExportRecorderParameters, false, E::kLoggedInIdle, true},
    {32816, menu::kTests, 9641, kInLoggedIn, S::kExportHcuParameters, false, E::kControlUnitIdle, true},
    // Operate (Recording mode asks for state 52 when blasting mode is active)
    {32817, menu::kOperate, 9642, kInLoggedIn, S::kRecordingMode, false, E::kLoggedInIdle, true},
    {32818, menu::kOperate, 9643, kInLoggedIn, S::kReadFilter, false, E::kLoggedInIdle, false},
    {32819, menu::kOperate, 9644, kInLoggedIn, S::kInitialiseFilter, true, E::kLoggedInIdle, true},
    {32820, menu::kOperate, 9645, kInLoggedIn, S::kEraseAll, true, E::kLoggedInIdle, true},
    {32821, menu::kOperate, 9646, kInLoggedIn, S::kBaseline, true, E::kLoggedInIdle, true},
    {32822, menu::kOperate, 9647, kInLoggedIn, S::kResetRecorderAlarms, true, E::kLoggedInIdle, true},
    {32823, menu::kOperate, 9648, kInLoggedIn, S::kResetHcuAlarms, true, E::kControlUnitIdle, true},
    {32824, menu::kOperate, 9649, kInLoggedIn, S::kSyncClock, false, E::kLoggedInIdle, true},
    {32825, menu::kOperate, 9650, kInLoggedIn, S::kCheckOldPassword, false, E::kLoggedInIdle, true},
    {32826, menu::kOperate, 9651, kInLoggedIn, S::kReadMemoryManagement, true, E::kLoggedInIdle, true},
    {cmd::kRunMacro, menu::kOperate, 9652, kInLoggedIn, S::kMacro, false, E::kLoggedInIdle, true},
    // Activate KR 1 ... KR 16: one row, shown as sixteen entries.
    {cmd::kActivateKr, menu::kActivate, 9653, kInLoggedIn, S::kInitialisation, false, E::kRecorderSelectable,
     true},
    // Help
    {cmd::kHelpTopics, menu::kHelp, 9654, kInBoth, std::nullopt, false, E::kAlways, true},
    {cmd::kHomePage, menu::kHelp, 9656, kInBoth, std::nullopt, false, E::kAlways, true},
    {cmd::kSupportPage, menu::kHelp, 9657, kInBoth, std::nullopt, false, E::kAlways, true},
    {cmd::kVersionPage, menu::kHelp, 9658, kInBoth, std::nullopt, false, E::kAlways, true},
    {cmd::kAbout, menu::kHelp, 9655, kInBoth, std::nullopt, false, E::kAlways, true},
};

constexpr int kBarOrder[] = {menu::kFile,  menu::kInfo,    menu::kParameter, menu::kView, menu::kTransfer,
                             menu::kTests, menu::kOperate, menu::kActivate,  menu::kHelp};

bool TransferRunning(OperationState state) {
  return state == OperationState::kTransferSelected || state == OperationState::kTransferAll;
}

}  // namespace

std::span<const MenuEntry> MenuTable() {
  return kTable;
}

std::span<const int> MenuBarOrder() {
  return kBarOrder;
}

const MenuEntry* FindMenuEntry(int command_id) {
  if (command_id >= cmd::kActivateKrFirst && command_id < cmd::kActivateKrFirst + kActivateRecorders) {
    command_id = cmd::kActivateKr;
  }
  if (command_id >= cmd::kMacroItem && command_id < cmd::kMacroItem + kMacroEntries)
    command_id = cmd::kRunMacro;
  const auto it = std::find_if(std::begin(kTable), std::end(kTable),
                               [command_id](const MenuEntry& e) { return e.command_id == command_id; });
  return it == std::end(kTable) ? nullptr : &*it;
}

bool InMenuSet(const MenuEntry& entry, MenuSet set) {
  return (entry.sets & (set == MenuSet::kLoggedIn ? kInLoggedIn : kInNotLoggedIn)) != 0;
}

bool MenuEntryEnabled(const MenuEntry& entry, const MenuContext& context, int recorder) {
  const bool idle = context.operation_state == OperationState::kIdle && !context.busy;
  switch (entry.enable) {
    case MenuEnable::kAlways:
      return true;
    case MenuEnable::kNotLoggedInIdle:
      return !context.logged_in && idle;
    case MenuEnable::kLoggedInIdle:
      return context.logged_in && idle;
    case MenuEnable::kControlUnitIdle:
      return context.logged_in && idle && context.control_unit;
    case MenuEnable::kTransferRunning:
      return context.logged_in && TransferRunning(context.operation_state);
    case MenuEnable::kRecorderSelectable:
      return context.logged_in && idle && context.control_unit && recorder >= 1 &&
             recorder <= context.reported_recorders && recorder != context.own_slot &&
             !context.offline[recorder - 1];
  }
  return false;
}

}  // namespace tarvik
