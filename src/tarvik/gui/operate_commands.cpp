#include "tarvik/gui/operate_commands.h"

#include "tarvik/engine/memory_management_operation.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/engine/password_change_operation.h"

namespace tarvik {

namespace {

constexpr int kChangePassword = 32825;
constexpr int kMemoryManagement = 32826;

}  // namespace

bool RunOperateCommand(int command_id, OperationEngine& engine, QWidget* parent) {
  (void)parent;
  switch (command_id) {
    case kChangePassword:
      engine.Unit<PasswordChangeOperation>().Request();
      return true;
    case kMemoryManagement:
      engine.Unit<MemoryManagementOperation>().Request();
      return true;
    default:
      return false;
  }
}

}  // namespace tarvik
