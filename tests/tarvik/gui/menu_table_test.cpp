// The menu table: every row is where the menus expect it, and the enabling rules decide as an
// operator would expect from the window.
#include "tarvik/gui/menu_table.h"

#include <gtest/gtest.h>

#include <set>

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
  const MenuEntry& activate = *FindMenuEntry(cmd::kActivateKr + 4);
  EXPECT_EQ(activate.command_id, cmd::kActivateKr);
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

}  // namespace
}  // namespace tarvik
