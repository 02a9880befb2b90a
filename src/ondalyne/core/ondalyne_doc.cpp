#include "ondalyne/core/ondalyne_doc.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>

#include "krcommon/event_bytes.h"
#include "krcommon/event_time.h"
#include "krcommon/event_values.h"
#include "ondalyne/resources/ondalyne_strings.h"

namespace ondalyne {

namespace {

using F = kr::HeaderField;

constexpr F kUnitFields[3] = {F::ch_units_x, F::ch_units_y, F::ch_units_z};
constexpr F kTriggerS[3] = {F::trig_level_x, F::trig_level_y, F::trig_level_z};
constexpr F kTriggerX[3] = {F::x_trigger_x, F::x_trigger_y, F::x_trigger_z};
constexpr std::size_t kBlockSize = 256;
constexpr std::size_t kRecordStart = 8;
constexpr std::size_t kBlockCountByte = 255;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool EndsWith(const std::string& text, const char* tail) {
  std::size_t n = std::strlen(tail);
  return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

const char* ModelForKind(int kind) {
  if (kind == 1) return "SKR4100";
  if (kind == 3 || kind == 5) return "XKR4100";
  return "CKR4100";
}

std::int32_t ReadI16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}
std::int32_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::int32_t>(p[0] | (p[1] << 8));
}
std::int32_t ReadI24(const std::uint8_t* p) {
  std::uint32_t raw = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                      (static_cast<std::uint32_t>(p[2]) << 16);
  return static_cast<std::int32_t>(raw << 8) >> 8;
}

}  // namespace

// Where the bytes after the header come from: a file read in one sequential pass, or memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to n bytes; fewer only at the end of the data.
  virtual std::size_t Read(std::uint8_t* target, std::size_t n) = 0;
  // Bytes not yet read, as far as known before reading them.
  virtual std::uint64_t Remaining() const = 0;
};

