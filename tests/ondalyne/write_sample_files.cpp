// Writes one event file of every kind into a folder, for the scripts that run the installed viewer
// (print to PDF, the X server run, the desktop's file types): ondalyne_sample_files DIR
#include <filesystem>
#include <iostream>

#include "sample_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: ondalyne_sample_files DIR\n";
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  ondalyne_test::WaveformFile(1, 200, 6).WriteTo(dir / "01001.skr");
  ondalyne_test::WaveformFile(2, 200, 6).WriteTo(dir / "02001.vkr");
  ondalyne_test::WaveformFile(3, 400, 6).WriteTo(dir / "03001.xkr");
  ondalyne_test::IntervalFile(4, 120).WriteTo(dir / "02002.vmx");
  ondalyne_test::IntervalFile(5, 120).WriteTo(dir / "03255.BKR");
  return 0;
}
