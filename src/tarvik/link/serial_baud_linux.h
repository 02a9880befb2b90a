#pragma once

#include <cstdint>

namespace tarvik {

// Sets a baud rate that has no termios constant through the kernel's arbitrary-rate interface.
// Returns 0 or the errno value. Kept apart because its kernel header clashes with <termios.h>.
int SetArbitraryBaud(int fd, std::uint32_t baud);

}  // namespace tarvik
