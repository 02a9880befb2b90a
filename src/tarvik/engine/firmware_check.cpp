#include "tarvik/engine/firmware_check.h"

namespace tarvik {

bool FirmwareSupported(unsigned firmware) {
  return (firmware >= 22060 && firmware <= 22099) || (firmware >= 32070 && firmware <= 32099) ||
         (firmware >= 42052 && firmware <= 42099) || (firmware >= 62070 && firmware <= 62099);
}

std::string VersionForFirmware(unsigned firmware) {
  if (firmware >= 62000) return "2.0";
  if (firmware >= 42000) return "1.9";
  if (firmware >= 22000) return "1.8";
  return "1.7";
}

}  // namespace tarvik
