#pragma once

class QWidget;

namespace tarvik {

class OperationEngine;

// The Operate menu's entries of the password and memory operations:
// Change Password (32825) and Memory Managment (32826). False for any other command.
bool RunOperateCommand(int command_id, OperationEngine& engine, QWidget* parent);

}  // namespace tarvik
