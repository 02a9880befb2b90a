#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tarvik {

inline constexpr int kCommandCount = 297;
inline constexpr uint16_t kNoFeatureBit = 0xFFFF;

// Columns of a command row, as bits of CommandEntry::flags.
enum CommandFlag : uint8_t {
  kRecorderNumber = 1 << 0,   // the frame carries the target recorder number after the code
  kFileNumber = 1 << 1,       // the frame carries a file (event) number
  kDataReply = 1 << 2,        // the unit answers "*(payload)" rather than a bare "*"
  kSettingsTouched = 1 << 3,  // a successful send marks the recorder's settings as touched
};

struct CommandEntry {
  std::string_view code;  // empty for the special frames 69..71 that have no code
  uint8_t flags = 0;
  uint16_t feature_bit = kNoFeatureBit;  // bit of the recorder's feature word the command needs

  constexpr bool HasRecorderNumber() const { return (flags & kRecorderNumber) != 0; }
  constexpr bool HasFileNumber() const { return (flags & kFileNumber) != 0; }
  constexpr bool HasDataReply() const { return (flags & kDataReply) != 0; }
  constexpr bool TouchesSettings() const { return (flags & kSettingsTouched) != 0; }
  constexpr bool NeedsFeature() const { return feature_bit != kNoFeatureBit; }
};

