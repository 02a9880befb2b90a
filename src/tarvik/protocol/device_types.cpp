#include "tarvik/protocol/device_types.h"

#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

// Commands each type does not support, by code (case-sensitive, as in the command table).

// Types 0, 1.
constexpr std::string_view kUnsupported0_1[] = {
    "TI", "TD", "AQ", "PC", "BC", "BI", "TK", "TV", "TP", "TF", "TG", "AJ", "FL", "PT", "PH", "IG", "TX",
    "TY", "TZ", "AA", "AB", "AC", "AX", "AY", "AZ", "MJ", "SF", "AF", "HF", "CF", "BF", "MF", "AU", "Ti",
    "Td", "Ir", "Aj", "Tx", "Ty", "Tz", "Aa", "Ab", "Ac", "Ax", "Ay", "Az", "Tf", "Au", "Ai"};

// Types 2, 3, 16.
constexpr std::string_view kUnsupported2_3_16[] = {
    "TI", "TD", "AQ", "BC", "BI", "TK", "TV", "AP", "FL", "PT", "PH", "TX", "TY", "TZ",
    "AA", "AB", "AC", "AX", "AY", "AZ", "MJ", "SF", "AF", "HF", "CF", "BF", "MF", "AU",
    "Ti", "Td", "Ap", "Tx", "Ty", "Tz", "Aa", "Ab", "Ac", "Ax", "Ay", "Az", "Au"};

// Type 4.
constexpr std::string_view kUnsupported4[] = {"TI", "TD", "AQ", "TC", "PC", "KR",  "MB",  "FF",  "TP",
                                              "TF", "TG", "AJ", "FL", "PT", "PH",  "IG",  "TR",  "AR",
                                              "AO", "MJ", "TU", "AU", "TQ", "Ti",  "Td",  "Ir",  "Aj",
                                              "Tr", "Ar", "Tf", "Au", "Tq", "Ao0", "Ao1", "Ao2", "Ai"};

// Types 5, 6.
constexpr std::string_view kUnsupported5[] = {"TI", "TD", "AQ", "PC", "BC", "BI", "TP",  "TF",  "TG",  "AJ",
                                              "FL", "PT", "PH", "IG", "TR", "AR", "AO",  "MJ",  "SF",  "AF",
                                              "HF", "CF", "BF", "MF", "TU", "AU", "TQ",  "Ti",  "Td",  "Ir",
                                              "Aj", "Tr", "Ar", "Tf", "Au", "Tq", "Ao0", "Ao1", "Ao2", "Ai"};

// Type 7.
constexpr std::string_view kUnsupported7[] = {"TI", "TD", "AQ", "BC", "BI", "TP",  "TF",  "TG",  "AP", "FL",
                                              "PT", "PH", "IG", "TR", "AR", "AO",  "MJ",  "SF",  "AF", "HF",
                                              "CF", "BF", "MF", "TU", "AU", "TQ",  "Ir",  "Ap",  "Ti", "Td",
                                              "Tr", "Ar", "Tf", "Au", "Tq", "Ao0", "Ao1", "Ao2", "Ai"};

// Type 8.
constexpr std::string_view kUnsupported8[] = {
    "BC", "BI", "TP", "TF", "TG", "AP", "FL", "IG", "TX", "TY", "TZ",  "AA",  "AB",  "AC", "AX", "AY",
    "AZ", "AO", "MI", "SF", "AF", "HF", "CF", "BF", "MF", "TU", "AU",  "TQ",  "Ir",  "Ap", "Tx", "Ty",
    "Tz", "Aa", "Ab", "Ac", "Ax", "Ay", "Az", "Tf", "Au", "Tq", "Ao0", "Ao1", "Ao2", "Ai"};

// Type 9.
constexpr std::string_view kUnsupported9[] = {"TI", "TD", "AQ", "TC", "PC", "KR", "BC", "BI", "MB", "TP",
                                              "TF", "TG", "AJ", "FL", "PT", "PH", "IG", "TR", "AR", "MJ",
                                              "SF", "AF", "HF", "CF", "BF", "MF", "TU", "AU", "AO", "Ti",
                                              "Td", "Ir", "Aj", "Tr", "Ar", "Tf", "Au", "Ai"};

