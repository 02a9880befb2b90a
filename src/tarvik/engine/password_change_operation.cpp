#include "tarvik/engine/password_change_operation.h"

#include "tarvik/engine/maintenance_messages.h"
#include "tarvik/engine/parameter_list_step.h"
#include "tarvik/engine/password_check.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

// LL reads the log-in state, LP (the recorder's, 181) the password into the link record.
constexpr int kReadList[] = {cmd::kNa, CommandNumber("LL"), CommandNumber("LP", cmd::kFirstRecorderCommand),
                             cmd::kNa0};
constexpr int kWriteList[] = {cmd::kNa, CommandNumber("Lp"), cmd::kNa0};

}  // namespace

void PasswordChangeOperation::Request() {
  previous_password_ = core().link().Password();
  new_password_.clear();
  core().state().connection_requested = true;
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(OperationState::kCheckOldPassword);
  core().ui().SetWaitCursor(true);
}

void PasswordChangeOperation::Step(OperationState state) {
  if (state == OperationState::kCheckOldPassword) {
    StepRead();
  } else {
    StepWrite();
  }
}

void PasswordChangeOperation::RestorePassword() {
  core().link().SetPassword(previous_password_);
}

void PasswordChangeOperation::StepRead() {
  core().SetStatus(msg::kStatusChangePassword);
  switch (StepParameterList(core(), kReadList, msg::kPasswordReadError)) {
    case ParameterListResult::kRunning:
      return;
    case ParameterListResult::kEnded:
      RestorePassword();
      return;
    case ParameterListResult::kDone:
      AskAndWrite();
      return;
  }
}

void PasswordChangeOperation::AskAndWrite() {
  const std::string current = core().link().Password();
  core().FinishOperation(0);
  const std::optional<PasswordChange> change =
      core().ui().AskNewPassword(core().strings().Text(msg::kChangePasswordTitle), current);
  if (!change) {
    RestorePassword();
    core().EndOperation();
    return;
  }
  if (const int problem = CheckPasswordChange(current, *change); problem != 0) {
    // Nothing is sent: the unit keeps its password, the link the one it had.
    RestorePassword();
    core().FinishAndWarn(problem, kUnitPasswordLength);
    return;
  }
  new_password_ = change->new_password;
  core().link().SetPassword(new_password_);
  core().state().connection_requested = true;
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(OperationState::kWriteNewPassword);
  core().ui().SetWaitCursor(true);
}

void PasswordChangeOperation::StepWrite() {
  switch (StepParameterList(core(), kWriteList, msg::kPasswordNotSet)) {
    case ParameterListResult::kRunning:
      return;
    case ParameterListResult::kEnded:
      RestorePassword();
      return;
    case ParameterListResult::kDone:
      break;
  }
  // Later prompts offer the password the unit now has.
  core().fields().password = new_password_;
  core().FinishOperation(1);
  core().ui().ShowMessage(msg::kPasswordSet, core().strings().Text(msg::kPasswordSet),
                          MessageIcon::kInformation, MessageButtons::kOk);
}

}  // namespace tarvik