// The commands the recorder firmware and the control unit understand, by number. Fixed by the
// firmware: 0-68 control unit, 69-72 special frames, 73-212 recorder reads, 213-296 recorder writes.
// Each row: code, columns, feature bit (omitted when none).
inline constexpr std::array<CommandEntry, kCommandCount> kCommandTable{{
    {"LL", kDataReply},                      //   0
    {"NN", kDataReply},                      //   1
    {"NC", kDataReply},                      //   2
    {"NR", kDataReply},                      //   3
    {"NF", kDataReply},                      //   4
    {"NS", kDataReply},                      //   5
    {"QX", kDataReply},                      //   6
    {"QY", kDataReply},                      //   7
    {"QW", kDataReply},                      //   8
    {"NW", kDataReply},                      //   9
    {"NE", kDataReply},                      //  10
    {"QP", kDataReply},                      //  11
    {"QT", kDataReply},                      //  12
    {"LP", kDataReply},                      //  13
    {"NY", kDataReply},                      //  14
    {"NQ", kDataReply},                      //  15
    {"NP", kDataReply},                      //  16
    {"QB", kDataReply},                      //  17
    {"QV", kDataReply},                      //  18
    {"ND", kDataReply},                      //  19
    {"NT", kDataReply},                      //  20
    {"NV", kDataReply},                      //  21
    {"NO", kDataReply},                      //  22
    {"NX", kDataReply},                      //  23
    {"NZ", kDataReply},                      //  24
    {"NM", kDataReply},                      //  25
    {"NH", kDataReply},                      //  26
    {"NL", kDataReply},                      //  27
    {"RS", kDataReply},                      //  28
    {"XC", kDataReply},                      //  29
    {"QC", kDataReply},                      //  30
    {"QN", kDataReply},                      //  31
    {"XP", kRecorderNumber | kDataReply},    //  32
    {"QZ", kDataReply},                      //  33
    {"QL1", kDataReply},                     //  34
    {"QL2", kDataReply},                     //  35
    {"XR", kDataReply},                      //  36
    {"XH", kDataReply},                      //  37
    {"NK", kDataReply},                      //  38
    {"XT", kDataReply},                      //  39
    {"XD", kDataReply},                      //  40
    {"QO", kDataReply},                      //  41
    {"QJ", kDataReply},                      //  42
    {"QK", kDataReply},                      //  43
    {"XW", kDataReply},                      //  44
    {"QI", kDataReply},                      //  45
    {"QG", kDataReply},                      //  46
    {"Na", kRecorderNumber},                 //  47
    {"Na0", 0},                              //  48
    {"Nt", 0},                               //  49
    {"Nd", 0},                               //  50
    {"No", 0},                               //  51
    {"Nx", 0},                               //  52
    {"Nm", 0},                               //  53
    {"Nh", 0},                               //  54
    {"Nl", 0},                               //  55
    {"Rs", 0},                               //  56
    {"Qn", 0},                               //  57
    {"Nz", 0},                               //  58
    {"Xp", kFileNumber},                     //  59
    {"Qp", 0},                               //  60
    {"Qq", kFileNumber},                     //  61
    {"Qz", kFileNumber},                     //  62
    {"Sw", kFileNumber, 0},                  //  63
    {"Li", 0},                               //  64
    {"Lo", 0},                               //  65
    {"Qt", 0},                               //  66
    {"Qw", 0},                               //  67
    {"Nq", 0},                               //  68
    {"", kDataReply},                        //  69 free-form command
    {"", kDataReply},                        //  70 modem string
    {"", kDataReply},                        //  71 probe (CAN ")")
    {"NOP", 0},                              //  72 no operation, never sent
    {"MN", kDataReply},                      //  73
    {"IE", kDataReply},                      //  74
    {"MD", kFileNumber | kDataReply},        //  75
    {"IN", kDataReply},                      //  76
    {"SW", kDataReply},                      //  77
    {"AW", kDataReply},                      //  78
    {"HW", kDataReply},                      //  79
    {"CW", kDataReply},                      //  80
    {"BW", kDataReply},                      //  81
    {"MW", kDataReply},                      //  82
    {"SM", kDataReply},                      //  83
    {"AM", kDataReply},                      //  84
    {"HM", kDataReply},                      //  85
    {"CM", kDataReply},                      //  86
    {"BM", kDataReply},                      //  87
    {"MM", kDataReply},                      //  88
    {"SF", kDataReply},                      //  89
    {"AF", kDataReply},                      //  90
    {"HF", kDataReply},                      //  91
    {"CF", kDataReply},                      //  92
    {"BF", kDataReply},                      //  93
    {"MF", kDataReply},                      //  94
    {"FW", kDataReply},                      //  95
    {"FE", kDataReply},                      //  96
    {"MU", kDataReply},                      //  97
    {"MS", kDataReply},                      //  98
    {"IB", kDataReply},                      //  99
    {"RR", kDataReply},                      // 100
    {"IV", kDataReply},                      // 101
    {"SO", kDataReply},                      // 102
    {"AL", kDataReply, 8},                   // 103
    {"AE", kDataReply, 8},                   // 104
    {"AD", kDataReply, 8},                   // 105
    {"AG", kDataReply, 8},                   // 106
    {"AH", kDataReply},                      // 107
    {"AP", kDataReply, 8},                   // 108
    {"AJ", kDataReply, 8},                   // 109
    {"ME", kDataReply},                      // 110
    {"IS", kDataReply},                      // 111
    {"IT", kDataReply},                      // 112
    {"AS", kDataReply},                      // 113
    {"TA", kDataReply},                      // 114
    {"FR", kDataReply},                      // 115
    {"IP", kDataReply},                      // 116
    {"IF", kDataReply},                      // 117
    {"BP", kDataReply},                      // 118
    {"BB", kDataReply},                      // 119
    {"BC", kDataReply},                      // 120
    {"BI", kDataReply},                      // 121
    {"WS", kDataReply},                      // 122
    {"WL", kDataReply},                      // 123
    {"TN", kDataReply},                      // 124
    {"IA", kDataReply},                      // 125
    {"IR", kDataReply},                      // 126
    {"IH", kDataReply},                      // 127
    {"IC", kDataReply},                      // 128
    {"IU", kDataReply},                      // 129
    {"IL", kDataReply},                      // 130
    {"ID", kDataReply},                      // 131
    {"ZX", kDataReply},                      // 132
    {"TE", kDataReply},                      // 133
    {"TC", kDataReply},                      // 134
    {"TO", kDataReply},                      // 135
    {"TR", kDataReply},                      // 136
    {"TX", kDataReply},                      // 137
    {"TY", kDataReply},                      // 138
    {"TZ", kDataReply},                      // 139
    {"TM", kDataReply},                      // 140
    {"TT", kDataReply},                      // 141
    {"AA", kDataReply},                      // 142
    {"AB", kDataReply},                      // 143
    {"AC", kDataReply},                      // 144
    {"AX", kDataReply},                      // 145
    {"AY", kDataReply},                      // 146
    {"AZ", kDataReply},                      // 147
    {"AR", kDataReply},                      // 148
    {"AT", kDataReply},                      // 149
    {"AQ", kDataReply},                      // 150
    {"TW", kDataReply},                      // 151
    {"TL", kDataReply},                      // 152
    {"TI", kDataReply},                      // 153
    {"TD", kDataReply},                      // 154
    {"PR", kDataReply},                      // 155
    {"RS", kDataReply},                      // 156
    {"RT", kDataReply},                      // 157
    {"RH", kDataReply},                      // 158
    {"CT", kDataReply},                      // 159
    {"CD", kDataReply},                      // 160
    {"DT", kDataReply},                      // 161
    {"DD", kDataReply},                      // 162
    {"DS", kDataReply},                      // 163
    {"DM", kDataReply},                      // 164
    {"PC", kDataReply, 11},                  // 165
    {"PL", kDataReply},                      // 166
    {"PO", kDataReply},                      // 167
    {"PE", kDataReply},                      // 168
    {"ZD", kDataReply},                      // 169
    {"SY", kDataReply},                      // 170
    {"ZC", kDataReply},                      // 171
    {"TK", kDataReply},                      // 172
    {"TV", kDataReply},                      // 173
    {"FM", kDataReply},                      // 174
    {"FV", kDataReply},                      // 175
    {"FS", kDataReply | kSettingsTouched},   // 176
    {"FD", kDataReply},                      // 177
    {"FC", kDataReply},                      // 178
    {"FT", kDataReply},                      // 179
    {"AV", kDataReply},                      // 180
    {"LP", kDataReply},                      // 181
    {"FF", kDataReply},                      // 182
    {"KR", kDataReply},                      // 183
    {"MI", kFileNumber | kDataReply},        // 184
    {"MJ", kFileNumber | kDataReply},        // 185
    {"MB", kDataReply},                      // 186
    {"TF", kDataReply | kSettingsTouched},   // 187
    {"TP", kDataReply | kSettingsTouched},   // 188
    {"TG", kDataReply | kSettingsTouched},   // 189
    {"AO", kDataReply, 14},                  // 190
    {"AK1", kDataReply, 14},                 // 191
    {"AK2", kDataReply, 14},                 // 192
    {"FG", kDataReply},                      // 193
    {"FL", kDataReply},                      // 194
    {"SC", kDataReply},                      // 195
    {"TS", kDataReply},                      // 196
    {"PT", kDataReply},                      // 197
    {"PH", kDataReply},                      // 198
    {"IG", kDataReply},                      // 199
    {"MG", kDataReply},                      // 200
    {"SA", kDataReply},                      // 201
    {"IO", kDataReply},                      // 202
    {"TU", kDataReply},                      // 203
    {"TQ", kDataReply},                      // 204
    {"MQ", kDataReply},                      // 205
    {"MX", kDataReply},                      // 206
    {"TJ", kDataReply},                      // 207
    {"FO", kDataReply},                      // 208
    {"FA", kDataReply},                      // 209
    {"PS", kDataReply},                      // 210
    {"SI", kDataReply, 14},                  // 211
    {"AU", kDataReply, 15},                  // 212
    {"Ad", 0, 8},                            // 213
    {"Ag", 0, 8},                            // 214
    {"Ae", 0, 8},                            // 215
    {"Al", 0, 8},                            // 216
    {"Ah", 0},                               // 217
    {"Ap", 0, 8},                            // 218
    {"Aj", kSettingsTouched, 8},             // 219
    {"Tn", kFileNumber},                     // 220
    {"Te", 0},                               // 221
    {"To", 0},                               // 222
    {"Tx", kSettingsTouched},                // 223
    {"Ty", kSettingsTouched},                // 224
    {"Tz", kSettingsTouched},                // 225
    {"Aa", kSettingsTouched},                // 226
    {"Ab", kSettingsTouched},                // 227
    {"Ac", kSettingsTouched},                // 228
    {"Ax", kSettingsTouched},                // 229
    {"Ay", kSettingsTouched},                // 230
    {"Az", kSettingsTouched},                // 231
    {"Ar", kSettingsTouched},                // 232
    {"Aq", 0},                               // 233
    {"Tm", kSettingsTouched},                // 234
    {"Tt", 0},                               // 235
    {"At", 0},                               // 236
    {"Tw", 0},                               // 237
    {"Ti", 0},                               // 238
    {"Td", 0},                               // 239
    {"Tl", 0},                               // 240
    {"Pr", 0},                               // 241
    {"Rs", 0},                               // 242
    {"Rh", 0},                               // 243
    {"Dm", 0},                               // 244
    {"Pc", 0, 11},                           // 245
    {"Pl", 0},                               // 246
    {"Po", 0},                               // 247
    {"Pe", 0},                               // 248
    {"Zd", 0},                               // 249
    {"Sy", 0},                               // 250
    {"Zc", kSettingsTouched},                // 251
    {"Ct", 0},                               // 252
    {"Cd", 0},                               // 253
    {"Fs", kFileNumber | kSettingsTouched},  // 254
    {"Tk", 0},                               // 255
    {"Tv", 0},                               // 256
    {"Fd", 0},                               // 257
    {"Fc", 0},                               // 258
    {"Ft", 0},                               // 259
    {"Lp", 0},                               // 260
    {"Tr", kSettingsTouched},                // 261
    {"Tc", kSettingsTouched},                // 262
    {"Tf", 0},                               // 263
    {"Tp", kSettingsTouched},                // 264
    {"Tg", kSettingsTouched},                // 265
    {"Ir", kSettingsTouched},                // 266
    {"Fg", kFileNumber | kSettingsTouched},  // 267
    {"Ia", 0},                               // 268
    {"Ao0", kSettingsTouched, 14},           // 269
    {"Ao1", kSettingsTouched, 14},           // 270
    {"Ao2", kSettingsTouched, 14},           // 271
    {"Ak1", kSettingsTouched, 14},           // 272
    {"Ak2", kSettingsTouched, 14},           // 273
    {"Tu", 0},                               // 274
    {"Tq", 0},                               // 275
    {"Mg", 0},                               // 276
    {"Mx0", 0},                              // 277
    {"Mx1", 0},                              // 278
    {"Kr", 0},                               // 279
    {"Si", 0, 14},                           // 280
    {"Au", 0, 15},                           // 281
    {"Fp", kFileNumber},                     // 282
    {"Zm", 0},                               // 283
    {"Fi", 0},                               // 284
    {"M1", kFileNumber},                     // 285
    {"Th", kFileNumber},                     // 286
    {"Sr", 0},                               // 287
    {"Mf", 0},                               // 288
    {"Fe", 0},                               // 289
    {"As", 0},                               // 290
    {"St", 0},                               // 291
    {"MH", kFileNumber},                     // 292
    {"Pd", 0},                               // 293
    {"Ai", 0},                               // 294
    {"Mo", 0},                               // 295
    {"Mx2", 0},                              // 296
}};