// Types 10, 11.
constexpr std::string_view kUnsupported10_11[] = {"TI", "TD", "AQ", "TC", "PC", "BC", "BI", "MB", "TP", "TF",
                                                  "TG", "AJ", "FL", "PT", "PH", "IG", "TR", "AR", "MJ", "SF",
                                                  "AF", "HF", "CF", "BF", "MF", "TU", "AU", "AO", "Ti", "Td",
                                                  "Ir", "Aj", "Tr", "Ar", "Tf", "Au", "Ai"};

// Type 12.
constexpr std::string_view kUnsupported12[] = {"TI", "TD", "AQ", "PC", "BC", "BI", "TK", "TV", "TP", "TF",
                                               "TG", "AJ", "FL", "PT", "PH", "IG", "TR", "AR", "MJ", "SF",
                                               "AF", "HF", "CF", "BF", "MF", "TU", "AU", "AO", "Ti", "Td",
                                               "Ir", "Aj", "Tr", "Ar", "Tf", "Au", "Ai"};

// Type 13.
constexpr std::string_view kUnsupported13[] = {
    "TI", "TD", "AQ", "PC", "BC", "BI", "TK", "TV", "TP", "TF", "TG", "AJ", "FL", "PT", "PH", "IG", "TX",
    "TY", "TZ", "AA", "AB", "AC", "AX", "AY", "AZ", "MJ", "SF", "AF", "HF", "CF", "BF", "MF", "AU", "AO",
    "Ti", "Td", "Ir", "Aj", "Tx", "Ty", "Tz", "Aa", "Ab", "Ac", "Ax", "Ay", "Az", "Tf", "Au", "Ai"};

// Type 14.
constexpr std::string_view kUnsupported14[] = {
    "TI", "TD", "AQ", "BC", "BI", "TK", "TV", "AJ", "FL", "PT", "PH", "IG", "TR", "AR", "MJ", "SF",
    "AF", "HF", "CF", "BF", "MF", "TU", "AU", "Ti", "Td", "Fs", "Aj", "Tr", "Ar", "Au", "Ai"};

// Type 15.
constexpr std::string_view kUnsupported15[] = {"TI", "TD", "AQ", "BC", "BI", "TK", "TV", "AP", "FL", "PT",
                                               "PH", "TR", "AR", "MJ", "SF", "AF", "HF", "CF", "BF", "MF",
                                               "TU", "AU", "Ti", "Td", "Ap", "Tr", "Ar", "Au"};

// Type 17.
constexpr std::string_view kUnsupported17[] = {"AQ", "TC", "PC", "KR", "MB", "FF", "TP",  "TF",  "TG",  "AJ",
                                               "FL", "IG", "TR", "AR", "AO", "MJ", "TU",  "AU",  "TQ",  "Ir",
                                               "Aj", "Tr", "Ar", "Tf", "Au", "Tq", "Ao0", "Ao1", "Ao2", "Ai"};

// Types 18, 19.
constexpr std::string_view kUnsupported18_19[] = {
    "PC", "BC", "BI", "TP", "TF", "TG", "AJ", "FL", "IG", "TR", "AR", "AO", "MJ",  "SF",  "AF",  "HF", "CF",
    "BF", "MF", "TU", "AU", "TQ", "Ir", "Aj", "Tr", "Ar", "Tf", "Au", "Tq", "Ao0", "Ao1", "Ao2", "Ai"};

// Type 20.
constexpr std::string_view kUnsupported20[] = {
    "BC", "BI", "TP", "TF", "TG", "AP", "FL", "IG", "TR", "AR", "AO", "MJ", "SF",  "AF",  "HF",  "CF",
    "BF", "MF", "TU", "AU", "TQ", "Ir", "Ap", "Tr", "Ar", "Tf", "Au", "Tq", "Ao0", "Ao1", "Ao2", "Ai"};

