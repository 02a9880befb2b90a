// This file must not include <termios.h>: the kernel's termbits header defines the same names.
#include "tarvik/link/serial_baud_linux.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace tarvik {

int SetArbitraryBaud(int fd, std::uint32_t baud) {
  struct termios2 tio {};
  if (::ioctl(fd, TCGETS2, &tio) != 0) return errno;
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  tio.c_ispeed = baud;
  tio.c_ospeed = baud;
  if (::ioctl(fd, TCSETS2, &tio) != 0) return errno;
  return 0;
}

}  // namespace tarvik
