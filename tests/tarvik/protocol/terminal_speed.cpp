// The terminal's speed as the kernel has it, read without the code under test. Apart from the other
// test sources because the kernel's termios header clashes with the C library's.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstdint>

namespace tarvik::test {

std::uint32_t TerminalSpeed(int fd) {
  struct termios2 tio {};
  if (::ioctl(fd, TCGETS2, &tio) != 0) return 0;
  return tio.c_ospeed;
}

}  // namespace tarvik::test