// Type 21.
constexpr std::string_view kUnsupported21[] = {
    "BC", "BI", "TP", "TF", "TG", "AP", "FL", "IG", "TX", "TY", "TZ", "AA",  "AB",  "AC",  "AX",
    "AY", "AZ", "AO", "MI", "SF", "AF", "HF", "CF", "BF", "MF", "AU", "TQ",  "Ir",  "Ap",  "Tx",
    "Ty", "Tz", "Aa", "Ab", "Ac", "Ax", "Ay", "Az", "Tf", "Au", "Tq", "Ao0", "Ao1", "Ao2", "Ai"};

// Type 22.
constexpr std::string_view kUnsupported22[] = {
    "BC", "BI",  "AP",  "PT", "PH", "TX", "TY", "TZ", "AA", "AB", "AC",  "AX",  "AY",  "AZ",
    "AO", "AK1", "AK2", "TP", "TG", "MI", "SF", "AF", "HF", "CF", "BF",  "MF",  "AU",  "Ap",
    "Tx", "Ty",  "Tz",  "Aa", "Ab", "Ac", "Ax", "Ay", "Az", "Tf", "Ao0", "Ao1", "Ao2", "Au"};

// Type 23.
constexpr std::string_view kUnsupported23[] = {"BC", "BI", "AP", "PT", "PH", "TX",  "TY",  "TZ", "AA",
                                               "AB", "AC", "AX", "AY", "AZ", "AK1", "AK2", "TP", "TG",
                                               "MI", "SF", "AF", "HF", "CF", "BF",  "MF",  "Ap", "Tx",
                                               "Ty", "Tz", "Aa", "Ab", "Ac", "Ax",  "Ay",  "Az", "Tf"};

