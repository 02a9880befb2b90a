#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace krsim {

// One request as the unit understands it.
struct Request {
  int command = -1;  // row of the command table; the control unit's row for codes both use
  std::string code;
  bool has_number = false;  // the row carries a recorder or file number
  int number = 0;
  std::string args;        // what follows the code (and number), without the password
  std::string password;    // the last five characters of password commands
  bool free_form = false;  // typed by a person: ended "++)" (the Au write ends so too, and is not)
};

// Splits a frame body ("MD17", "Te5", "LiTORVE") into code, number, arguments and password.
// False when the body names no command of the table.
bool DecodeRequest(std::string_view body, bool unchecked, Request& request);

// Commands whose frame ends in the five password characters.
bool CarriesPassword(int command);

// What the unit answers.
struct Reply {
  enum class Kind {
    kSilent,   // nothing at all (an unreachable recorder)
    kAck,      // "*"
    kData,     // "*(" payload checksum ")"
    kRefused,  // "N": wrong level or a command this unit does not have
    kError,    // "E": not logged in, a wrong password, bad arguments, no such event
    kUnknown,  // "?": not a command
    kWait,     // "W<minutes>": busy with a slow write; "*" follows later
  };
  Kind kind = Kind::kSilent;
  std::string payload;
  // After the "*": the event image sent block by block (M1, MH).
  std::vector<std::uint8_t> transfer;
  int transfer_recorder = 0;
  int transfer_file = 0;
  // The line changes to this rate once the reply is out (Rs).
  int new_baud = 0;
  // kWait: minutes named in the reply, and seconds until the "*" follows.
  int wait_minutes = 0;
  int busy_seconds = 0;

  static Reply Of(Kind kind) {
    Reply r;
    r.kind = kind;
    return r;
  }
  static Reply Ack() { return Of(Kind::kAck); }
  static Reply Data(std::string payload) {
    Reply r = Of(Kind::kData);
    r.payload = std::move(payload);
    return r;
  }
  static Reply Refused() { return Of(Kind::kRefused); }
  static Reply Error() { return Of(Kind::kError); }
  static Reply Unknown() { return Of(Kind::kUnknown); }
};

// The bytes of a reply on the line. Replies to typed (free-form) requests end in CR LF, since the
// PC's terminal waits for a line end.
std::string EncodeReply(const Reply& reply, bool free_form);

// Replies longer than this are cut: the PC keeps at most 500 bytes of a reply's payload.
inline constexpr std::size_t kMaxReplyPayload = 480;

}  // namespace krsim