// The number of the first row at or after `from` whose code is `code` (codes are case-sensitive:
// "TE" reads, "Te" writes); -1 when there is none. "RS", "LP" and "Rs" occur twice: the control
// unit's row comes first, the recorder's is found with from = 73.
constexpr int FindCommand(std::string_view code, int from = 0) {
  if (code.empty()) return -1;
  for (int number = from < 0 ? 0 : from; number < kCommandCount; ++number) {
    if (kCommandTable[static_cast<size_t>(number)].code == code) return number;
  }
  return -1;
}

// Compile-time form of FindCommand for command lists: an unknown code does not compile.
consteval int CommandNumber(std::string_view code, int from = 0) {
  int number = FindCommand(code, from);
  if (number < 0) throw "unknown command code";
  return number;
}

constexpr bool IsValidCommand(int number) {
  return number >= 0 && number < kCommandCount;
}

// The row of a valid command number.
constexpr const CommandEntry& CommandAt(int number) {
  return kCommandTable[static_cast<size_t>(number)];
}

// Command numbers the protocol layer itself refers to.
// The password every unit is delivered with.
inline constexpr const char* kDefaultPassword = "TORVE";

// The bit of a recorder's feature word (SO) that enables the event values MI and MJ.
inline constexpr int kEventValuesFeatureBit = 7;

