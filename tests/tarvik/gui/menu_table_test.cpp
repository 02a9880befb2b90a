// The menu table: every row is where the menus expect it, and the enabling rules decide as an
// operator would expect from the window.
#include "tarvik/gui/menu_table.h"

#include <gtest/gtest.h>

#include <set>

#include "tarvik/engine/maintenance_operation.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {
namespace {

TEST(MenuTable, IdsAreUniqueAndEveryTextExistsInEveryLanguage) {
  const kr::StringTable strings = MakeTarvikStringTable();
  std::set<int> ids;
  for (const MenuEntry& entry : MenuTable()) {
    EXPECT_TRUE(ids.insert(entry.command_id).second) << entry.command_id;
    EXPECT_TRUE(strings.Has(entry.text_id)) << entry.text_id;
    EXPECT_TRUE(strings.Has(entry.popup_id)) << entry.popup_id;
    EXPECT_NE(entry.sets, 0u);
  }
  // The full table of the logged-in menu: 4 Info, 8 Parameter, 1 View, 4 Transfer, 12 Tests,
  // 11 Operate, Activate, Settings, Logout, Exit and 5 Help entries.
  int logged_in = 0;
  for (const MenuEntry& entry : MenuTable()) logged_in += InMenuSet(entry, MenuSet::kLoggedIn) ? 1 : 0;
  EXPECT_EQ(logged_in, 4 + 8 + 1 + 4 + 12 + 11 + 1 + 3 + 5);
}

TEST(MenuTable, PasswordProtectedOperationsAreTheOnesThatChangeTheUnit) {
  std::set<OperationState> protected_states;
  for (const MenuEntry& entry : MenuTable()) {
    if (entry.password) protected_states.insert(*entry.state);
  }
  const std::set<OperationState> expected = {
      OperationState::kClearRecorderFlags, OperationState::kClearHcuFlags,
      OperationState::kRecorderSelfTest,   OperationState::kHcuSelfTest,
      OperationState::kInitialiseFilter,   OperationState::kEraseAll,
      OperationState::kBaseline,           OperationState::kResetRecorderAlarms,
      OperationState::kResetHcuAlarms,     OperationState::kReadMemoryManagement};
  EXPECT_EQ(protected_states, expected);
}

TEST(MenuTable, OperationsAreEnabledOnlyWhileLoggedInAndIdle) {
  const MenuEntry& transfer = *FindMenuEntry(cmd::kTransferAll);
  const MenuEntry& stop = *FindMenuEntry(cmd::kStopTransfer);
  const MenuEntry& direct = *FindMenuEntry(cmd::kDirectLink);
  MenuContext context;
  EXPECT_FALSE(MenuEntryEnabled(transfer, context));
  EXPECT_TRUE(MenuEntryEnabled(direct, context));
  context.logged_in = true;
  EXPECT_TRUE(MenuEntryEnabled(transfer, context));
  EXPECT_FALSE(MenuEntryEnabled(direct, context));
  EXPECT_FALSE(MenuEntryEnabled(stop, context));
  context.busy = true;
  EXPECT_FALSE(MenuEntryEnabled(transfer, context));
  context.busy = false;
  context.operation_state = OperationState::kTransferAll;
  EXPECT_FALSE(MenuEntryEnabled(transfer, context));
  EXPECT_TRUE(MenuEntryEnabled(stop, context));
  context.operation_state = OperationState::kTransferSelected;
  EXPECT_TRUE(MenuEntryEnabled(stop, context));
}

TEST(MenuTable, ActivateOffersTheReportedRecordersExceptTheOwnSlotAndOfflineOnes) {
  const MenuEntry& activate = *FindMenuEntry(cmd::kActivateKrFirst + 4);
  EXPECT_EQ(activate.command_id, cmd::kActivateKr);
  // No entry of the table stands among the sixteen ids.
  for (const MenuEntry& entry : MenuTable()) {
    EXPECT_FALSE(entry.command_id >= cmd::kActivateKrFirst && entry.command_id < cmd::kActivateKrFirst + 16)
        << entry.command_id;
    if (entry.command_id != cmd::kActivateKr)
      EXPECT_EQ(FindMenuEntry(entry.command_id), &entry) << entry.command_id;
  }
  MenuContext context;
  context.logged_in = true;
  context.control_unit = true;
  context.reported_recorders = 4;
  context.own_slot = 2;
  context.offline[2] = true;  // KR 3
  std::vector<int> enabled;
  for (int n = 1; n <= kActivateRecorders; ++n) {
    if (MenuEntryEnabled(activate, context, n)) enabled.push_back(n);
  }
  EXPECT_EQ(enabled, (std::vector<int>{1, 4}));
  context.control_unit = false;
  EXPECT_FALSE(MenuEntryEnabled(activate, context, 1));
}

// The menu's password flag and the engine's prompt must agree: an entry that promises no prompt but
// runs one, or the reverse, would surprise the operator.
TEST(MenuTable, MaintenanceEntriesAskForThePasswordExactlyWhenTheEngineDoes) {
  int maintenance_entries = 0;
  for (const MenuEntry& entry : MenuTable()) {
    if (!entry.state || !entry.available) continue;
    const OperationState state = *entry.state;
    const bool engine_asks = MaintenanceOperation::IsProtected(state);
    if (engine_asks || state == OperationState::kSyncClock) ++maintenance_entries;
    if (entry.command_id == 32826) continue;  // memory management asks in its own unit
    EXPECT_EQ(entry.password, engine_asks) << entry.command_id;
  }
  // Flags (2), self tests (2), filter, erase, baseline, alarm resets (2), clock.
  EXPECT_EQ(maintenance_entries, 10);
}

TEST(MenuTable, ControlUnitEntriesNeedAControlUnit) {
  MenuContext context;
  context.logged_in = true;
  std::set<int> without;
  std::set<int> with;
  for (const MenuEntry& entry : MenuTable()) {
    if (!entry.available || !InMenuSet(entry, MenuSet::kLoggedIn) || entry.command_id == cmd::kActivateKr)
      continue;
    context.control_unit = false;
    if (MenuEntryEnabled(entry, context)) without.insert(entry.command_id);
    context.control_unit = true;
    if (MenuEntryEnabled(entry, context)) with.insert(entry.command_id);
  }
  // Info HCU and Network, the HCU's flags, test results, communication parameters, self test, export
  // and alarm reset.
  std::set<int> hcu_only;
  for (const int id : with) {
    if (without.count(id) == 0) hcu_only.insert(id);
  }
  EXPECT_EQ(hcu_only, (std::set<int>{32783, 32784, 32806, 32809, 32810, 32812, 32816, 32823}));
  // The recorder's own entries stay for a recorder on its own line.
  for (const int id : {32781, 32782, 32805, 32807, 32808, 32811, 32815, 32819, 32820, 32821, 32822, 32824})
    EXPECT_EQ(without.count(id), 1u) << id;
}

}  // namespace
}  // namespace tarvik
