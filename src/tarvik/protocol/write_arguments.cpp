#include "tarvik/protocol/write_arguments.h"

#include <algorithm>

#include "tarvik/protocol/command_table.h"

namespace tarvik {

void ArgumentPlan::Consume(bool& flag) {
  if (flag_count_ < static_cast<int>(flags_.size())) flags_[static_cast<size_t>(flag_count_++)] = &flag;
}

void ArgumentPlan::MoveCursor(int item_cursor, int sub_cursor) {
  moves_cursor_ = true;
  item_cursor_ = item_cursor;
  sub_cursor_ = sub_cursor;
}

void ArgumentPlan::Commit(LinkChannel& link) const {
  for (int i = 0; i < flag_count_; ++i) *flags_[static_cast<size_t>(i)] = false;
  if (moves_cursor_) {
    link.item_cursor = item_cursor_;
    link.item_sub_cursor = sub_cursor_;
  }
}

namespace {

// The PC clock may be sent only in this part of a second: the frame then reaches the unit close to
// the full second it names.
constexpr int kClockWindowFirstMs = 901;
constexpr int kClockWindowLastMs = 989;

using Outcome = ArgumentOutcome;

class ArgumentBuilder {
 public:
  ArgumentBuilder(int command, const ArgumentSources& sources, KrParams* recorder, LinkChannel& link,
                  bool resend, FrameWriter& frame, ArgumentPlan& plan)
      : command_(command),
        hcu_(sources.data.hcu),
        context_(sources.context),
        clock_(sources.clock),
        kr_(recorder),
        link_(link),
        resend_(resend),
        frame_(frame),
        plan_(plan) {}

  Outcome Build();

 private:
  Outcome ControlUnit(int command);
  Outcome Recorder(int command, KrParams& kr);

  // A value whose flag is clear is not sent (unless this repeats a failed attempt).
  bool Wanted(const bool& flag) const { return flag || resend_; }

  Outcome Int(Param<int>& param, const char* format = "%d") {
    if (!Wanted(param.changed)) return Outcome::kSkip;
    frame_.Printf(format, param.value);
    plan_.Consume(param.changed);
    return Outcome::kSend;
  }

  Outcome Char(Param<char>& param) {
    if (!Wanted(param.changed)) return Outcome::kSkip;
    frame_.AppendByte(static_cast<std::uint8_t>(param.value));
    plan_.Consume(param.changed);
    return Outcome::kSend;
  }

  // "%S": the text narrowed to 8 bits.
  Outcome Text(Param<std::string>& param) {
    if (!Wanted(param.changed)) return Outcome::kSkip;
    frame_.AppendNarrowed(param.value);
    plan_.Consume(param.changed);
    return Outcome::kSend;
  }

  // "%.4lf", with "." as the point whatever the locale.
  Outcome Decimal(Param<double>& param) {
    if (!Wanted(param.changed)) return Outcome::kSkip;
    frame_.AppendFixed4(param.value);
    plan_.Consume(param.changed);
    return Outcome::kSend;
  }

  // Several values sent together in one frame when any of them changed.
  template <std::size_t N, typename Format>
  Outcome Record(ParamList<N>& list, std::size_t first, std::size_t end, Format format) {
    if (!list.AnyChanged(first, end) && !resend_) return Outcome::kSkip;
    format();
    for (std::size_t i = first; i < end; ++i) plan_.Consume(list[i].changed);
    return Outcome::kSend;
  }

  // One changed item per frame: `changed(i)` tells whether item i is to be sent, `send(i)` appends
  // it and consumes its flags. Items with sub-records count flat (sub-record x items + item), and
  // the sub-cursor names the sub-record of the item sent.
  template <typename Changed, typename Send>
  Outcome Items(int count, Changed changed, Send send, int items_per_sub_record = 0) {
    // A cursor left by another write (one the engine gave up) must not make this one start midway.
    const int cursor = command_ == link_.current_command ? link_.item_cursor : 0;
    int position = -1;
    if (resend_ && cursor > 0 && cursor <= count) {
      position = cursor - 1;
    } else {
      for (int i = std::max(cursor, 0); i < count; ++i) {
        if (changed(i)) {
          position = i;
          break;
        }
      }
    }
    if (position < 0) {
      link_.item_cursor = 0;
      link_.item_sub_cursor = 0;
      return Outcome::kSkip;
    }
    send(position);
    plan_.MoveCursor(position + 1, items_per_sub_record > 0 ? position / items_per_sub_record : 0);
    return Outcome::kSend;
  }

