#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "krcommon/clock.h"
#include "tarvik/protocol/device_types.h"
#include "tarvik/protocol/param.h"

namespace tarvik {

inline constexpr int kDirectorySlots = 255;

// One entry of a recorder's event directory, read by MD (75) for file number f into slot f-1.
struct DirectoryEntry {
  char type_letter = 0;  // as received; "?" for an entry that could not be read
  int kind = 0;          // file kind derived from the model letter and the type letter
  std::string date;      // 8 characters
  std::string time;      // 11 characters
  std::array<double, 3> peaks{};
  std::uint32_t samples = 0;
  // The event time as one value (after the local time correction), when date and time were valid;
  // date-time file names are built from it.
  bool has_date_time = false;
  kr::DateTime date_time;
};

// One value of the event values MI (184, dominant frequencies) and MJ (185, peaks): a decimal, a
// decimal below the measuring range ("<0.5"), or a text the recorder sends instead ("---"), with
// its unit and the text the dialogs show ("%0.1lf %s", "< %0.1lf %s" or "%s %s").
struct EventValue {
  enum class Kind { kNumber, kBelow, kText };
  Kind kind = Kind::kText;
  double value = 0;
  std::string text;
  std::string unit;
  std::string display;
};
inline constexpr int kEventValueCount = 3;
struct EventValues {
  std::array<EventValue, kEventValueCount> values{};
  int count = 0;
};

// The "%d%c" pair that Zc sends.
struct ZcValue {
  int number = 0;
  char letter = ' ';
};

// One recipient of the phonebook that Ad sends: a send-using digit and a number text.
struct PhonebookEntry {
  int choice = 0;
  std::string number;
};

// Everything known about one recorder slot. One field per read command 73-212, named after the
// command's code, with the width its reply gives (integer, list, decimal, text, character). A write
// command sends the field of the same letters (Te sends TE) when that field's changed flag is set;
// list fields carry a flag per slot. Writes whose items do not match a read field one to one keep
// their own values, named after the write code (Ad, Ag, Ae, Tu, Rh, Sy, Zc, Fc, Ao0-Ao2, Mx1, Qn,
// Si, Au, Mo).
struct KrParams {
  Param<int> MN;  //  73 number of files, 0..255
  IntList IE;     //  74
  // 75 MD: the event directory below.
  Param<std::string> IN;  //  76 model text; its first letter is the model letter
  Param<int> SW;          //  77
  Param<int> AW;          //  78
  Param<int> HW;          //  79
  Param<int> CW;          //  80
  Param<int> BW;          //  81
  Param<int> MW;          //  82
  Param<int> SM;          //  83
  Param<int> AM;          //  84
  Param<int> HM;          //  85
  Param<int> CM;          //  86
  Param<int> BM;          //  87
  Param<int> MM;          //  88
  ParamList<2> SF;        //  89 mask pairs: two result words
  ParamList<2> AF;        //  90
  ParamList<2> HF;        //  91
  ParamList<2> CF;        //  92
  ParamList<2> BF;        //  93
  ParamList<2> MF;        //  94
  Param<int> FW;          //  95
  Param<int> FE;          //  96
  Param<int> MU;          //  97
  ParamList<2> MS;        //  98 "%d,%d"
  Param<std::string> IB;  //  99 identification
  Param<std::string> RR;  // 100
  Param<int> IV;          // 101 firmware version
  Param<int> SO;          // 102 feature word
  ParamList<16> AL;       // 103 alerting levels: item i is the pair in slots 2i, 2i+1 (Al)
  Param<std::string> AE;  // 104
  IntList AD;             // 105
  Param<std::string> AG;  // 106
  Param<int> AH;          // 107 (Ah)
  ParamList<5> AP;        // 108 (Ap: the five fields of one record)
  ParamList<5> AJ;        // 109 (Aj: items 0-4)
  Param<int> ME;          // 110
  Param<std::string> IS;  // 111
  Param<std::string> IT;  // 112
  Param<std::string> AS;  // 113
  Param<double> TA;       // 114
  Param<int> FR;          // 115
  Param<std::string> IP;  // 116
  Param<std::string> IF;  // 117
  Param<double> BP;       // 118
  Param<double> BB;       // 119
  Param<std::string> BC;  // 120
  Param<double> BI;       // 121
  Param<std::string> WS;  // 122
  Param<int> WL;          // 123
  Param<int> TN;          // 124 trigger mode
  Param<int> IA;          // 125
  Param<int> IR;          // 126 (Ir)
  Param<int> IH;          // 127
  Param<std::string> IC;  // 128
  Param<std::string> IU;  // 129
  Param<double> IL;       // 130
  IntList ID;             // 131
  IntList ZX;             // 132
  Param<int> TE;          // 133 (Te)
  Param<int> TC;          // 134
  Param<int> TO;          // 135 (To)
  ParamList<9> TR;        // 136 levels, votes, required (Tr: items 0-2)
  Param<int> TX;          // 137 (Tx)
  Param<int> TY;          // 138 (Ty)
  Param<int> TZ;          // 139 (Tz)
  Param<int> TM;          // 140 (Tm)
  Param<int> TT;          // 141 (Tt)
  Param<int> AA;          // 142 (Aa)
  Param<int> AB;          // 143 (Ab)
  Param<int> AC;          // 144 (Ac)
  Param<int> AX;          // 145 (Ax)
  Param<int> AY;          // 146 (Ay)
  Param<int> AZ;          // 147 (Az)
  ParamList<6> AR;        // 148 two threshold levels (Ar: items 0-2)
  Param<int> AT;          // 149 (At)
  ParamList<2> AQ;        // 150 (Aq)
  Param<int> TW;          // 151 (Tw)
  Param<int> TL;          // 152 (Tl)
  Param<int> TI;          // 153 (Ti)
  Param<int> TD;          // 154 (Td)
  Param<std::string> PR;  // 155 (Pr)
  Param<int> RS;          // 156 baud rate (Rs)
  Param<int> RT;          // 157
  Param<std::string> RH;  // 158 one letter (mirrored into Rh while Rh is not being edited)
  Param<std::string> CT;  // 159
  Param<std::string> CD;  // 160
  Param<std::string> DT;  // 161
  Param<std::string> DD;  // 162
  Param<std::string> DS;  // 163 one letter
  Param<int> DM;          // 164
  ParamList<2> PC;        // 165 (Pc)
  Param<double> PL;       // 166 (Pl)
  Param<double> PO;       // 167 (Po)
  Param<int> PE;          // 168 (Pe)
  Param<int> ZD;          // 169 (Zd)
  Param<std::string> SY;  // 170 one letter (mirrored into Sy while Sy is not being edited)
  Param<int> ZC;          // 171
  Param<int> TK;          // 172 (Tk)
  Param<int> TV;          // 173 (Tv)
  IntList FM;             // 174
  IntList FV;             // 175
  Param<int> FS;          // 176
  Param<int> FD;          // 177 (Fd)
  ParamList<3> FC;        // 178 "%d:%d:%d"
  Param<int> FT;          // 179 (Ft)
  IntList AV;             // 180
  // 181 LP: the password goes to the link record, never into the data model.
  IntList FF;             // 182
  Param<std::string> KR;  // 183 "YES" when the memory is a ring (a refusal clears ring_memory)
  EventValues MI;         // 184 dominant frequency per channel, Hz
  EventValues MJ;         // 185 peak per channel
  Param<int> MB;          // 186 highest file number
  Param<int> TF;          // 187 (Tf)
  ParamList<12> TP;       // 188 STA, LTA, ratio, latched (Tp: items 0-2)
  ParamList<3> TG;        // 189 (Tg: items 0-2)
  IntList AO;             // 190
  ParamList<7> AK1;       // 191 (Ak1: items 0-2)
  ParamList<7> AK2;       // 192 (Ak2: items 0-2)
  Param<int> FG;          // 193
  IntList FL;             // 194
  Param<std::string> SC;  // 195
  Param<std::string> TS;  // 196
  Param<std::string> PT;  // 197
  Param<std::string> PH;  // 198
  IntList IG;             // 199
  Param<std::string> MG;  // 200 "YES" / "NO": mirror_enabled
  IntList SA;             // 201
  IntList IO;             // 202
  Param<std::string> TU;  // 203
  Param<int> TQ;          // 204 (Tq)
  Param<std::string> MQ;  // 205
  IntList MX;             // 206
  IntList TJ;             // 207
  Param<int> FO;          // 208
  IntList FA;             // 209
  IntList PS;             // 210
  IntList SI;             // 211
  IntList AU;             // 212

