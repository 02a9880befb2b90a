#pragma once

#include <string>

#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// The length every password of the units has.
inline constexpr int kUnitPasswordLength = 5;

// Checks a password change against the password the unit reported, in the order the operator reads
// the fields: the old password (268), the repetition (269), the length (270, formatted with 5), the
// characters (9801). The message id of the first problem, 0 when the change may be sent. The
// change-password dialog and the engine both use it.
int CheckPasswordChange(const std::string& current, const PasswordChange& change);

}  // namespace tarvik
