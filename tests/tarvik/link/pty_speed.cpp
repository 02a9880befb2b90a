// Reads a terminal's speed through the kernel's arbitrary-rate interface, independently of the
// code under test. Kept apart from <termios.h>, whose names the kernel header redefines.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstdint>

namespace tarvik::test {

std::uint32_t TerminalOutputSpeed(int fd) {
  struct termios2 tio {};
  if (::ioctl(fd, TCGETS2, &tio) != 0) return 0;
  return tio.c_ospeed;
}

}  // namespace tarvik::test
