// The converter on arbitrary files: the first two bytes choose the extension and the options, the
// rest is the file. Short, empty and random files must end in a message or a normal result.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "krcommon/clock.h"
#include "tarvik/eventfiles/event_converter.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

class SilentUi final : public tarvik::UiPort {
 public:
  tarvik::MessageAnswer ShowMessage(int, const std::string&, tarvik::MessageIcon,
                                    tarvik::MessageButtons) override {
    return tarvik::MessageAnswer::kOk;
  }
};

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("kr_fuzz_converter_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static const char* const kExtensions[] = {"skr", "vkr", "xkr", "vmx", "bkr", "16", "24", "dat"};
  std::uint8_t choice = data[0];
  std::uint8_t flags = data[1];
  std::filesystem::path input = Folder() / (std::string("in.") + kExtensions[choice & 7]);
  std::FILE* file = std::fopen(input.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data + 2, 1, size - 2, file);
  std::fclose(file);

  tarvik::ExportOptions options;
  options.Header = (flags >> 0) & 1;
  options.Interpreted = (flags >> 1) & 1;
  options.ChannelFiles = (flags >> 2) & 1;
  options.ChannelMinMax = options.Average = options.RootMeasSquare = (flags >> 3) & 1;
  options.NotLSB = (flags >> 4) & 1;
  options.Trim = (flags >> 5) & 1;
  options.TrimFirstLast = (choice >> 3) & 1;
  options.FirstSamples = options.LastSamples = options.IgnoreFirst = options.Include = (choice >> 4) - 2;
  options.TimeInformation = (flags >> 6) & 1;
  options.UsDateFormat = (flags >> 7) & 1;

  static kr::StringTable strings = tarvik::MakeTarvikStringTable();
  static SilentUi ui;
  static kr::FixedClock clock(kr::DateTime{2026, 3, 15, 12, 0, 0, 0, 0});
  tarvik::EventConverter converter(strings, ui, clock);
  converter.SetOptions(options);
  converter.Convert(input, Folder() / "out.txt");
  return 0;
}
