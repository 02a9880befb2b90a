#pragma once

#include <filesystem>
#include <string>

#include "krsim/event_generator.h"
#include "krsim/unit_model.h"

namespace krsim {

// The name the PC gives a downloaded event when it numbers its files: recorder number (2 digits),
// file number (3 digits), the kind as extension - "01003.vkr" is event 3 of recorder 1.
std::string ExportFileName(int recorder, const StoredEvent& event);

// Writes, for every event stored in every recorder, the file the PC writes after downloading it
// (ExportImage) into `folder`, created when missing. The count of files written, or -1 with a
// message when the folder or a file cannot be written.
int ExportEvents(const UnitModel& unit, const std::filesystem::path& folder, std::string& error);

}  // namespace krsim
