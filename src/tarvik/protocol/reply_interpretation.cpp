// InterpretReply: the payload of a checked data reply into the recorder data model, by command.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>

#include "krcommon/text_util.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/directory_entry.h"
#include "tarvik/protocol/reply_receiver.h"

namespace tarvik {

namespace {

constexpr int kMaxFiles = 255;

void SetInt(Param<int>& param, std::string_view text) {
  param.value = kr::LeadingInt(text);
}

void SetDecimal(Param<double>& param, std::string_view text) {
  param.value = kr::LeadingDecimal(text).value_or(0.0);
}

void SetText(Param<std::string>& param, std::string_view text) {
  param.value.assign(text);
}

void SetChar(Param<char>& param, std::string_view text) {
  param.value = text.empty() ? '\0' : text[0];
}

// Comma-separated integers into consecutive slots; values beyond the list's capacity are dropped.
template <std::size_t N>
void SetList(ParamList<N>& list, std::string_view text) {
  int count = 0;
  if (!kr::Trim(text).empty()) {
    std::string_view rest = text;
    for (;;) {
      const std::size_t comma = rest.find(',');
      if (static_cast<std::size_t>(count) < N)
        list[static_cast<std::size_t>(count)].value = kr::LeadingInt(rest.substr(0, comma));
      ++count;
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
  }
  list.count = std::min(count, static_cast<int>(N));
}

// Integers separated by any of `separators`, in order, as a formatted row ("%d,%d:%d:%d,%d");
// reading stops at the first character that is neither. Returns the count read.
int ReadFormatted(std::string_view text, std::string_view separators, int* out, int capacity) {
  int count = 0;
  std::size_t at = 0;
  while (count < capacity && at < text.size()) {
    std::size_t end = at;
    if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
    const std::size_t digits = end;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end == digits) break;
    out[count++] = kr::LeadingInt(text.substr(at, end - at));
    if (end >= text.size() || separators.find(text[end]) == std::string_view::npos) break;
    at = end + 1;
  }
  return count;
}

template <std::size_t N>
void SetFormatted(ParamList<N>& list, std::string_view text, std::string_view separators) {
  int values[N] = {};
  const int count = ReadFormatted(text, separators, values, static_cast<int>(N));
  for (int i = 0; i < count; ++i) list[static_cast<std::size_t>(i)].value = values[i];
  list.count = count;
}

// "YES" or a number other than 0.
bool ReadsAsYes(std::string_view text) {
  text = kr::Trim(text);
  return (!text.empty() && std::toupper(static_cast<unsigned char>(text[0])) == 'Y') ||
         kr::LeadingInt(text) != 0;
}

}  // namespace

void ReplyReceiver::InterpretReply(std::string_view payload, std::uint16_t channel) {
  LinkChannel* link = link_.Channel(channel);
  if (link == nullptr) return;
  const std::size_t size = std::min(payload.size(), reply_text_.size() - 1);
  std::memcpy(reply_text_.data(), payload.data(), size);
  reply_text_[size] = '\0';
  const std::string_view text(reply_text_.data(), size);

  const int command = link->current_command;
  if (command >= 0 && command < cmd::kFreeForm) {
    InterpretControlUnit(command, text, *link, channel);
  } else if (command >= cmd::kFirstRecorderCommand && command <= cmd::kLastReadCommand) {
    if (KrParams* recorder = data_.Recorder(link->target_recorder)) {
      InterpretRecorder(command, text, *recorder, *link, channel);
    }
  }
}

void ReplyReceiver::InterpretControlUnit(int command, std::string_view text, LinkChannel&,
                                         std::uint16_t channel) {
  HcuInfo& h = data_.hcu;
  switch (command) {
    // clang-format off
    case 0: SetInt(h.LL, text); break;
    case 2: SetInt(h.NC, text); h.NC.value = std::clamp(h.NC.value, 0, kMaxRecorders); break;
    case 12: SetInt(h.QT, text); break;
    case 18: SetInt(h.QV, text); break;
    case 28: SetInt(h.RS, text); break;
    case 39: SetInt(h.XT, text); break;
    case 40: SetInt(h.XD, text); break;
    case 41: SetInt(h.QO, text); break;
    case 44: SetInt(h.XW, text); break;
    case 45: SetInt(h.QI, text); break;
    case 46: SetInt(h.QG, text); break;
    case 4: SetList(h.NF, text); break;
    case 21: SetList(h.NV, text); break;
    case 24: SetList(h.NZ, text); break;
    case 25: SetList(h.NM, text); break;
    case 26: SetList(h.NH, text); break;
    case 27: SetList(h.NL, text); break;
    case 29: SetList(h.XC, text); break;
    case 30: SetList(h.QC, text); break;
    case 31: SetList(h.QN, text); break;
    case 33: SetList(h.QZ, text); break;
    case 38: SetList(h.NK, text); break;
    case 42: SetList(h.QJ, text); break;
    case 43: SetList(h.QK, text); break;
    case 32: SetDecimal(h.XP, text); break;
    case 16: SetText(h.NP, text); break;
    case 17: SetText(h.QB, text); break;
    case 19: SetText(h.ND, text); break;
    case 20: SetText(h.NT, text); break;
    case 34: SetText(h.QL1, text); break;
    case 35: SetText(h.QL2, text); break;
    case 36: SetText(h.XR, text); break;
    case 5: SetChar(h.NS, text); break;
    case 15: SetChar(h.NQ, text); break;
    case 22: SetChar(h.NO, text); break;
    case 23: SetChar(h.NX, text); break;
    case 37: SetChar(h.XH, text); break;
    case 11: SetFormatted(h.QP, text, ",:"); break;
    // clang-format on
    case 3:
    case 6:
    case 7:
    case 9:
    case 10:
    case 14:
      InterpretStatus(command, text);
      break;
    case 8:
      InterpretAlarms(text);
      break;
    case 1: {
      const std::string name(text.substr(0, 7));
      h.NN.value = name;
      if (name != "HCU4100" && name != "MKR4100") {
        link_.TraceError(TraceText("<Wrong HCU device name %s>", name.c_str()), channel);
      }
      break;
    }
    default:
      break;  // commands whose reply the PC does not keep (LP of the control unit)
  }
}

void ReplyReceiver::InterpretRecorder(int command, std::string_view text, KrParams& k, LinkChannel& link,
                                      std::uint16_t channel) {
  switch (command) {
    // clang-format off
    case 77: SetInt(k.SW, text); break;
    case 78: SetInt(k.AW, text); break;
    case 79: SetInt(k.HW, text); break;
    case 80: SetInt(k.CW, text); break;
    case 81: SetInt(k.BW, text); break;
    case 82: SetInt(k.MW, text); break;
    case 83: SetInt(k.SM, text); break;
    case 84: SetInt(k.AM, text); break;
    case 85: SetInt(k.HM, text); break;
    case 86: SetInt(k.CM, text); break;
    case 87: SetInt(k.BM, text); break;
    case 88: SetInt(k.MM, text); break;
    case 95: SetInt(k.FW, text); break;
    case 96: SetInt(k.FE, text); break;
    case 97: SetInt(k.MU, text); break;
    case 102: SetInt(k.SO, text); break;
    case 107: SetInt(k.AH, text); break;
    case 110: SetInt(k.ME, text); break;
    case 115: SetInt(k.FR, text); break;
    case 123: SetInt(k.WL, text); break;
    case 124: SetInt(k.TN, text); break;
    case 125: SetInt(k.IA, text); break;
    case 126: SetInt(k.IR, text); break;
    case 127: SetInt(k.IH, text); break;
    case 133: SetInt(k.TE, text); break;
    case 134: SetInt(k.TC, text); break;
    case 135: SetInt(k.TO, text); break;
    case 137: SetInt(k.TX, text); break;
    case 138: SetInt(k.TY, text); break;
    case 139: SetInt(k.TZ, text); break;
    case 140: SetInt(k.TM, text); break;
    case 141: SetInt(k.TT, text); break;
    case 142: SetInt(k.AA, text); break;
    case 143: SetInt(k.AB, text); break;
    case 144: SetInt(k.AC, text); break;
    case 145: SetInt(k.AX, text); break;
    case 146: SetInt(k.AY, text); break;
    case 147: SetInt(k.AZ, text); break;
    case 149: SetInt(k.AT, text); break;
    case 151: SetInt(k.TW, text); break;
    case 152: SetInt(k.TL, text); break;
    case 153: SetInt(k.TI, text); break;
    case 154: SetInt(k.TD, text); break;
    case 156: SetInt(k.RS, text); break;
    case 157: SetInt(k.RT, text); break;
    case 164: SetInt(k.DM, text); break;
    case 168: SetInt(k.PE, text); break;
    case 169: SetInt(k.ZD, text); break;
    case 171: SetInt(k.ZC, text); break;
    case 172: SetInt(k.TK, text); break;
    case 173: SetInt(k.TV, text); break;
    case 176: SetInt(k.FS, text); break;
    case 177: SetInt(k.FD, text); break;
    case 179: SetInt(k.FT, text); break;
    case 187: SetInt(k.TF, text); break;
    case 193: SetInt(k.FG, text); break;
    case 204: SetInt(k.TQ, text); break;
    case 208: SetInt(k.FO, text); break;
    case 74: SetList(k.IE, text); break;
    case 103: SetList(k.AL, text); break;
    case 105: SetList(k.AD, text); break;
    case 108: SetList(k.AP, text); break;
    case 109: SetList(k.AJ, text); break;
    case 131: SetList(k.ID, text); break;
    case 132: SetList(k.ZX, text); break;
    case 136: SetList(k.TR, text); break;
    case 148: SetList(k.AR, text); break;
    case 150: SetList(k.AQ, text); break;
    case 165: SetList(k.PC, text); break;
    case 174: SetList(k.FM, text); k.memory_status.assign(kr::Trim(text)); break;
    case 175: SetList(k.FV, text); break;
    case 180: SetList(k.AV, text); break;
    case 182: SetList(k.FF, text); k.files_status.assign(kr::Trim(text)); break;
    case 188: SetList(k.TP, text); break;
    case 189: SetList(k.TG, text); break;
    case 190: SetList(k.AO, text); break;
    case 191: SetList(k.AK1, text); break;
    case 192: SetList(k.AK2, text); break;
    case 194: SetList(k.FL, text); break;
    case 199: SetList(k.IG, text); break;
    case 201: SetList(k.SA, text); break;
    case 202: SetList(k.IO, text); break;
    case 206: SetList(k.MX, text); break;
    case 207: SetList(k.TJ, text); break;
    case 209: SetList(k.FA, text); break;
    case 210: SetList(k.PS, text); break;
    case 211: SetList(k.SI, text); break;
    case 212: SetList(k.AU, text); break;
    case 114: SetDecimal(k.TA, text); break;
    case 118: SetDecimal(k.BP, text); break;
    case 119: SetDecimal(k.BB, text); break;
    case 121: SetDecimal(k.BI, text); break;
    case 130: SetDecimal(k.IL, text); break;
    case 166: SetDecimal(k.PL, text); break;
    case 167: SetDecimal(k.PO, text); break;
    case 76: SetText(k.IN, text); break;
    case 99: SetText(k.IB, text); break;
    case 100: SetText(k.RR, text); break;
    case 104: SetText(k.AE, text); break;
    case 106: SetText(k.AG, text); break;
    case 111: SetText(k.IS, text); break;
    case 112: SetText(k.IT, text); break;
    case 113: SetText(k.AS, text); break;
    case 116: SetText(k.IP, text); break;
    case 117: SetText(k.IF, text); break;
    case 120: SetText(k.BC, text); break;
    case 122: SetText(k.WS, text); break;
    case 128: SetText(k.IC, text); break;
    case 129: SetText(k.IU, text); break;
    case 155: SetText(k.PR, text); break;
    case 159: SetText(k.CT, text); break;
    case 160: SetText(k.CD, text); break;
    case 161: SetText(k.DT, text); break;
    case 162: SetText(k.DD, text); break;
    case 195: SetText(k.SC, text); break;
    case 196: SetText(k.TS, text); break;
    case 197: SetText(k.PT, text); break;
    case 198: SetText(k.PH, text); break;
    case 203: SetText(k.TU, text); break;
    case 205: SetText(k.MQ, text); break;
    case 98: SetFormatted(k.MS, text, ","); break;
    case 178: SetFormatted(k.FC, text, ":"); break;
    // clang-format on
    default:
      InterpretSpecialRecorderReply(command, text, k, link, channel);
      break;
  }
}

// Replies with rules of their own: checks, derived values, the directory, the event values.
void ReplyReceiver::InterpretSpecialRecorderReply(int command, std::string_view text, KrParams& k,
                                                  LinkChannel& link, std::uint16_t channel) {
  switch (command) {
    case 89:
    case 90:
    case 91:
    case 92:
    case 93:
    case 94: {
      // The status word: its low and high 16 bits are the two result words of the slot.
      ParamList<2>* lists[] = {&k.SF, &k.AF, &k.HF, &k.CF, &k.BF, &k.MF};
      ParamList<2>& list = *lists[command - 89];
      const auto word = static_cast<std::uint32_t>(kr::LeadingInt(text));
      list[0].value = static_cast<int>(word & 0xFFFFu);
      list[1].value = static_cast<int>((word >> 16) & 0xFFFFu);
      list.count = 2;
      break;
    }
    case 73:
    case 186: {
      const int files = kr::LeadingInt(text);
      if (files < 0 || files > kMaxFiles) {
        // Kept out of the model: file numbers beyond 255 cannot be addressed.
        link_.TraceError(TraceText("<Illegal number of files %d>", files), channel);
        break;
      }
      (command == 73 ? k.MN : k.MB).value = files;
      break;
    }
    case 101:
      SetInt(k.IV, text);
      k.device_type = LookUpDeviceType(k.IN.value.empty() ? '\0' : k.IN.value[0], k.IV.value);
      break;
    case 181: {
      // The password goes to the link record only.
      const std::string_view password = text.substr(0, kPasswordLength);
      kr::CopyTruncated(link.password, sizeof link.password, password);
      break;
    }
    case 75:
      InterpretDirectoryEntry(text, k, link);
      break;
    case 184:
      InterpretEventValues(text, k.MI, "Hz");
      break;
    case 185:
      InterpretEventValues(text, k.MJ, "mm/s");
      break;
    case 158:
      SetText(k.RH, kr::Trim(text).substr(0, 1));
      if (!k.Rh.changed) SetChar(k.Rh, k.RH.value);
      break;
    case 163:
      SetText(k.DS, kr::Trim(text).substr(0, 1));
      break;
    case 170:
      SetText(k.SY, kr::Trim(text).substr(0, 1));
      if (!k.Sy.changed) SetChar(k.Sy, k.SY.value);
      break;
    case 183:
      SetText(k.KR, kr::Trim(text));
      k.ring_memory = ReadsAsYes(text);
      break;
    case 200:
      SetText(k.MG, kr::Trim(text));
      k.mirror_enabled = ReadsAsYes(text);
      break;
    default:
      break;
  }
}

void ReplyReceiver::InterpretStatus(int command, std::string_view text) {
  HcuInfo& h = data_.hcu;
  const int recorders = h.NC.value > 0 ? h.NC.value : kMaxRecorders;
  const std::size_t count =
      std::min(text.size(), static_cast<std::size_t>(std::clamp(recorders, 0, kMaxRecorders)));
  for (std::size_t i = 0; i < count; ++i) {
    const char c = text[i];
    HcuRecorderStatus& r = h.recorders[i];
    if (c == 'N') {
      r.offline = false;
    } else if (c == 'O') {
      r.offline = true;
      h.recorder_offline_counters[i].Increment();
    }
    StatusFlag* flag = nullptr;
    switch (command) {
      case 3:
        flag = &r.NR;
        break;
      case 6:
        flag = &r.QX;
        break;
      case 7:
        flag = &r.QY;
        break;
      case 14:
        flag = &r.NY;
        break;
      case 9:
        flag = &r.NW;
        break;
      default:
        flag = &r.NE;
        break;
    }
    flag->previous = flag->current;
    flag->current = c == 'Y';
    if (command == 9 || command == 10) {
      if (!flag->current) continue;
      if (!r.offline) flag->latched = std::max(flag->latched, 1);
      if (context_.priority_option) r.priority = std::max(r.priority, command == 9 ? 3 : 4);
    } else {
      flag->latched = std::max(flag->latched, flag->current ? 1 : 0);
    }
  }
}

// QW: "%u;%u;%u,%u,%u,%u,%u,%u,%u,%u", two bit masks and then eight 0/1 values.
void ReplyReceiver::InterpretAlarms(std::string_view text) {
  HcuInfo& h = data_.hcu;
  int values[10] = {};
  const int count = ReadFormatted(text, ";,", values, 10);
  if (count < 2) return;
  h.QW.masks = {static_cast<std::uint32_t>(values[0]), static_cast<std::uint32_t>(values[1])};
  h.alarm_flags = {};
  for (int i = 0; i < 8; ++i) {
    const int value = i + 2 < count ? values[i + 2] : 0;
    h.QW.values[static_cast<std::size_t>(i)] = value;
    if (value != 1) continue;
    if ((h.QW.masks[1] >> i) & 1u) {
      h.alarm_flags[0] = true;
    } else if ((h.QW.masks[0] >> i) & 1u) {
      h.alarm_flags[1] = true;
    }
  }
}

void ReplyReceiver::InterpretDirectoryEntry(std::string_view text, KrParams& k, LinkChannel& link) {
  const int file = link.file_number;
  if (file < 1 || file > kDirectorySlots) return;
  DirectoryEntryOptions options;
  options.model_letter = k.IN.value.empty() ? '\0' : k.IN.value[0];
  options.us_date_format = context_.us_date_format;
  options.local_time_correction = context_.local_time_correction;
  options.correction = context_.local_correction_value;
  options.current_year = clock_.LocalNow().year;
  DirectoryEntry& entry = k.directory[static_cast<std::size_t>(file - 1)];
  entry = ParseDirectoryEntry(text, options);
  data_.more_directory_entries = std::toupper(static_cast<unsigned char>(entry.type_letter)) == 'Y';
  if (k.directory_entries_read < k.MN.value) ++k.directory_entries_read;
  // Downloads address their files themselves; every other reader walks the directory downwards.
  const DownloadPurpose purpose = context_.download_purpose;
  if (purpose == DownloadPurpose::kNone || purpose == DownloadPurpose::kControlPanel)
    link.file_number = PreviousFileNumber(file);
}

void ReplyReceiver::InterpretEventValues(std::string_view text, EventValues& values,
                                         const char* default_unit) {
  // The values' strings keep their storage from one reply to the next.
  for (EventValue& value : values.values) {
    value.kind = EventValue::Kind::kText;
    value.value = 0;
    value.text.clear();
    value.unit.clear();
    value.display.clear();
  }
  values.count = 0;
  std::string_view rest = text;
  while (values.count < kEventValueCount && !kr::Trim(rest).empty()) {
    const std::size_t comma = rest.find(',');
    std::string_view field = kr::Trim(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);

    EventValue& value = values.values[static_cast<std::size_t>(values.count++)];
    // "12.5", "12.5 Hz", "<0.5", "--- Hz": an optional unit after a blank.
    const std::size_t blank = field.find(' ');
    if (blank == std::string_view::npos) {
      value.unit.assign(default_unit);
    } else {
      value.unit.assign(kr::Trim(field.substr(blank + 1)));
    }
    const std::string_view number = field.substr(0, blank);
    value.text.assign(number);
    char display[96];
    const std::optional<double> below =
        number.starts_with('<') ? kr::LeadingDecimal(number.substr(1)) : std::nullopt;
    const std::optional<double> plain = kr::LeadingDecimal(number);
    if (below) {
      value.kind = EventValue::Kind::kBelow;
      value.value = *below;
      std::snprintf(display, sizeof display, "< %0.1lf %s", value.value, value.unit.c_str());
    } else if (plain) {
      value.kind = EventValue::Kind::kNumber;
      value.value = *plain;
      std::snprintf(display, sizeof display, "%0.1lf %s", value.value, value.unit.c_str());
    } else {
      std::snprintf(display, sizeof display, "%s %s", value.text.c_str(), value.unit.c_str());
    }
    value.display.assign(display);
  }
}

}  // namespace tarvik