namespace cmd {
inline constexpr int kNN = CommandNumber("NN");
inline constexpr int kNF = CommandNumber("NF");
inline constexpr int kNa = CommandNumber("Na");
inline constexpr int kNa0 = CommandNumber("Na0");
inline constexpr int kNt = CommandNumber("Nt");
inline constexpr int kNd = CommandNumber("Nd");
inline constexpr int kHcuRs = CommandNumber("Rs");
inline constexpr int kQt = CommandNumber("Qt");
inline constexpr int kLi = CommandNumber("Li");
inline constexpr int kFreeForm = 69;
inline constexpr int kModemString = 70;
inline constexpr int kProbe = 71;
inline constexpr int kNop = 72;
inline constexpr int kFirstRecorderCommand = 73;
inline constexpr int kMD = CommandNumber("MD");
inline constexpr int kMI = CommandNumber("MI");
inline constexpr int kMJ = CommandNumber("MJ");
inline constexpr int kLastReadCommand = 212;
inline constexpr int kFirstWriteCommand = 213;
inline constexpr int kRs = CommandNumber("Rs", kFirstRecorderCommand);
inline constexpr int kCt = CommandNumber("Ct");
inline constexpr int kCd = CommandNumber("Cd");
inline constexpr int kAu = CommandNumber("Au");
inline constexpr int kMg = CommandNumber("Mg");
inline constexpr int kKr = CommandNumber("Kr");
inline constexpr int kFi = CommandNumber("Fi");
inline constexpr int kM1 = CommandNumber("M1");
inline constexpr int kMH = CommandNumber("MH");
inline constexpr int kMo = CommandNumber("Mo");
inline constexpr int kMx2 = CommandNumber("Mx2");
}  // namespace cmd

}  // namespace tarvik