  // Items of a list of integers, "%1d%d" or with a fixed digit between, "%1d%1d%d".
  template <std::size_t N>
  Outcome ListItems(ParamList<N>& list, int count, int item_base, int fixed_digit = -1) {
    return Items(
        count, [&](int i) { return list[static_cast<size_t>(i)].changed; },
        [&](int i) {
          Param<int>& item = list[static_cast<size_t>(i)];
          if (fixed_digit < 0) {
            frame_.Printf("%1d%d", i + item_base, item.value);
          } else {
            frame_.Printf("%1d%1d%d", i + item_base, fixed_digit, item.value);
          }
          plan_.Consume(item.changed);
        });
  }

  // "%1d%s": item number and text.
  template <std::size_t N>
  Outcome TextItems(std::array<Param<std::string>, N>& texts) {
    return Items(
        static_cast<int>(N), [&](int i) { return texts[static_cast<size_t>(i)].changed; },
        [&](int i) {
          frame_.Printf("%1d", i);
          frame_.AppendNarrowed(texts[static_cast<size_t>(i)].value);
          plan_.Consume(texts[static_cast<size_t>(i)].changed);
        });
  }

  // "%1d%1d%d": item 1-3, sub-record, value.
  template <std::size_t S>
  Outcome SubRecordItems(std::array<std::array<Param<int>, 3>, S>& records) {
    auto at = [&](int flat) -> Param<int>& {
      return records[static_cast<size_t>(flat / 3)][static_cast<size_t>(flat % 3)];
    };
    return Items(
        static_cast<int>(S) * 3, [&](int i) { return at(i).changed; },
        [&](int i) {
          frame_.Printf("%1d%1d%d", i % 3 + 1, i / 3, at(i).value);
          plan_.Consume(at(i).changed);
        },
        3);
  }

