#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tarvik/protocol/param.h"

namespace tarvik {

inline constexpr int kMaxRecorders = 16;

// One status string character of a recorder, kept over the replies of one status command.
struct StatusFlag {
  bool current = false;   // the character is "Y"
  bool previous = false;  // current before the last reply
  int latched = 0;        // the maximum of all currents
};

// What the control unit reports about one recorder on its line.
struct HcuRecorderStatus {
  bool offline = false;       // "O" in a status string; "N" clears it
  StatusFlag NR, QX, QY, NY;  // status strings of commands 3, 6, 7, 14
  StatusFlag NW, NE;          // first and second event flags, commands 9 and 10
  int priority = 0;           // raised by NW / NE while the priority option is on
};

// The control unit's reply to QW (8): two bit masks and eight 0/1 values.
struct HcuAlarmReply {
  std::array<std::uint32_t, 2> masks{};
  std::array<int, 8> values{};
};

// The values of the control unit itself, one field per read command named after its code (0-46).
// Fields that a write command sends carry a changed flag (Param / ParamList):
//   No -> NO, Nx -> NX, Nm/Nh/Nl -> NM/NH/NL (combination n in slot n-1), Rs -> RS,
//   Nz -> NZ (relay n in slot n-1), Qp -> QP slots 0..3.
struct HcuInfo {
  Param<int> LL;           // 0
  Param<std::string> NN;   // 1 device name, first 7 characters
  Param<int> NC;           // 2 number of recorders N, 0..16
  IntList NF;              // 4
  Param<char> NS;          // 5
  HcuAlarmReply QW;        // 8
  ParamList<5> QP;         // 11 "%d,%d:%d:%d,%d": number, hours, minutes, seconds, number
  Param<int> QT;           // 12 the control unit's own slot
  Param<std::string> LP;   // 13
  Param<char> NQ;          // 15
  Param<std::string> NP;   // 16
  Param<std::string> QB;   // 17
  Param<int> QV;           // 18
  Param<std::string> ND;   // 19 date text
  Param<std::string> NT;   // 20 time text
  IntList NV;              // 21
  Param<char> NO;          // 22 relay output enabled
  Param<char> NX;          // 23 common trigger enabled
  ParamList<8> NZ;         // 24 relay holding times (relay n in slot n-1), then conditions
  ParamList<16> NM;        // 25 trigger combination masks
  ParamList<16> NH;        // 26 alarm 2 combination masks
  ParamList<16> NL;        // 27 alarm 1 combination masks
  Param<int> RS;           // 28 baud rate
  IntList XC;              // 29
  IntList QC;              // 30
  IntList QN;              // 31
  Param<double> XP;        // 32
  IntList QZ;              // 33
  Param<std::string> QL1;  // 34
  Param<std::string> QL2;  // 35
  Param<std::string> XR;   // 36
  Param<char> XH;          // 37
  IntList NK;              // 38
  Param<int> XT;           // 39
  Param<int> XD;           // 40
  Param<int> QO;           // 41
  IntList QJ;              // 42
  IntList QK;              // 43
  Param<int> XW;           // 44
  Param<int> QI;           // 45
  Param<int> QG;           // 46

  // Status strings (3, 6, 7, 9, 10, 14), one entry per recorder slot.
  std::array<HcuRecorderStatus, kMaxRecorders> recorders{};
  // Per recorder slot, contiguous so that the disconnect summary can take them as they are.
  std::array<OfflineCounters, kMaxRecorders> recorder_offline_counters{};
  std::array<bool, 2> alarm_flags{};  // from QW
  bool offline = false;               // the control unit stopped answering
  OfflineCounters offline_counters;

  // Nt and Nd send the PC clock only while a clock setting is pending; each send consumes its flag.
  bool time_setting_pending = false;
  bool date_setting_pending = false;
  void RequestClockSetting() { time_setting_pending = date_setting_pending = true; }
};

}  // namespace tarvik
