// What operators hand-edit or copy between PCs: connection files, profile (INI) files and command
// lines. Each must parse without a crash; what parses must survive a write and a second read.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "krcommon/ini_file.h"
#include "tarvik/app/command_line.h"
#include "tarvik/app/connection_record.h"

namespace {

void CheckConnectionRecord(std::span<const std::uint8_t> bytes) {
  auto record = tarvik::ParseConnectionRecord(bytes);
  if (!record) return;
  // A parsed record written as version 7 reads back with the same fields, as far as version 7
  // holds them: a second round trip must be stable.
  auto written = tarvik::SerializeConnectionRecord(*record);
  auto again = tarvik::ParseConnectionRecord(written);
  if (!again) __builtin_trap();
  if (tarvik::SerializeConnectionRecord(*again) != written) __builtin_trap();
}

void CheckIni(std::string_view text) {
  kr::IniFile ini = kr::IniFile::Parse(text);
  std::string first = ini.ToText();
  if (kr::IniFile::Parse(first).ToText() != first) __builtin_trap();
  for (const std::string& section : ini.SectionNames()) {
    for (const auto& [key, value] : ini.Section(section)) ini.GetInt(section, key, 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> bytes(data, size);
  std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckConnectionRecord(bytes);
  CheckIni(text);
  tarvik::CCommandLine::FromLine(text);
  return 0;
}