  // Values of write commands that have no read field of the same shape.
  std::array<Param<PhonebookEntry>, 8> Ad{};      // 213 items 0-7
  std::array<Param<std::string>, 6> Ag{};         // 214 headers and strings
  std::array<Param<std::string>, 8> Ae{};         // 215 message texts
  Param<char> Rh;                                 // 243
  Param<char> Sy;                                 // 250
  Param<ZcValue> Zc;                              // 251
  Param<std::string> Fc;                          // 258
  Param<char> Ao0;                                // 269
  Param<int> Ao1;                                 // 270
  Param<int> Ao2;                                 // 271
  std::array<Param<std::string>, 6> Tu{};         // 274
  Param<int> Mx1;                                 // 278
  std::array<std::array<Param<int>, 3>, 5> Si{};  // 280 [sub-record 0-4][item 1-3]
  std::array<std::array<Param<int>, 3>, 2> Au{};  // 281 [sub-record 0-1][item 1-3]
  std::array<Param<int>, 256> Mo{};               // 295 events to erase, one per frame
  ParamList<2> Qn;                                // 57 two values the control unit keeps for this recorder

  // Ct and Cd send the PC clock only while a clock setting is pending; each send consumes its flag.
  bool time_setting_pending = false;
  bool date_setting_pending = false;
  void RequestClockSetting() { time_setting_pending = date_setting_pending = true; }
  // Mg and Kr are sent only while requested; each send consumes its request.
  bool mg_requested = false;
  bool kr_requested = false;

  // Derived and bookkeeping values.
  int device_type = kNoDeviceType;  // from the model letter and IV
  bool ring_memory = true;          // cleared when the recorder refuses KR
  bool mirror_enabled = false;      // MG answered "YES" (or a number other than 0)
  // The memory status as FM (used memory) and FF (number of files) answered it, word for word: a full
  // memory or file table answers "ERROR" instead of its list.
  std::string memory_status;
  std::string files_status;
  bool recording = false;  // set when recording was switched on from the PC, cleared when switched off
  std::array<DirectoryEntry, kDirectorySlots> directory{};
  int directory_entries_read = 0;
  int downloaded_events = 0;

  // The feature word has bit `bit` set.
  bool HasFeature(int bit) const {
    return bit >= 0 && bit < 32 && ((static_cast<unsigned>(SO.value) >> bit) & 1u);
  }
};

}  // namespace tarvik
