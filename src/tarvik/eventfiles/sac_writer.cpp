#include "tarvik/eventfiles/sac_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "krcommon/vibration_assessment.h"
#include "tarvik/eventfiles/mseed_writer.h"
#include "tarvik/eventfiles/seed_time.h"

namespace tarvik {

namespace {

constexpr float kUndefinedFloat = -12345.0F;
constexpr std::int32_t kUndefinedInt = -12345;
constexpr int kFloatWords = 70;
constexpr int kIntWords = 40;
constexpr std::size_t kTextBytes = 192;
constexpr std::size_t kHeaderBytes = 4 * (kFloatWords + kIntWords) + kTextBytes;  // 632

// Word indexes of the float part.
enum FloatField {
  kDelta = 0,
  kDepmin = 1,
  kDepmax = 2,
  kB = 5,
  kE = 6,
  kStla = 31,
  kStlo = 32,
  kDepmen = 56
};
// Word indexes of the integer part (counted from its start).
enum IntField {
  kNzyear = 0,
  kNzjday = 1,
  kNzhour = 2,
  kNzmin = 3,
  kNzsec = 4,
  kNzmsec = 5,
  kNvhdr = 6,
  kNpts = 9,
  kIftype = 15,
  kIdep = 16,
  kIztype = 17,
  kLeven = 35,
  kLpspol = 36,
  kLovrok = 37,
  kLcalda = 38,
};
constexpr std::int32_t kItime = 1;  // iftype: evenly sampled time series
constexpr std::int32_t kIb = 9;     // iztype: the reference time is the begin time
// Byte offsets of the names (8 characters each, kevnm 16).
constexpr std::size_t kKstnm = 0;
constexpr std::size_t kKhole = 24;
constexpr std::size_t kKcmpnm = 160;
constexpr std::size_t kKnetwk = 168;
constexpr std::size_t kKinst = 184;

class SacHeader {
 public:
  SacHeader() {
    floats_.fill(kUndefinedFloat);
    ints_.fill(kUndefinedInt);
    // Every name starts as SAC's undefined text "-12345" padded with blanks; kevnm has 16 characters.
    for (std::size_t at = 0; at < kTextBytes; at += 8) SetText(at, "-12345");
    std::memset(text_.data() + 8, ' ', 16);
    std::memcpy(text_.data() + 8, "-12345", 6);
  }
  void Float(FloatField field, double value) { floats_[field] = static_cast<float>(value); }
  void Int(IntField field, std::int32_t value) { ints_[field] = value; }
  void SetText(std::size_t at, const std::string& text) {
    std::memset(text_.data() + at, ' ', 8);
    std::memcpy(text_.data() + at, text.data(), std::min<std::size_t>(text.size(), 8));
  }
  void AppendTo(std::vector<char>& out) const {
    for (float value : floats_) AppendWord(out, std::bit_cast<std::uint32_t>(value));
    for (std::int32_t value : ints_) AppendWord(out, static_cast<std::uint32_t>(value));
    out.insert(out.end(), text_.begin(), text_.end());
  }
  static void AppendWord(std::vector<char>& out, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((word >> (8 * i)) & 0xFF));
  }

 private:
  std::array<float, kFloatWords> floats_{};
  std::array<std::int32_t, kIntWords> ints_{};
  std::array<char, kTextBytes> text_{};
};

}  // namespace

int SacDependentKind(const std::string& unit) {
  switch (kr::ClassifyUnit(unit).quantity) {
    case kr::Quantity::kVelocity:
      return kSacVelocity;
    case kr::Quantity::kAcceleration:
      return kSacAcceleration;
    case kr::Quantity::kDisplacement:
      return kSacDisplacement;
    default:
      return kSacUnknown;
  }
}

std::string WriteSacFile(const std::filesystem::path& path, const SacTrace& trace,
                         const kr::StringTable& strings) {
  SacHeader header;
  const double delta = trace.sampling > 0 ? 1.0 / trace.sampling : 0.0;
  const std::int64_t reference_us = trace.start_us - ((trace.start_us % 1000) + 1000) % 1000;
  const double b = static_cast<double>(trace.start_us - reference_us) / 1e6;
  const auto npts = static_cast<std::int32_t>(trace.values.size());
  header.Float(kDelta, delta);
  header.Float(kB, b);
  header.Float(kE, b + delta * (npts > 0 ? npts - 1 : 0));
  if (!trace.values.empty()) {
    auto [low, high] = std::minmax_element(trace.values.begin(), trace.values.end());
    double sum = 0.0;
    for (double v : trace.values) sum += v;
    header.Float(kDepmin, *low);
    header.Float(kDepmax, *high);
    header.Float(kDepmen, sum / npts);
  }
  if (trace.latitude && trace.longitude) {
    header.Float(kStla, *trace.latitude);
    header.Float(kStlo, *trace.longitude);
  }
  SeedTimeParts reference = SplitEpochMicroseconds(reference_us);
  header.Int(kNzyear, reference.year);
  header.Int(kNzjday, reference.day_of_year);
  header.Int(kNzhour, reference.hour);
  header.Int(kNzmin, reference.minute);
  header.Int(kNzsec, reference.second);
  header.Int(kNzmsec, reference.microsecond / 1000);
  header.Int(kNvhdr, 6);
  header.Int(kNpts, npts);
  header.Int(kIftype, kItime);
  header.Int(kIdep, SacDependentKind(trace.unit));
  header.Int(kIztype, kIb);
  header.Int(kLeven, 1);
  header.Int(kLpspol, 1);
  header.Int(kLovrok, 1);
  header.Int(kLcalda, 0);
  header.SetText(kKstnm, trace.station);
  header.SetText(kKhole, trace.location);
  header.SetText(kKcmpnm, trace.channel);
  header.SetText(kKnetwk, trace.network);
  header.SetText(kKinst, trace.instrument);

  std::vector<char> bytes;
  bytes.reserve(kHeaderBytes + 4 * trace.values.size());
  header.AppendTo(bytes);
  for (double v : trace.values)
    SacHeader::AppendWord(bytes, std::bit_cast<std::uint32_t>(static_cast<float>(v)));

  std::filesystem::path temporary = path;
  temporary += ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return strings.Format(kMsgCannotWrite, path.string(), std::string(std::strerror(errno)));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return strings.Format(kMsgCannotWrite, path.string(), std::string(std::strerror(errno)));
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return strings.Format(kMsgCannotWrite, path.string(), error.message());
  }
  return "";
}

}  // namespace tarvik
