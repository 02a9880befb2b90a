#include "tarvik/engine/password_check.h"

#include <algorithm>

#include "tarvik/engine/maintenance_messages.h"

namespace tarvik {

namespace {

// A password travels inside a frame as the last field before the checksum, byte for byte, and the
// link cuts it at ";": only printable ASCII without the frame's brackets and the separator arrives
// as typed. A character outside it (an umlaut is two bytes) would set a password nobody can type.
bool SendableCharacter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte > 0x20 && byte < 0x7f && c != '(' && c != ')' && c != ';';
}

}  // namespace

int CheckPasswordChange(const std::string& current, const PasswordChange& change) {
  if (change.old_password != current) return msg::kWrongOldPassword;
  if (change.new_password != change.repeated) return msg::kPasswordsDiffer;
  if (change.new_password.size() != static_cast<std::size_t>(kUnitPasswordLength))
    return msg::kPasswordLength;
  if (!std::all_of(change.new_password.begin(), change.new_password.end(), SendableCharacter))
    return msg::kPasswordCharacters;
  return 0;
}

}  // namespace tarvik
