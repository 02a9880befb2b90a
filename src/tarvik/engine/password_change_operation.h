#pragma once

#include <span>
#include <string>

#include "tarvik/engine/operation.h"

namespace tarvik {

// Change Password: 47 reads the unit's password (LP puts it into the link record), the engine goes
// idle and asks for the old and the new password; when they pass CheckPasswordChange, 48 sends the
// new one with Lp. Until Lp is acknowledged the link keeps the password it had before.
class PasswordChangeOperation final : public Operation {
 public:
  using Operation::Operation;

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;

  // The menu entry or switch: requests 47.
  void Request();

 private:
  static constexpr OperationState kStates[] = {OperationState::kCheckOldPassword,
                                               OperationState::kWriteNewPassword};

  void StepRead();
  void AskAndWrite();
  void StepWrite();
  void RestorePassword();

  std::string previous_password_;  // the link's password before 47 read the unit's
  std::string new_password_;
};

}  // namespace tarvik