namespace {

class SpanSource final : public ByteSource {
 public:
  explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::size_t Read(std::uint8_t* target, std::size_t n) override {
    n = std::min(n, bytes_.size() - position_);
    if (n > 0) std::memcpy(target, bytes_.data() + position_, n);
    position_ += n;
    return n;
  }
  std::uint64_t Remaining() const override { return bytes_.size() - position_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

class FileSource final : public ByteSource {
 public:
  FileSource(std::FILE* file, std::uint64_t size) : file_(file), remaining_(size) {}
  std::size_t Read(std::uint8_t* target, std::size_t n) override {
    const std::size_t got = std::fread(target, 1, n, file_);
    remaining_ -= std::min<std::uint64_t>(remaining_, got);
    return got;
  }
  std::uint64_t Remaining() const override { return remaining_; }

 private:
  std::FILE* file_;
  std::uint64_t remaining_;
};

}  // namespace

int KindFromFileName(const std::string& file_name) {
  std::string upper = Upper(file_name);
  if (EndsWith(upper, "XKR")) return 3;
  if (EndsWith(upper, "VMX")) return 4;
  if (EndsWith(upper, "BKR")) return 5;
  if (EndsWith(upper, "VKR")) return 2;
  return 1;
}

std::string MapUnit(const std::string& unit) {
  if (unit == "mm/s2") return "mm/s\u00b2";
  if (unit == "mm/s2*s") return "mm/s";
  return unit;
}

kr::EventHeader COndalyneDoc::Header() const {
  return kr::EventHeader(header_, kr::LayoutForKind(kind_ <= 0 ? 1 : kind_));
}

bool COndalyneDoc::IsKbFile() const {
  return IsInterval() && (recording_mode_ == 2 || recording_mode_ == 3 || recording_mode_ == 7);
}

double COndalyneDoc::Frequency(int channel, std::size_t i) const {
  if (i >= frequencies_.size()) return 0;
  const FrequencyPair& pair = frequencies_[i];
  auto xy = static_cast<std::uint32_t>(pair.xy);
  std::uint32_t tenths = channel == 0   ? (xy & 0xFFFF)
                         : channel == 1 ? (xy >> 16)
                                        : static_cast<std::uint32_t>(pair.z);
  return tenths / 10.0;
}

std::int32_t COndalyneDoc::Count(int channel, std::size_t i) const {
  auto c = static_cast<std::size_t>(channel);
  switch (kind_) {
    case 1:
    case 2:
    case 4:
      return ReadI16(skr_[i].bytes + 2 * c);
    case 3:
      return ReadI24(xkr_[i].bytes + 3 * c) + millivolt_correction_[c];
    case 5:
      return ReadU16(bkr_[i].bytes + 2 * c);
    default:
      return 0;
  }
}

void COndalyneDoc::Load(const std::filesystem::path& path, const kr::StringTable& strings,
                        const LoadOptions& options) {
  std::error_code ec;
  const std::uint64_t size = std::filesystem::file_size(path, ec);
  std::FILE* file = ec ? nullptr : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    LoadFrom(nullptr, path.filename().string(), strings, options);
  } else {
    FileSource source(file, size);
    LoadFrom(&source, path.filename().string(), strings, options);
    std::fclose(file);
  }
  path_ = path.string();
}

void COndalyneDoc::LoadBytes(std::span<const std::uint8_t> bytes, const std::string& file_name,
                             const kr::StringTable& strings, const LoadOptions& options) {
  SpanSource source(bytes);
  LoadFrom(&source, file_name, strings, options);
}

void COndalyneDoc::LoadFrom(ByteSource* source, const std::string& file_name, const kr::StringTable& strings,
                            const LoadOptions& options) {
  Clear();
  path_ = file_name;
  kind_ = KindFromFileName(file_name);
  kr::HeaderBytes header{};
  const bool whole_header = source != nullptr && source->Read(header.data(), header.size()) == header.size();
  if (!whole_header || !ReadHeader(header)) {
    Fail(strings);
    return;
  }
  MakeDateTexts(options);
  CheckKbUnits(strings);
  try {
    if (IsInterval()) {
      ReadIntervalBlocks(*source);
    } else {
      ReadFrames(*source);
    }
  } catch (const std::bad_alloc&) {
    AddMessage(sid::kOutOfMemory, strings.Text(sid::kOutOfMemory));
    Fail(strings);
    return;
  }
  FinishStatistics();
  if (count_ < expected_) {
    AddMessage(sid::kIncomplete,
               strings.Format(sid::kIncomplete, static_cast<int>(count_), static_cast<int>(expected_)));
  }
}

void COndalyneDoc::Clear() {
  *this = COndalyneDoc();
}

void COndalyneDoc::AddMessage(int id, std::string text) {
  last_error_ = text;
  messages_.push_back({id, std::move(text)});
}

void COndalyneDoc::Fail(const kr::StringTable& strings) {
  kind_ = 0;
  count_ = 0;
  skr_.clear();
  bkr_.clear();
  xkr_.clear();
  vector_sums_.clear();
  frequencies_.clear();
  AddMessage(sid::kUnknownFormat, strings.Text(sid::kUnknownFormat));
}

bool COndalyneDoc::ReadHeader(const kr::HeaderBytes& bytes) {
  header_ = bytes;
  const kr::EventHeader h = Header();
  const bool x_layout = h.layout() == kr::HeaderLayout::kX;

  const auto rate = h.Value(F::sampling);
  expected_ = static_cast<std::uint32_t>(h.Value(F::nb_samples));
  channels_in_file_ = static_cast<int>(h.Value(F::nb_channel));
  if (rate < 1 || rate > 10000 || expected_ == 0) return false;
  if (channels_in_file_ != 3 && channels_in_file_ != 6) return false;
  if (std::memcmp(header_.data() + 64, ModelForKind(kind_), 7) != 0) return false;

  firmware_ = kr::FirmwareVersion(kind_, header_);
  vm_sub_mode_ = static_cast<int>(h.RawByte(F::engg_mode));
  if (kind_ == 1) {
    recording_mode_ = 0;
  } else if (kind_ == 3 || kind_ == 2) {
    recording_mode_ = vm_sub_mode_;
  } else if (kind_ == 4) {
    recording_mode_ = firmware_ < 22060 ? vm_sub_mode_ : static_cast<int>(h.RawByte(F::recording_mode));
  } else {
    recording_mode_ = static_cast<int>(h.RawByte(F::recording_mode));
  }

  if (IsInterval()) {
    int interval = static_cast<int>(h.RawByte(F::len_period_vm));
    sampling_rate_ = 1.0 / (interval == 0 ? 30 : interval);
  } else {
    sampling_rate_ = static_cast<double>(rate);
  }
  pre_event_ = static_cast<int>(h.RawByte(F::prevent));

  scale_factors_ = kr::LsbVector(kind_, header_, false);
  const std::array<double, 3> level_factors = kr::LsbVector(kind_, header_, true);
  for (std::size_t c = 0; c < 3; ++c) {
    raw_units_[c] = std::string(h.Text(kUnitFields[c]));
    // Text() drops leading blanks only; trailing blanks go here.
    std::string unit = raw_units_[c];
    while (!unit.empty() && unit.back() == ' ') unit.pop_back();
    units_[c] = MapUnit(unit);
    double raw_level = static_cast<double>(h.Value(x_layout ? kTriggerX[c] : kTriggerS[c]));
    trigger_levels_[c] = raw_level * level_factors[c];
    if (kind_ == 3) {
      millivolt_[c] = kr::IsMillivoltChannel(h, static_cast<int>(c));
      millivolt_correction_[c] = kr::MillivoltCorrection(h, static_cast<int>(c));
    }
  }
  return true;
}

void COndalyneDoc::CheckKbUnits(const kr::StringTable& strings) {
  if (!IsKbFile()) return;
  static const char* kLetters[3] = {"X", "Y", "Z"};
  for (std::size_t c = 0; c < 3; ++c) {
    if (units_[c] == "mm/s") continue;
    AddMessage(sid::kKbUnit,
               strings.Format(sid::kKbUnit, std::string(kLetters[c]), std::string("mm/s"), units_[c]));
    return;
  }
}

void COndalyneDoc::MakeDateTexts(const LoadOptions& options) {
  const kr::EventHeader h = Header();
  auto field = [&](F f) { return static_cast<int>(h.Value(f)); };
  kr::DateTimeStyle style;
  style.us_format = options.us_date;

  // Trigger: the BCD fields plus, for waveforms, the sub-second position rounded to milliseconds.
  int milliseconds = 0;
  if (!IsInterval()) {
    // Multiplied before dividing, so that exact halves (1 of 2000) stay exact and round up.
    const double ms = static_cast<double>(h.Value(F::int_offset)) * 1000.0 / sampling_rate_;
    milliseconds = static_cast<int>(std::floor(ms + 0.5));
  }
  const int hour = field(F::int_hour), minute = field(F::int_minute), second = field(F::int_second);
  trigger_seconds_ = hour * 3600.0 + minute * 60.0 + second + milliseconds / 1000.0;
  start_seconds_ = trigger_seconds_ - pre_event_;

  std::optional<kr::DateTime> trigger;
  if (field(F::int_day) != 0 && field(F::int_month) != 0) {
    trigger = kr::MakeEventDateTime(field(F::int_year), field(F::int_month), field(F::int_day), hour, minute,
                                    second, options.current_year);
  }
  if (trigger) {
    kr::DateTime with_ms = kr::AddSeconds(*trigger, milliseconds / 1000);
    with_ms.millisecond = milliseconds % 1000;
    trigger_text_ = kr::FormatEventDateTime(with_ms, style);
    if (!IsInterval()) trigger_text_ += kr::FormatPrintf(".%03d", with_ms.millisecond);
    kr::DateTime start = kr::AddSeconds(*trigger, static_cast<std::int64_t>(std::floor(start_seconds_)) -
                                                      (hour * 3600 + minute * 60 + second));
    start.millisecond =
        static_cast<int>(std::lround((start_seconds_ - std::floor(start_seconds_)) * 1000)) % 1000;
    start_date_time_ = start;
    start_text_ = kr::FormatEventDateTime(start, style);
  } else if (hour < 24 && minute < 60 && second < 60) {
    kr::DateTime time_only;
    time_only.hour = hour;
    time_only.minute = minute;
    time_only.second = second;
    trigger_text_ = kr::FormatEventTime(time_only, style);
    if (!IsInterval()) trigger_text_ += kr::FormatPrintf(".%03d", milliseconds % 1000);
  }

  if (field(F::day_lost) != 0 && field(F::month_lost) != 0) {
    auto lost = kr::MakeEventDateTime(field(F::year_lost), field(F::month_lost), field(F::day_lost), 0, 0, 0,
                                      options.current_year);
    if (lost) power_loss_text_ = kr::FormatEventDate(*lost, options.us_date);
  }
  if (field(F::sync_day) != 0 && field(F::sync_month) != 0) {
    auto mark = kr::MakeEventDateTime(field(F::sync_year), field(F::sync_month), field(F::sync_day),
                                      field(F::sync_hour), field(F::sync_minute), field(F::sync_second),
                                      options.current_year);
    if (mark) time_mark_text_ = kr::FormatEventDateTime(*mark, style);
  }
}

void COndalyneDoc::ReadFrames(ByteSource& source) {
  const std::size_t width = kind_ == 3 ? 3 : 2;
  const std::size_t frame = width * static_cast<std::size_t>(channels_in_file_);
  const std::size_t available =
      static_cast<std::size_t>(std::min<std::uint64_t>(source.Remaining() / frame, expected_));
  std::size_t frames = available;
  const std::size_t used = 3 * width;
  // The array is sized once from what the file holds, so a hostile count reserves nothing extra.
  auto resize = [&](std::size_t n) -> std::uint8_t* {
    if (kind_ == 3) {
      xkr_.resize(n);
      return reinterpret_cast<std::uint8_t*>(xkr_.data());
    }
    skr_.resize(n);
    return reinterpret_cast<std::uint8_t*>(skr_.data());
  };
  std::uint8_t* target = resize(frames);
  if (frame == used) {
    // Frames of three channels are the array elements byte for byte: read straight into the array.
    frames = frames == 0 ? 0 : source.Read(target, frames * frame) / frame;
  } else {
    std::vector<std::uint8_t> chunk(4096 * frame);
    std::size_t done = 0;
    while (done < frames) {
      const std::size_t want = std::min<std::size_t>(4096, frames - done);
      const std::size_t got = source.Read(chunk.data(), want * frame) / frame;
      for (std::size_t i = 0; i < got; ++i)
        std::memcpy(target + (done + i) * used, chunk.data() + i * frame, used);
      done += got;
      if (got < want) break;
    }
    frames = done;
  }
  if (frames < available) target = resize(frames);
  count_ = static_cast<std::uint32_t>(frames);

  // Statistics in counts: the scale factors are never negative, so the extremes of the counts are
  // the extremes of the physical values.
  std::array<std::int32_t, 3> lo{INT32_MAX, INT32_MAX, INT32_MAX}, hi{INT32_MIN, INT32_MIN, INT32_MIN};
  std::array<std::int64_t, 3> sum{};
  auto scan = [&](auto read, std::size_t step) {
    const std::uint8_t* p = target;
    for (std::size_t i = 0; i < frames; ++i, p += step) {
      for (std::size_t c = 0; c < 3; ++c) {
        std::int32_t v = read(p + c * width);
        lo[c] = std::min(lo[c], v);
        hi[c] = std::max(hi[c], v);
        sum[c] += v;
      }
    }
  };
  if (kind_ == 3) {
    scan(ReadI24, used);
  } else {
    scan(ReadI16, used);
  }
  if (frames == 0) return;
  for (std::size_t c = 0; c < 3; ++c) {
    const double f = scale_factors_[c];
    const std::int64_t correction = millivolt_correction_[c];
    min_[c] = static_cast<double>(lo[c] + correction) * f;
    max_[c] = static_cast<double>(hi[c] + correction) * f;
    sum_[c] = static_cast<double>(sum[c] + correction * static_cast<std::int64_t>(frames)) * f;
  }
}

void COndalyneDoc::ReadIntervalBlocks(ByteSource& source) {
  const auto nch = static_cast<std::size_t>(channels_in_file_);
  std::size_t record = nch * 2;
  if (vm_sub_mode_ == 6) record += 6;
  if (vm_sub_mode_ == 7) record += nch * 2;
  const std::size_t per_block_max = (kBlockCountByte - kRecordStart) / record;
  // Bounded by the file: blocks without records may come between full ones.
  const auto blocks = static_cast<std::size_t>(source.Remaining() / kBlockSize);
  const std::size_t capacity = std::min<std::size_t>(expected_, blocks * per_block_max);
  if (kind_ == 4) {
    skr_.reserve(capacity);
  } else {
    bkr_.reserve(capacity);
  }
  if (vm_sub_mode_ == 6) vector_sums_.reserve(capacity);
  if (vm_sub_mode_ == 7) frequencies_.reserve(capacity);

  double factor_rms =
      std::sqrt((scale_factors_[0] * scale_factors_[0] + scale_factors_[1] * scale_factors_[1] +
                 scale_factors_[2] * scale_factors_[2]) /
                3.0);
  vector_sum_min_ = frequency_min_ = DBL_MAX;
  vector_sum_max_ = frequency_max_ = -DBL_MAX;
  const bool kb = IsKbFile();
  std::array<double, 3> lo{DBL_MAX, DBL_MAX, DBL_MAX}, hi{-DBL_MAX, -DBL_MAX, -DBL_MAX};

  for (std::size_t b = 0; b < blocks && count_ < expected_; ++b) {
    std::uint8_t block[kBlockSize];
    if (source.Read(block, kBlockSize) != kBlockSize) break;
    // A count larger than the block can hold is taken as what fits, never read past the block.
    std::size_t in_block = std::min<std::size_t>(block[kBlockCountByte], per_block_max);
    in_block = std::min<std::size_t>(in_block, expected_ - count_);
    for (std::size_t r = 0; r < in_block; ++r) {
      const std::uint8_t* p = block + kRecordStart + r * record;
      std::array<double, 3> values{};
      if (kind_ == 4) {
        C_skr_signal s;
        std::memcpy(s.bytes, p, 6);
        skr_.push_back(s);
        for (std::size_t c = 0; c < 3; ++c) values[c] = ReadI16(p + 2 * c) * scale_factors_[c];
      } else {
        C_bkr_signal s;
        std::memcpy(s.bytes, p, 6);
        bkr_.push_back(s);
        for (std::size_t c = 0; c < 3; ++c) values[c] = ReadU16(p + 2 * c) * scale_factors_[c];
      }
      const std::uint8_t* extra = p + nch * 2;
      if (vm_sub_mode_ == 6) {
        std::uint64_t squares = kr::ReadU48Le(std::span<const std::uint8_t>(extra, 6), 0);
        double vector_sum = std::sqrt(static_cast<double>(squares)) * factor_rms;
        vector_sums_.push_back(vector_sum);
        vector_sum_min_ = std::min(vector_sum_min_, vector_sum);
        vector_sum_max_ = std::max(vector_sum_max_, vector_sum);
      } else if (vm_sub_mode_ == 7) {
        std::array<std::int32_t, 3> tenths{ReadU16(extra), ReadU16(extra + 2), ReadU16(extra + 4)};
        for (std::int32_t t : tenths) {
          frequency_min_ = std::min(frequency_min_, t / 10.0);
          frequency_max_ = std::max(frequency_max_, t / 10.0);
        }
        frequencies_.push_back({static_cast<std::int32_t>(static_cast<std::uint32_t>(tenths[0]) |
                                                          (static_cast<std::uint32_t>(tenths[1]) << 16)),
                                tenths[2]});
      }
      for (std::size_t c = 0; c < 3; ++c) {
        lo[c] = std::min(lo[c], values[c]);
        hi[c] = std::max(hi[c], values[c]);
        sum_[c] += values[c];
        if (kb && values[c] > 0.1) kb_squares_[c] += values[c] * values[c];
      }
      ++count_;
    }
  }
  if (count_ > 0) {
    min_ = lo;
    max_ = hi;
  }
  if (vector_sums_.empty()) vector_sum_min_ = vector_sum_max_ = 0;
  if (frequencies_.empty()) frequency_min_ = frequency_max_ = 0;
}

void COndalyneDoc::FinishStatistics() {
  // Without a single sample there is nothing to average; the statistics stay 0 instead of the
  // start values of the search.
  if (count_ == 0) {
    min_ = max_ = mean_ = rms_ = {};
    overall_min_ = overall_max_ = 0;
    return;
  }
  for (std::size_t c = 0; c < 3; ++c) {
    mean_[c] = sum_[c] / count_;
    rms_[c] = IsKbFile() ? std::sqrt(kb_squares_[c] / count_) : 0.0;
  }
  overall_max_ = std::max({max_[0], max_[1], max_[2]});
  overall_min_ = std::min({min_[0], min_[1], min_[2]});
  const double span = overall_max_ - overall_min_;
  overall_max_ += 0.03 * span;
  overall_min_ -= 0.03 * span;
}

}  // namespace ondalyne
