#pragma once

#include <string>

namespace tarvik {

// The firmware ranges this version of the program talks to (firmware in hundredths: 22060 = 220.60).
bool FirmwareSupported(unsigned firmware);

// The program version an operator needs for firmware outside those ranges: "2.0" from 620.00,
// "1.9" from 420.00, "1.8" from 220.00, else "1.7".
std::string VersionForFirmware(unsigned firmware);

}  // namespace tarvik