// clang-format off
// Each row: letter, firmware from, firmware to, {c1 .. c21}, unsupported commands.
constexpr std::array<DeviceType, kDeviceTypeCount> kDeviceTypes{{
    /*  0 */ {'S',  3010,  3010, {  2,  0,  0,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1, 15,65535,  0,  0,  0,320}, kUnsupported0_1},
    /*  1 */ {'S',  3020,  3020, {  2,  0,  0,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1, 15,65535,  0,  0,  0,320}, kUnsupported0_1},
    /*  2 */ {'S',  4010,  4010, {  4,  0,  1,  1,  1,  2, -1,  1,-10,  1,100,  2, -1, 10, -1, 15,65535,  0,  0,  0,320}, kUnsupported2_3_16},
    /*  3 */ {'S',  4020,  4020, {  4,  0,  1,  1,  1,  2, -1,  1,-10,  1,100,  2, -1, 10, -1, 15,65535,  0,  0,  0,320}, kUnsupported2_3_16},
    /*  4 */ {'S', 22004, 22004, {  3,  1,  1,  1,  1,  2, -3,  1,  4,  1, 30, 10, -3, 10, -1, 30,  160,  0,  0,  0,  0}, kUnsupported4},
    /*  5 */ {'S', 22009, 22009, {  3,  1,  0,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1, 15,65535,  0,  0,  0,  0}, kUnsupported5},
    /*  6 */ {'S', 22010, 22032, {  3,  1,  0,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1,  1,65535,  0,  0,  0,  0}, kUnsupported5},
    /*  7 */ {'S', 22033, 22059, {  3,  1,  0,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1,  1,65535,  0,  1,  0,  0}, kUnsupported7},
    /*  8 */ {'S', 22060, 22099, {  3,  1,  0,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1,  1,65535,  0,  1,  0,  0}, kUnsupported8},
    /*  9 */ {'S', 32000, 32007, {  2,  0,  0,  1,  1,  2, -1,  1, 26,  1, 30, 10, -3, 10, -1, 15,  160,  0,  0,  0,  0}, kUnsupported9},
    /* 10 */ {'S', 32008, 32008, {  2,  0,  0,  1,  1,  2, -1,  1, 26,  1, 30, 10, -3, 10, -1, 15,  160,  0,  0,  0,  0}, kUnsupported10_11},
    /* 11 */ {'S', 32009, 32009, {  2,  0,  0,  1,  1,  2, -1,  1, 26,  1, 80,  2, -1, 10, -1, 15,65535,  0,  0,  0,  0}, kUnsupported10_11},
    /* 12 */ {'S', 32010, 32069, {  2,  0,  0,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1, 15,65535,  0,  0,  0,  0}, kUnsupported12},
    /* 13 */ {'S', 32070, 32099, {  2,  0,  0,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1, 15,65535,  0,  0,  0,  0}, kUnsupported13},
    /* 14 */ {'S', 42010, 42020, {  4,  0,  1,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1, 15,65535,  0,  0,  0,  0}, kUnsupported14},
    /* 15 */ {'S', 42030, 42049, {  4,  0,  1,  1,  1,  2, -1,  1,-10,  1,100,  2, -1, 10, -1, 15,65535,  0,  0,  0,  0}, kUnsupported15},
    /* 16 */ {'S', 42050, 42099, {  4,  0,  1,  1,  1,  2, -1,  1,-10,  1,100,  2, -1, 10, -1, 15,65535,  0,  0,  0,  0}, kUnsupported2_3_16},
    /* 17 */ {'C', 22004, 22004, {  3,  0,  1,  1,  1,  2, -3,  1,  4,  1, 30, 10, -3, 10, -1, 30,  160,  0,  0,  0, -4}, kUnsupported17},
    /* 18 */ {'C', 22009, 22009, {  3,  0,  1,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1, 15,65535,  0,  0,  0, -4}, kUnsupported18_19},
    /* 19 */ {'C', 22010, 22032, {  3,  0,  1,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1,  1,65535,  0,  0,  0, -4}, kUnsupported18_19},
    /* 20 */ {'C', 22033, 22059, {  3,  0,  1,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1,  1,65535,  0,  1,  0, -4}, kUnsupported20},
    /* 21 */ {'C', 22060, 22099, {  3,  0,  1,  1,  1,  2, -1,  1,-10,  1, 80,  2, -1, 10, -1,  1,65535,  0,  1,  0, -4}, kUnsupported21},
    /* 22 */ {'C', 62070, 62079, {  4,  0,  1,  0,  1,  2, -1,  1,-10,  1,100,  2, -1, 10, -1, 15,65535,  1,  1,  0, -4}, kUnsupported22},
    /* 23 */ {'C', 62080, 62099, {  4,  0,  1,  0,  1,  2, -1,  1,-10,  1,100,  2, -1, 10, -1, 15,65535,  1,  1,  0, -4}, kUnsupported23},
}};
// clang-format on

}  // namespace

bool DeviceType::Supports(int command) const {
  if (!IsValidCommand(command)) return false;
  std::string_view code = CommandAt(command).code;
  if (code.empty()) return true;
  for (std::string_view missing : unsupported) {
    if (missing == code) return false;
  }
  return true;
}

std::span<const DeviceType> DeviceTypes() {
  return kDeviceTypes;
}

const DeviceType* DeviceTypeAt(int index) {
  if (index < 0 || index >= kDeviceTypeCount) return nullptr;
  return &kDeviceTypes[static_cast<size_t>(index)];
}

int LookUpDeviceType(char model_letter, int firmware) {
  for (int i = 0; i < kDeviceTypeCount; ++i) {
    const DeviceType& type = kDeviceTypes[static_cast<size_t>(i)];
    if (type.letter == model_letter && firmware >= type.firmware_from && firmware <= type.firmware_to)
      return i;
  }
  return kNoDeviceType;
}

bool DeviceTypeSupports(int device_type, int command) {
  const DeviceType* type = DeviceTypeAt(device_type);
  return type == nullptr || type->Supports(command);
}

}  // namespace tarvik
