#include "tarvik/link/trace_echo.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tarvik {

bool IsPasswordCommand(int number) {
  return std::any_of(kPasswordCommands.begin(), kPasswordCommands.end(),
                     [number](const PasswordCommand& c) { return c.number == number; });
}

bool BeginsWithPasswordCode(std::string_view raw_text) {
  return std::any_of(kPasswordCommands.begin(), kPasswordCommands.end(),
                     [raw_text](const PasswordCommand& c) { return raw_text.starts_with(c.code); });
}

bool HidesPassword(int current_command, std::string_view raw_command) {
  if (current_command == kFreeFormCommand) return BeginsWithPasswordCode(raw_command);
  return IsPasswordCommand(current_command);
}

int BuildSendEcho(const std::uint8_t* frame, int length, int current_command, std::string_view raw_command,
                  std::array<char, kSendEchoSize>& echo) {
  int n = 0;
  auto put = [&](char c) {
    if (n < kSendEchoSize - 1) echo[n++] = c;
  };
  auto put_format = [&](const char* format, auto... args) {
    int room = kSendEchoSize - n;
    int written = std::snprintf(echo.data() + n, static_cast<size_t>(room), format, args...);
    if (written > 0) n += std::min(written, room - 1);
  };
  auto put_bytes = [&](int count) {
    for (int i = 0; i < count; ++i) put(static_cast<char>(frame[i]));
  };

  put('>');
  if (length == 1) {
    const unsigned byte = frame[0];
    if (byte >= 0x20 && byte < 0x7F) {
      put(static_cast<char>(byte));
    } else {
      put_format("[%d]", static_cast<int>(byte));
    }
  } else if ((length >= 3 && std::memcmp(frame + length - 3, "++)", 3) == 0) ||
             current_command == kModemStringCommand) {
    put_bytes(length);
  } else if (length >= 3) {
    put_bytes(length - 3);
    put_format("[%d][%d]%c", static_cast<int>(frame[length - 3]), static_cast<int>(frame[length - 2]),
               static_cast<char>(frame[length - 1]));
  } else {
    // The two-byte probe is written over the leading ">" and so reads "[24])".
    n = 0;
    put_format("[%d]%c", static_cast<int>(frame[0]), static_cast<char>(frame[1]));
  }
  put('\n');

  // The five characters in front of the last three frame bytes are the password; a frame too
  // short to hold "(", a code and a password has none to hide.
  if (length >= 9 && n >= 2 && echo[0] == '>' && echo[1] == '(' &&
      HidesPassword(current_command, raw_command)) {
    const int first = 1 + length - 3 - kPasswordLength;
    std::fill_n(echo.begin() + first, kPasswordLength, '*');
  }
  return n;
}

TraceText::TraceText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int written = std::vsnprintf(text_, sizeof text_, format, args);
  va_end(args);
  size_ = written < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(written), sizeof text_ - 1);
}

}  // namespace tarvik
