#include "krsim/request.h"

#include <algorithm>

#include "krsim/frame_codec.h"
#include "tarvik/protocol/command_table.h"

namespace krsim {

namespace {

constexpr int kPasswordCommands[] = {64, 67, 68, 260, 276, 279, 283, 288, 289, 290};
constexpr std::size_t kPasswordLength = 5;

// A code is two or three characters; the three-character codes are tried first, so that "Na0" is
// the code Na0 and "Na12" the code Na with recorder 12.
int FindCode(std::string_view body, std::size_t& length) {
  for (std::size_t n : {std::size_t{3}, std::size_t{2}}) {
    if (body.size() < n) continue;
    const int number = tarvik::FindCommand(body.substr(0, n));
    if (number >= 0) {
      length = n;
      return number;
    }
  }
  return -1;
}

bool TakeDecimal(std::string_view& rest, int& value) {
  std::size_t i = 0;
  long long parsed = 0;
  while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && i < 9) {
    parsed = parsed * 10 + (rest[i] - '0');
    ++i;
  }
  if (i == 0) return false;
  value = static_cast<int>(parsed);
  rest.remove_prefix(i);
  return true;
}

}  // namespace

bool CarriesPassword(int command) {
  return std::find(std::begin(kPasswordCommands), std::end(kPasswordCommands), command) !=
         std::end(kPasswordCommands);
}

bool DecodeRequest(std::string_view body, bool unchecked, Request& request) {
  request = Request{};
  std::size_t length = 0;
  const int command = FindCode(body, length);
  if (command < 0 || command == tarvik::cmd::kNop) return false;
  const tarvik::CommandEntry& row = tarvik::CommandAt(command);
  request.command = command;
  request.code = std::string(row.code);
  request.free_form = unchecked && command != tarvik::cmd::kAu;
  std::string_view rest = body.substr(length);
  if (row.HasRecorderNumber() || row.HasFileNumber()) request.has_number = TakeDecimal(rest, request.number);
  if (CarriesPassword(command)) {
    const std::size_t cut = rest.size() >= kPasswordLength ? rest.size() - kPasswordLength : 0;
    request.password = std::string(rest.substr(cut));
    rest = rest.substr(0, cut);
  }
  request.args = std::string(rest);
  return true;
}

std::string EncodeReply(const Reply& reply, bool free_form) {
  std::string bytes;
  switch (reply.kind) {
    case Reply::Kind::kSilent:
      return bytes;
    case Reply::Kind::kAck:
      bytes = "*";
      break;
    case Reply::Kind::kData:
      bytes = BuildDataReply(std::string_view(reply.payload).substr(0, kMaxReplyPayload));
      break;
    case Reply::Kind::kRefused:
      bytes = "N";
      break;
    case Reply::Kind::kError:
      bytes = "E";
      break;
    case Reply::Kind::kUnknown:
      bytes = "?";
      break;
    case Reply::Kind::kWait:
      bytes = "W" + std::to_string(reply.wait_minutes);
      break;
  }
  if (free_form) bytes += "\r\n";
  return bytes;
}

}  // namespace krsim
