#include <iostream>
#include <string>
#include <vector>

#include "krcommon/clock.h"
#include "krtool/krtool_app.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  kr::SystemClock clock;
  int status = krtool::RunKrtool(args, std::cout, std::cerr, clock);
  std::cout.flush();
  return status;
}
