#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tarvik {

// Special frames the link layer recognises when it echoes what it sends.
inline constexpr int kFreeFormCommand = 69;     // "(" + raw text + "++)"
inline constexpr int kModemStringCommand = 70;  // the modem text, unframed
inline constexpr int kProbeCommand = 71;        // CAN and ")"

// The log-in and password commands whose frames carry the recorder password as the last field
// before the checksum. This is the same knowledge as the password rows of the protocol's command
// table: numbers and codes must stay in step with it. Codes are case-sensitive ("LP" reads the
// password, "Lp" writes it).
struct PasswordCommand {
  int number;
  const char* code;
};
inline constexpr std::array<PasswordCommand, 10> kPasswordCommands = {{
    {64, "Li"},
    {67, "Qw"},
    {68, "Nq"},
    {260, "Lp"},
    {276, "Mg"},
    {279, "Kr"},
    {283, "Zm"},
    {288, "Mf"},
    {289, "Fe"},
    {290, "As"},
}};
inline constexpr int kPasswordLength = 5;

bool IsPasswordCommand(int number);
// A free-form text that starts with one of the password commands' codes.
bool BeginsWithPasswordCode(std::string_view raw_text);
// Whether the trace must hide the password of the current command's frame (and reply echo).
bool HidesPassword(int current_command, std::string_view raw_command);

inline constexpr int kSendEchoSize = 112;
// The trace text of a frame sent, ending with a line break: ">" and the frame, the checksum bytes
// as "[%d][%d]" decimals, "[%d]" for an unprintable single byte, "[24])" for the probe, and
// "*****" over the password of the password commands. Returns the length written to echo.
int BuildSendEcho(const std::uint8_t* frame, int length, int current_command, std::string_view raw_command,
                  std::array<char, kSendEchoSize>& echo);

// One trace line formatted printf-style into a fixed buffer, cut at 100 characters; no allocation,
// so it can be used on the send and receive paths.
class TraceText {
 public:
  explicit TraceText(const char* format, ...) __attribute__((format(printf, 2, 3)));
  operator std::string_view() const { return {text_, size_}; }
  std::string_view view() const { return {text_, size_}; }

 private:
  char text_[101];
  std::size_t size_ = 0;
};

}  // namespace tarvik