  // The PC's clock as "%H:%M:%S".
  Outcome ClockTime(bool& pending) {
    if (!Wanted(pending)) return Outcome::kSkip;
    const kr::DateTime now = clock_.LocalNow();
    if (now.millisecond < kClockWindowFirstMs || now.millisecond > kClockWindowLastMs)
      return Outcome::kNotNow;
    int seconds = (now.hour * 60 + now.minute) * 60 + now.second;
    if (now.millisecond > 500) seconds = (seconds + 1) % (24 * 3600);
    frame_.Printf("%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    plan_.Consume(pending);
    return Outcome::kSend;
  }

  // The PC's date as "%d.%m.%y".
  Outcome ClockDate(bool& pending) {
    if (!Wanted(pending)) return Outcome::kSkip;
    const kr::DateTime now = clock_.LocalNow();
    frame_.Printf("%02d.%02d.%02d", now.day, now.month, now.year % 100);
    plan_.Consume(pending);
    return Outcome::kSend;
  }

  int command_;
  HcuInfo& hcu_;
  ProtocolContext& context_;
  const kr::Clock& clock_;
  KrParams* kr_;
  LinkChannel& link_;
  bool resend_;
  FrameWriter& frame_;
  ArgumentPlan& plan_;
};

Outcome ArgumentBuilder::Build() {
  if (command_ < cmd::kFirstRecorderCommand) return ControlUnit(command_);
  if (command_ < cmd::kFirstWriteCommand) return Outcome::kSend;  // reads carry no arguments
  if (kr_ == nullptr) return Outcome::kSkip;
  return Recorder(command_, *kr_);
}

Outcome ArgumentBuilder::ControlUnit(int command) {
  switch (command) {
    case 49:  // Nt
      return ClockTime(hcu_.time_setting_pending);
    case 50:  // Nd
      return ClockDate(hcu_.date_setting_pending);
    case 51:  // No
      return Char(hcu_.NO);
    case 52:  // Nx
      return Char(hcu_.NX);
    case 53:  // Nm: combination 01-16 and its recorder mask
      return Items(
          16, [&](int i) { return hcu_.NM[static_cast<size_t>(i)].changed; },
          [&](int i) {
            frame_.Printf("%2.2d%d", i + 1, hcu_.NM.Value(static_cast<size_t>(i)));
            plan_.Consume(hcu_.NM[static_cast<size_t>(i)].changed);
          });
    case 54:  // Nh
      return Items(
          16, [&](int i) { return hcu_.NH[static_cast<size_t>(i)].changed; },
          [&](int i) {
            frame_.Printf("%2.2d%d", i + 1, hcu_.NH.Value(static_cast<size_t>(i)));
            plan_.Consume(hcu_.NH[static_cast<size_t>(i)].changed);
          });
    case 55:  // Nl
      return Items(
          16, [&](int i) { return hcu_.NL[static_cast<size_t>(i)].changed; },
          [&](int i) {
            frame_.Printf("%2.2d%d", i + 1, hcu_.NL.Value(static_cast<size_t>(i)));
            plan_.Consume(hcu_.NL[static_cast<size_t>(i)].changed);
          });
    case 56:  // Rs: the control unit's baud rate
      return Int(hcu_.RS);
    case 57:  // Qn: two values of the target recorder
      if (kr_ == nullptr) return Outcome::kSkip;
      return Record(kr_->Qn, 0, 2, [&] { frame_.Printf("%d,%d", kr_->Qn.Value(0), kr_->Qn.Value(1)); });
    case 58:  // Nz: relay 1-3 and its holding time
      return ListItems(hcu_.NZ, 3, 1);
    case 60:  // Qp: days, then hours, minutes and seconds
      return Record(hcu_.QP, 0, 4, [&] {
        frame_.Printf("%3.3d,%2.2d:%2.2d:%2.2d", hcu_.QP.Value(0), hcu_.QP.Value(1), hcu_.QP.Value(2),
                      hcu_.QP.Value(3));
      });
    default:
      return Outcome::kSend;  // no arguments
  }
}

Outcome ArgumentBuilder::Recorder(int command, KrParams& kr) {
  switch (command) {
    case 213:  // Ad: "%1d%1d%s", recipient 0-7, its send-using digit and its number
      return Items(
          8, [&](int i) { return kr.Ad[static_cast<size_t>(i)].changed; },
          [&](int i) {
            Param<PhonebookEntry>& entry = kr.Ad[static_cast<size_t>(i)];
            frame_.Printf("%1d%1d", i, entry.value.choice);
            frame_.AppendNarrowed(entry.value.number);
            plan_.Consume(entry.changed);
          });
    case 214:  // Ag
      return TextItems(kr.Ag);
    case 215:  // Ae
      return TextItems(kr.Ae);
    case 274:  // Tu
      return TextItems(kr.Tu);
    case 216:  // Al: item 0-7 and its pair of values
      return Items(
          8,
          [&](int i) { return kr.AL.AnyChanged(static_cast<size_t>(2 * i), static_cast<size_t>(2 * i + 2)); },
          [&](int i) {
            const auto first = static_cast<size_t>(2 * i);
            frame_.Printf("%1d%3.3d%3.3d", i, kr.AL.Value(first), kr.AL.Value(first + 1));
            plan_.Consume(kr.AL[first].changed);
            plan_.Consume(kr.AL[first + 1].changed);
          });
    case 217:  // Ah
      return Int(kr.AH, "%1d");
    case 218:  // Ap: the five fields of one record
      return Record(kr.AP, 0, 5, [&] {
        frame_.Printf("%3.3d%2.2d%1.1d%2.2d%5.5d", kr.AP.Value(0), kr.AP.Value(1), kr.AP.Value(2),
                      kr.AP.Value(3), kr.AP.Value(4));
      });
    case 219:  // Aj
      return ListItems(kr.AJ, 5, 0);
    case 265:  // Tg
      return ListItems(kr.TG, 3, 0);
    case 232:  // Ar
      return ListItems(kr.AR, 3, 0, 1);
    case 264:  // Tp
      return ListItems(kr.TP, 3, 0, 1);
    case 272:  // Ak1
      return ListItems(kr.AK1, 3, 0, 0);
    case 273:  // Ak2
      return ListItems(kr.AK2, 3, 0, 0);
    case 261:  // Tr
      return ListItems(kr.TR, 3, 0, 0);
    case 233:  // Aq
      return Record(kr.AQ, 0, 2, [&] { frame_.Printf("%2.2d,%2.2d", kr.AQ.Value(0), kr.AQ.Value(1)); });
    case 241:  // Pr
      return Text(kr.PR);
    case 258:  // Fc
      return Text(kr.Fc);
    case 242:  // Rs: the recorder's baud rate
      return Int(kr.RS);
    case 259:  // Ft
      return Int(kr.FT);
    case 275:  // Tq
      return Int(kr.TQ);
    case 278:  // Mx1
      return Int(kr.Mx1);
    case 243:  // Rh
      return Char(kr.Rh);
    case 250:  // Sy
      return Char(kr.Sy);
    case 269:  // Ao0
      return Char(kr.Ao0);
    case 245:  // Pc
      return Record(kr.PC, 0, 2, [&] { frame_.Printf("%4.4d%2.2d", kr.PC.Value(0), kr.PC.Value(1)); });
    case 246:  // Pl
      return Decimal(kr.PL);
    case 247:  // Po
      return Decimal(kr.PO);
    case 251:  // Zc
      if (!Wanted(kr.Zc.changed)) return Outcome::kSkip;
      frame_.Printf("%d%c", kr.Zc.value.number, kr.Zc.value.letter);
      plan_.Consume(kr.Zc.changed);
      return Outcome::kSend;
    case 252:  // Ct
      return ClockTime(kr.time_setting_pending);
    case 253:  // Cd
      return ClockDate(kr.date_setting_pending);
    case 280:  // Si
      return SubRecordItems(kr.Si);
    case 281:  // Au
      return SubRecordItems(kr.Au);
    case 295:  // Mo: one event per frame
      return Items(
          static_cast<int>(kr.Mo.size()), [&](int i) { return kr.Mo[static_cast<size_t>(i)].changed; },
          [&](int i) {
            frame_.Printf("%d", kr.Mo[static_cast<size_t>(i)].value);
            plan_.Consume(kr.Mo[static_cast<size_t>(i)].changed);
          });
    case 221:
      return Int(kr.TE);
    case 222:
      return Int(kr.TO);
    case 223:
      return Int(kr.TX);
    case 224:
      return Int(kr.TY);
    case 225:
      return Int(kr.TZ);
    case 226:
      return Int(kr.AA);
    case 227:
      return Int(kr.AB);
    case 228:
      return Int(kr.AC);
    case 229:
      return Int(kr.AX);
    case 230:
      return Int(kr.AY);
    case 231:
      return Int(kr.AZ);
    case 234:
      return Int(kr.TM);
    case 235:
      return Int(kr.TT);
    case 236:
      return Int(kr.AT);
    case 237:
      return Int(kr.TW);
    case 238:
      return Int(kr.TI);
    case 239:
      return Int(kr.TD);
    case 240:
      return Int(kr.TL);
    case 248:
      return Int(kr.PE);
    case 249:
      return Int(kr.ZD);
    case 255:
      return Int(kr.TK);
    case 256:
      return Int(kr.TV);
    case 257:
      return Int(kr.FD);
    case 263:
      return Int(kr.TF);
    case 266:
      return Int(kr.IR);
    case 270:
      return Int(kr.Ao1);
    case 271:
      return Int(kr.Ao2);
    case 284: {  // Fi: commits touched settings, on the types that need it
      const DeviceType* type = DeviceTypeAt(kr.device_type);
      if (type == nullptr || !type->AllowsCommit() || !Wanted(context_.settings_touched))
        return Outcome::kSkip;
      plan_.Consume(context_.settings_touched);
      return Outcome::kSend;
    }
    case 276:  // Mg
      if (!Wanted(kr.mg_requested)) return Outcome::kSkip;
      plan_.Consume(kr.mg_requested);
      return Outcome::kSend;
    case 279:  // Kr
      if (!Wanted(kr.kr_requested)) return Outcome::kSkip;
      plan_.Consume(kr.kr_requested);
      return Outcome::kSend;
    default:
      return Outcome::kSend;  // file number or password only, or no arguments
  }
}

}  // namespace

ArgumentOutcome AppendArguments(int command, const ArgumentSources& sources, KrParams* recorder,
                                LinkChannel& link, bool resend, FrameWriter& frame, ArgumentPlan& plan) {
  ArgumentBuilder builder(command, sources, recorder, link, resend, frame, plan);
  return builder.Build();
}

}  // namespace tarvik
