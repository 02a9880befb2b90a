#include "krsim/event_export.h"

#include <cstdio>
#include <fstream>

namespace krsim {

std::string ExportFileName(int recorder, const StoredEvent& event) {
  char name[32];
  std::snprintf(name, sizeof name, "%02d%03d.%s", recorder, event.file_number, EventKindName(event.kind));
  return name;
}

int ExportEvents(const UnitModel& unit, const std::filesystem::path& folder, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    error = "cannot create the folder " + folder.string() + ": " + ec.message();
    return -1;
  }
  int written = 0;
  for (const SimRecorder& recorder : unit.recorders()) {
    for (const StoredEvent& event : recorder.store().Events()) {
      const std::filesystem::path path = folder / ExportFileName(recorder.number(), event);
      const std::vector<std::uint8_t> image = ExportImage(event);
      std::ofstream file(path, std::ios::binary | std::ios::trunc);
      file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
      if (!file) {
        error = "cannot write " + path.string();
        return -1;
      }
      ++written;
    }
  }
  return written;
}

}  // namespace krsim
