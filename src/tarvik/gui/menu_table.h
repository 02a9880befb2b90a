#pragma once

#include <optional>
#include <span>

#include "tarvik/engine/operation_state.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// When a menu command may be chosen.
enum class MenuEnable {
  kAlways,             // application commands (Open, Exit, Help)
  kNotLoggedInIdle,    // not logged in and no operation running (Direct Link, Open)
  kLoggedInIdle,       // logged in, no operation running and not busy: every operation of the unit
  kControlUnitIdle,    // the same, for operations of the control unit: only when one is present
  kTransferRunning,    // a transfer of events is running (Stop Transfer)
  kRecorderSelectable  // Activate KR n: n is reported by the control unit, not its own slot, not offline
};

// Which menu set shows an entry: the not-logged-in menu (151), the logged-in one (152) or both.
enum MenuSetMask : unsigned { kInNotLoggedIn = 1u, kInLoggedIn = 2u, kInBoth = 3u };

// One entry of the main window's menus.
struct MenuEntry {
  int command_id;                       // the command's id (also the id the toolbar uses)
  int popup_id;                         // string id of the drop-down menu it belongs to
  int text_id;                          // string id of its text (three languages)
  unsigned sets;                        // MenuSetMask
  std::optional<OperationState> state;  // the state the command requests; none for window commands
  bool password;                        // the password prompt runs before the state is requested
  MenuEnable enable;
  // The operation behind the entry is built. Entries whose operation does not exist yet stay out of
  // the menus altogether.
  bool available;
};

// Command ids of the entries the main window handles.
namespace cmd {
inline constexpr int kDirectLink = 32771;
inline constexpr int kOpen = 32772;
inline constexpr int kLogout = 32773;
inline constexpr int kExit = 32774;
inline constexpr int kViewEvent = 32775;
inline constexpr int kTransferAll = 32776;
inline constexpr int kTransferSingle = 32777;
inline constexpr int kTransferCard = 32778;
inline constexpr int kStopTransfer = 32779;
inline constexpr int kActivateKr = 32780;  // the table's row of Activate KR 1 ... KR 16
// The sixteen entries' own ids: KR n is kActivateKrFirst + n - 1. They stand apart from the row's id,
// because the ids right after it belong to the Info and Parameter entries.
inline constexpr int kActivateKrFirst = 33000;
inline constexpr int kRunMacro = 32827;
// The items of the Macro.def entries: entry i (0..19) is kMacroItem + i. They follow Run Macro's row.
inline constexpr int kMacroItem = 32850;
inline constexpr int kCreateLinkFile = 32828;  // the connection editor
inline constexpr int kSettings = 32829;        // the Settings dialog
inline constexpr int kHelpTopics = 32800;
inline constexpr int kAbout = 32801;
inline constexpr int kHomePage = 32802;
inline constexpr int kSupportPage = 32803;
inline constexpr int kVersionPage = 32804;
}  // namespace cmd

// String ids of the drop-down menus, in menu-bar order.
namespace menu {
inline constexpr int kFile = 9600;
inline constexpr int kView = 9601;
inline constexpr int kTransfer = 9602;
inline constexpr int kInfo = 9603;
inline constexpr int kParameter = 9604;
inline constexpr int kTests = 9605;
inline constexpr int kOperate = 9606;
inline constexpr int kActivate = 9607;
inline constexpr int kHelp = 9608;
}  // namespace menu

inline constexpr int kActivateRecorders = 16;

// The complete menu table of both menu sets, in menu order.
std::span<const MenuEntry> MenuTable();
std::span<const int> MenuBarOrder();
const MenuEntry* FindMenuEntry(int command_id);
bool InMenuSet(const MenuEntry& entry, MenuSet set);

// What the enabling rules look at.
struct MenuContext {
  bool logged_in = false;
  bool busy = false;
  OperationState operation_state = OperationState::kIdle;
  // Activate KR n: recorders the control unit reports (0 without one), its own slot (0: none), and
  // the recorders it marks offline (index n - 1).
  bool control_unit = false;
  int reported_recorders = 0;
  int own_slot = 0;
  bool offline[kActivateRecorders] = {};
};

// `recorder` only matters for kRecorderSelectable.
bool MenuEntryEnabled(const MenuEntry& entry, const MenuContext& context, int recorder = 0);

}  // namespace tarvik
