#include "tarvik/eventfiles/event_converter.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <system_error>

#include "krcommon/event_bytes.h"
#include "krcommon/event_time.h"
#include "krcommon/event_values.h"
#include "tarvik/eventfiles/event_kind.h"
#include "tarvik/eventfiles/header_text.h"

namespace tarvik {

namespace {

using F = kr::HeaderField;

constexpr std::size_t kReadChunk = 1 << 16;
constexpr long kDataStart = 256;

// Frame modes: the decoding the export picks from the extension and engg_mode. Modes 0 (unknown
// extension) and 4 (vmx outside the block modes) write no rows.
constexpr int kModeSkr = 1;
constexpr int kModeVkr = 2;
constexpr int kModeXkr = 3;
constexpr int kModeBkr = 5;
constexpr int kMode16 = 6;
constexpr int kMode24 = 7;
constexpr int kModeBlocksNoStamp = 8;
constexpr int kModeBlocksStamped3 = 9;
constexpr int kModeBlocksStamped4 = 10;
constexpr int kModeBlast = 11;

bool IsWaveformMode(int mode) {
  return mode == kModeSkr || mode == kModeVkr || mode == kModeBlast || mode == kModeXkr || mode == kMode16 ||
         mode == kMode24;
}

bool IsPeriodicMode(int mode) {
  return mode == kModeBkr || mode == kModeBlocksNoStamp || mode == kModeBlocksStamped3 ||
         mode == kModeBlocksStamped4;
}

// The frame mode starts as the extension code; engg_mode 2..5 of the header overrides it.
int FrameModeFor(int extension_code, int engg_mode, int kind) {
  switch (engg_mode) {
    case 2:
      return kModeBlocksNoStamp;
    case 3:
      return kModeBlocksStamped3;
    case 4:
      return kModeBlocksStamped4;
    case 5:
      // A blast recording is a waveform like an ordinary event; in xkr files its frames are 24-bit,
      // and reading them as 16-bit frames would turn every value into garbage.
      return kind == kKindXkr ? kModeXkr : kModeBlast;
    default:
      return extension_code;
  }
}

// The kind whose layout and LSB rule an extension code stands for; "16" and "24" files are read as skr.
int KindOfExtensionCode(int code, const kr::HeaderBytes& header) {
  switch (code) {
    case 1:
    case 6:
    case 7:
      return kKindSkr;
    case 2:
      return kKindVkr;
    case 3:
      return kKindXkr;
    case 4:
      return kKindVmx;
    case 5:
      return kKindBkr;
    default:
      // An unrecognised extension: the header tells what the file is.
      return EventKindFromHeader(header);
  }
}

void AppendInt(std::string& out, std::int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void AppendUnsigned(std::string& out, std::uint64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// "%.<precision>f" without locale look-ups.
void AppendFixed(std::string& out, double value, int precision) {
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  if (result.ec != std::errc()) {
    out += "0";
    return;
  }
  out.append(buffer, result.ptr);
}

void AppendCrLf(std::string& out, std::string_view text) {
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
}

// Rounded half up: numerator / denominator for non-negative values.
std::int64_t DivideRounded(std::int64_t numerator, std::int64_t denominator) {
  return (2 * numerator + denominator) / (2 * denominator);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// ByteSource

EventConverter::ByteSource::ByteSource() = default;

EventConverter::ByteSource::~ByteSource() {
  Close();
}

bool EventConverter::ByteSource::Open(const std::filesystem::path& path) {
  Close();
  std::error_code error;
  // A folder opens as a stream on some systems and then fails on the first read; refuse it here.
  if (std::filesystem::is_directory(path, error)) return false;
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return false;
  buffer_.resize(kReadChunk);
  begin_ = end_ = 0;
  return true;
}

void EventConverter::ByteSource::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  begin_ = end_ = 0;
}

bool EventConverter::ByteSource::Read(std::uint8_t* out, std::size_t count) {
  if (file_ == nullptr || count > buffer_.size()) return false;
  if (end_ - begin_ < count) {
    std::size_t rest = end_ - begin_;
    std::memmove(buffer_.data(), buffer_.data() + begin_, rest);
    begin_ = 0;
    end_ = rest;
    while (end_ < count) {
      std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
      if (got == 0) return false;
      end_ += got;
    }
  }
  std::memcpy(out, buffer_.data() + begin_, count);
  begin_ += count;
  return true;
}

bool EventConverter::ByteSource::SeekTo(long offset) {
  if (file_ == nullptr) return false;
  begin_ = end_ = 0;
  return std::fseek(file_, offset, SEEK_SET) == 0;
}

// ---------------------------------------------------------------------------------------------------
// TextSink

bool EventConverter::TextSink::Open(const std::filesystem::path& path) {
  failed_ = false;
  text_.clear();
  text_.reserve(kFlushSize + 4096);
  return file_.Open(path, kr::CStdioFileEx::OpenMode::kCreate);
}

void EventConverter::TextSink::Flush() {
  if (!text_.empty() && !file_.WriteString(text_)) failed_ = true;
  text_.clear();
}

bool EventConverter::TextSink::Close() {
  if (!file_.IsOpen()) return !failed_;
  Flush();
  bool closed = file_.Close();
  return closed && !failed_;
}

// ---------------------------------------------------------------------------------------------------
// EventConverter

EventConverter::EventConverter(const kr::StringTable& strings, UiPort& ui, const kr::Clock& clock)
    : strings_(strings), ui_(ui), clock_(clock) {}

void EventConverter::SetDayPeriodDesignators(std::string am, std::string pm) {
  am_designator_ = std::move(am);
  pm_designator_ = std::move(pm);
}

std::filesystem::path EventConverter::ChannelFilePath(const std::filesystem::path& output, char axis) {
  std::string name = output.filename().string();
  std::string suffix = std::string("_") + axis;
  std::string renamed;
  if (name.find('.') == std::string::npos) {
    renamed = name + suffix;
  } else {
    for (char c : name) {
      if (c == '.') renamed += suffix;
      renamed.push_back(c);
    }
  }
  return output.parent_path() / renamed;
}

void EventConverter::Fail(int message_id) {
  ui_.ShowMessage(message_id, strings_.Text(message_id), MessageIcon::kError, MessageButtons::kOk);
}

bool EventConverter::OpenOutputs(const std::filesystem::path& input, const std::filesystem::path& output) {
  std::vector<std::filesystem::path> paths = {output};
  if (options_.ChannelFiles) {
    for (char axis : {'x', 'y', 'z'}) paths.push_back(ChannelFilePath(output, axis));
  }
  // Creating an output truncates it; an output that is the input itself would destroy the event.
  for (const auto& path : paths) {
    std::error_code error;
    if (std::filesystem::equivalent(input, path, error)) return false;
    if (std::filesystem::is_directory(path, error)) return false;
  }
  if (!main_.Open(paths[0])) return false;
  if (options_.ChannelFiles) {
    for (std::size_t c = 0; c < 3; ++c) {
      if (!channel_files_[c].Open(paths[c + 1])) return false;
    }
  }
  return true;
}

bool EventConverter::CloseOutputs() {
  bool ok = main_.Close();
  for (TextSink& sink : channel_files_) ok = sink.Close() && ok;
  return ok;
}

int EventConverter::Convert(const std::filesystem::path& input, const std::filesystem::path& output) {
  ResetCallState();
  if (!input_.Open(input)) {
    Fail(kMsgInputFileOpenError);
    return 0;
  }
  if (!OpenOutputs(input, output)) return Stop(kMsgOutputFileOpenError);
  extension_code_ = ExportExtensionCode(input);
  if (!input_.Read(header_bytes_.data(), kr::kEventHeaderSize)) return Stop(kMsgCantReadHeader);
  kind_ = KindOfExtensionCode(extension_code_, header_bytes_);
  layout_ = kr::LayoutForKind(kind_);
  kr::EventHeader header(header_bytes_, layout_);

  if (options_.Header) WriteHeaderText(header, kind_);
  TakeHeaderFacts(header);
  // ValidateTrim has shown its message; the header text stays in the output.
  if (options_.Trim && !ValidateTrim()) return Stop(0);

  frame_mode_ = FrameModeFor(extension_code_, static_cast<int>(header.Value(F::engg_mode)), kind_);
  StartExtremes();
  if (options_.Data) WriteHeadings();

  if (IsWaveformMode(frame_mode_)) {
    ConvertWaveform();
  } else if (IsPeriodicMode(frame_mode_)) {
    ConvertPeriodic();
  }

  bool statistics =
      IsWaveformMode(frame_mode_) && (extension_code_ == 1 || extension_code_ == 2 || extension_code_ == 3 ||
                                      extension_code_ == 6 || extension_code_ == 7);
  if (statistics) WriteStatistics();
  input_.Close();
  if (!CloseOutputs()) {
    Fail(kMsgOutputFileWriteError);
    return 0;
  }
  return 1;
}

void EventConverter::ResetCallState() {
  kept_ = 0;
  sum_ = {};
  mean_ = {};
  rms_ = {};
  cached_second_ = -1;
  time_style_ = kr::DateTimeStyle{options_.UsDateFormat != 0, am_designator_, pm_designator_};
  time_whole_seconds_ = 0;
  time_microseconds_ = 0;
}

int EventConverter::Stop(int message_id) {
  CloseOutputs();
  input_.Close();
  if (message_id != 0) Fail(message_id);
  return 0;
}

void EventConverter::TakeHeaderFacts(const kr::EventHeader& header) {
  lsb_ = kr::LsbVector(kind_, header_bytes_, /*without_x8_step=*/false);
  for (int c = 0; c < 3; ++c)
    mv_correction_[static_cast<std::size_t>(c)] = kr::MillivoltCorrection(header, c);
  nb_channel_ = static_cast<int>(header.Value(F::nb_channel));
  nb_samples_ = static_cast<std::uint64_t>(header.Value(F::nb_samples));
  // Without a channel count the total is unknown; 0 makes every trimming request out of range
  // instead of dividing by zero.
  frame_count_ = nb_channel_ == 0 ? 0 : nb_samples_ * 3 / static_cast<std::uint64_t>(nb_channel_);
  kr::EventStart start = kr::EventStartTime(header, clock_.LocalNow().year);
  int_offset_ = start.int_offset;
  sampling_ = start.sampling;
  has_start_time_ = start.time.has_value();
  if (start.time) start_time_ = *start.time;
}

void EventConverter::StartExtremes() {
  // Statistics start from the extremes of the sample width.
  const bool sixteen_bit = frame_mode_ != kModeXkr && frame_mode_ != kMode16 && frame_mode_ != kMode24;
  for (std::size_t c = 0; c < 3; ++c) {
    max_[c] =
        sixteen_bit ? std::numeric_limits<std::int16_t>::min() : std::numeric_limits<std::int32_t>::min();
    min_[c] =
        sixteen_bit ? std::numeric_limits<std::int16_t>::max() : std::numeric_limits<std::int32_t>::max();
  }
}

void EventConverter::WriteHeaderText(const kr::EventHeader& header, int kind) {
  HeaderTextSettings settings;
  settings.current_year = clock_.LocalNow().year;
  settings.style.us_format = options_.UsDateFormat != 0;
  settings.style.am_designator = am_designator_;
  settings.style.pm_designator = pm_designator_;
  settings.time_shift_hours = header_time_shift_hours_;
  std::string text = options_.Interpreted ? FileInformation(header, kind, settings) : FieldDump(header);
  AppendCrLf(main_.text(), text);
  main_.text() += "\r\n";
  main_.MaybeFlush();
}

bool EventConverter::ValidateTrim() {
  // Negative counts cannot describe a selection; they are out of range like too large ones.
  auto total = static_cast<std::int64_t>(frame_count_);
  if (options_.TrimFirstLast) {
    if (options_.FirstSamples < 0 || options_.LastSamples < 0 ||
        std::int64_t{options_.FirstSamples} + options_.LastSamples > total) {
      Fail(kMsgFirstLastOutOfRange);
      return false;
    }
    return true;
  }
  if (options_.IgnoreFirst < 0 || options_.Include < 0 ||
      std::int64_t{options_.IgnoreFirst} + options_.Include > total) {
    Fail(kMsgIgnoreIncludeOutOfRange);
    return false;
  }
  return true;
}

void EventConverter::WriteHeadings() {
  const char* time_heading =
      options_.TimeInformation ? "\tData     \tTime    \tMicroseconds [\xC2\xB5s]" : "";
  if (!options_.ChannelFiles) {
    main_.text() += "X-Axis \tY-Axis \tZ-Axis ";
    main_.text() += time_heading;
    return;
  }
  const char* headings[3] = {"X-Axis ", "Y-Axis ", "Z-Axis "};
  for (std::size_t c = 0; c < 3; ++c) {
    channel_files_[c].text() += headings[c];
    channel_files_[c].text() += time_heading;
  }
}

bool EventConverter::Kept(std::uint64_t index) const {
  if (!options_.Trim) return true;
  auto i = static_cast<std::int64_t>(index);
  if (options_.TrimFirstLast) {
    return i <= options_.FirstSamples || i > static_cast<std::int64_t>(frame_count_) - options_.LastSamples;
  }
  return i > options_.IgnoreFirst && i <= std::int64_t{options_.IgnoreFirst} + options_.Include;
}

bool EventConverter::ReadFrame(Frame& frame) {
  std::uint8_t bytes[12];
  std::span<const std::uint8_t> view(bytes);
  switch (frame_mode_) {
    case kModeXkr:
      if (!input_.Read(bytes, 9)) return false;
      for (std::size_t c = 0; c < 3; ++c) {
        frame.value[c] = std::int64_t{kr::ReadI24Le(view, 3 * c)} + mv_correction_[c];
      }
      return true;
    case kMode16:
    case kMode24:
      if (!input_.Read(bytes, 12)) return false;
      for (std::size_t c = 0; c < 3; ++c) frame.value[c] = kr::ReadI32Le(view, 4 * c);
      return true;
    default:
      if (!input_.Read(bytes, 6)) return false;
      for (std::size_t c = 0; c < 3; ++c) frame.value[c] = kr::ReadI16Le(view, 2 * c);
      return true;
  }
}

// The value formatter: "\n%.4f" for X and "\t%.4f" for Y and Z ("\n%.6f" / "\t%.6f" for extension
// codes 3 and 7), with NotLSB "\n%i" / "\t%i" ("\n%li" / "\t%li"); with ChannelFiles every value starts
// a line of its channel's file. Formatted without printf, for speed, to the same text.
void EventConverter::WriteValue(int channel, std::int64_t counts) {
  if (channel < 1 || channel > 3) return;
  TextSink& sink = SinkOf(channel);
  std::string& out = sink.text();
  if (options_.ChannelFiles || channel == 1) {
    out += "\r\n";
  } else {
    out.push_back('\t');
  }
  if (options_.NotLSB) {
    AppendInt(out, counts);
  } else {
    bool six_decimals = extension_code_ == 3 || extension_code_ == 7;
    AppendFixed(out, static_cast<double>(counts) * lsb_[static_cast<std::size_t>(channel - 1)],
                six_decimals ? 6 : 4);
  }
}

void EventConverter::PutToRowFiles(std::string_view text) {
  if (!options_.ChannelFiles) {
    main_.text() += text;
    return;
  }
  for (TextSink& sink : channel_files_) sink.text() += text;
}

// "%c%s%c" of a tab, the time text "%s%c%s%c%d%c" (date, tab, time, tab, microseconds, tab) and a tab.
void EventConverter::BuildTimeText(std::uint64_t row) {
  // Row k lies t = (int_offset + k) / sampling seconds after the start; without a start date the
  // column counts from the first row, k / sampling. With sampling 0 the previous t stays.
  if (sampling_ > 0) {
    auto position = static_cast<std::int64_t>(row);
    if (has_start_time_) {
      position += int_offset_;
      time_whole_seconds_ = position / sampling_;
      time_microseconds_ = DivideRounded((position % sampling_) * 1000000, sampling_);
    } else {
      time_microseconds_ = DivideRounded(position * 1000000, sampling_);
    }
  }
  time_text_.clear();
  time_text_.push_back('\t');
  if (has_start_time_) {
    if (time_whole_seconds_ != cached_second_) {
      cached_second_ = time_whole_seconds_;
      kr::DateTime at = kr::AddSeconds(start_time_, time_whole_seconds_);
      cached_date_time_.clear();
      kr::AppendEventDate(cached_date_time_, at, time_style_.us_format);
      cached_date_time_.push_back('\t');
      kr::AppendEventTime(cached_date_time_, at, time_style_);
    }
    time_text_ += cached_date_time_;
  } else {
    time_text_.push_back('\t');
  }
  time_text_.push_back('\t');
  AppendInt(time_text_, time_microseconds_);
  time_text_ += "\t\t";
}

void EventConverter::WriteTimeColumn(std::uint64_t row) {
  BuildTimeText(row);
  PutToRowFiles(time_text_);
}

void EventConverter::ConvertWaveform() {
  const bool write_rows = options_.Data != 0;
  // The time column belongs to the rows; without rows it would run into one endless line.
  const bool time_column = write_rows && options_.TimeInformation != 0;
  const bool sums = options_.Average || options_.RootMeasSquare;
  const bool extremes = options_.ChannelMinMax != 0;
  Frame frame{};
  std::uint64_t index = 0;
  std::uint64_t row = 0;
  while (ReadFrame(frame)) {
    ++index;
    if (!Kept(index)) continue;
    ++kept_;
    for (std::size_t c = 0; c < 3; ++c) {
      std::int64_t v = frame.value[c];
      if (sums) sum_[c] += v;
      if (extremes) {
        if (v > max_[c]) max_[c] = v;
        if (v < min_[c]) min_[c] = v;
      }
      if (write_rows) WriteValue(static_cast<int>(c) + 1, v);
    }
    if (time_column) {
      WriteTimeColumn(row);
      ++row;
    }
    main_.MaybeFlush();
    if (options_.ChannelFiles) {
      for (TextSink& sink : channel_files_) sink.MaybeFlush();
    }
  }
}

// "\t%s\t%s" of the stamp's date and time and "<- time at end of this period".
void EventConverter::AppendPeriodStamp(const std::uint8_t* stamp) {
  std::optional<kr::DateTime> at = kr::MakeEventDateTime(
      kr::DecodeBcd(stamp[5]), kr::DecodeBcd(stamp[4]), kr::DecodeBcd(stamp[3]), kr::DecodeBcd(stamp[2]),
      kr::DecodeBcd(stamp[1]), kr::DecodeBcd(stamp[0]), clock_.LocalNow().year);
  time_text_.clear();
  time_text_.push_back('\t');
  if (at) {
    kr::AppendEventDate(time_text_, *at, time_style_.us_format, /*two_digit_year=*/true);
    time_text_.push_back(' ');
    kr::AppendEventTime(time_text_, *at, time_style_);
  }
  time_text_ += "\t<- time at end of this period";
  PutToRowFiles(time_text_);
}

void EventConverter::ConvertPeriodic() {
  if (!options_.Data) return;
  const int recording_mode =
      static_cast<int>(kr::EventHeader(header_bytes_, layout_).Value(F::recording_mode));
  std::optional<PeriodicForm> form = PeriodicFormOf(frame_mode_, recording_mode);
  if (!form) return;

  std::array<std::uint8_t, kBlockSize> block{};
  std::uint64_t taken = 0;
  while (taken < nb_samples_ && input_.Read(block.data(), kBlockSize)) {
    std::uint64_t count = std::min<std::uint64_t>(form->capacity, nb_samples_ - taken);
    for (std::size_t r = 0; r < count; ++r) {
      WritePeriodicRecord(*form, block, form->first + r * form->record_size);
      if (r == 0 && form->stamped) AppendPeriodStamp(block.data() + 2);
    }
    taken += count;
    main_.MaybeFlush();
    if (options_.ChannelFiles) {
      for (TextSink& sink : channel_files_) sink.MaybeFlush();
    }
  }
}

std::optional<EventConverter::PeriodicForm> EventConverter::PeriodicFormOf(int frame_mode,
                                                                           int recording_mode) {
  if (frame_mode == kModeBlocksNoStamp) return PeriodicForm{42, 2, 6, false, false, false, false};
  if (frame_mode == kModeBlocksStamped3 || frame_mode == kModeBlocksStamped4) {
    return PeriodicForm{41, 8, 6, true, false, false, false};
  }
  // bkr records hold unsigned peaks (interval maxima), then the mode's extra part.
  if (recording_mode == 8) return PeriodicForm{20, 8, 12, true, true, true, false};
  if (recording_mode >= 10 && recording_mode <= 15) return PeriodicForm{20, 8, 12, true, true, false, true};
  return std::nullopt;
}

void EventConverter::WritePeriodicRecord(const PeriodicForm& form,
                                         const std::array<std::uint8_t, kBlockSize>& block, std::size_t at) {
  std::span<const std::uint8_t> view(block);
  for (int c = 0; c < 3; ++c) {
    std::size_t offset = at + 2 * static_cast<std::size_t>(c);
    std::int64_t v =
        form.unsigned_peaks ? std::int64_t{kr::ReadU16Le(view, offset)} : kr::ReadI16Le(view, offset);
    WriteValue(c + 1, v);
  }
  if (form.frequencies) {
    for (int c = 0; c < 3; ++c) {
      std::string& out = SinkOf(c + 1).text();
      out.push_back('\t');
      AppendFixed(out, kr::ReadU16Le(view, at + 6 + 2 * static_cast<std::size_t>(c)) / 10.0, 1);  // "\t%.1f"
    }
  }
  if (form.sum_of_squares) {
    std::uint64_t sum = kr::ReadU48Le(view, at + 6);
    time_text_.clear();
    time_text_.push_back('\t');
    if (options_.NotLSB) {
      AppendUnsigned(time_text_, sum);
    } else {
      // The vector sum in the channels' unit: sqrt(sum of squares of counts) times the root mean
      // square of the three LSBs, as the viewer computes it.
      const double scale = std::sqrt((lsb_[0] * lsb_[0] + lsb_[1] * lsb_[1] + lsb_[2] * lsb_[2]) / 3.0);
      AppendFixed(time_text_, std::sqrt(static_cast<double>(sum)) * scale, 4);
    }
    PutToRowFiles(time_text_);
  }
}

void EventConverter::WriteStatistics() {
  // Nothing kept, nothing to summarise: a mean over no frames has no value, and the extremes would
  // still hold their start values.
  if (kept_ == 0) return;
  auto n = static_cast<double>(kept_);
  for (std::size_t c = 0; c < 3; ++c) mean_[c] = static_cast<double>(sum_[c]) / n;

  if (options_.RootMeasSquare) {
    std::array<double, 3> squares{};
    input_.SeekTo(kDataStart);
    Frame frame{};
    std::uint64_t index = 0;
    while (ReadFrame(frame)) {
      ++index;
      if (!Kept(index)) continue;
      for (std::size_t c = 0; c < 3; ++c) {
        double d = static_cast<double>(frame.value[c]) - mean_[c];
        squares[c] += d * d;
      }
    }
    for (std::size_t c = 0; c < 3; ++c) rms_[c] = std::sqrt(squares[c] / n);
  }

  int channels = std::min(nb_channel_, 3);
  auto heading = [&](const char* title) {
    std::string text = std::string("\r\n") + title;
    PutToRowFiles(text);
  };
  if (options_.ChannelMinMax) {
    heading("PEAKS:");
    for (int c = 1; c <= channels; ++c) WriteValue(c, max_[static_cast<std::size_t>(c - 1)]);
    for (int c = 1; c <= channels; ++c) WriteValue(c, min_[static_cast<std::size_t>(c - 1)]);
  }
  // "%c%.8f", the separator "\n" for X and "\t" for Y and Z.
  auto statistic_row = [&](const std::array<double, 3>& values) {
    for (std::size_t c = 0; c < 3; ++c) {
      std::string& out = SinkOf(static_cast<int>(c) + 1).text();
      if (c == 0 || options_.ChannelFiles) {
        out += "\r\n";
      } else {
        out.push_back('\t');
      }
      AppendFixed(out, options_.NotLSB ? values[c] : values[c] * lsb_[c], 8);
    }
  };
  if (options_.Average) {
    heading("Average:");
    statistic_row(mean_);
  }
  if (options_.RootMeasSquare) {
    heading("Root meas square value:");
    statistic_row(rms_);
  }
}

}  // namespace tarvik
