#include "krsim/event_generator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "krcommon/event_bytes.h"
#include "krcommon/event_time.h"

namespace krsim {

namespace {

using F = kr::HeaderField;

constexpr int kMonitoringIntervalS = 30;
constexpr int kVmxRecordsPerBlock = 41;
constexpr int kBkrRecordsPerBlock = 20;
constexpr int kPeriodicRecordStart = 8;
constexpr int kVmxMode = 3;      // peaks only
constexpr int kBkrMode = 8;      // peaks and sum of squares ("vector sum")
constexpr int kBkrEnggMode = 6;  // the mode byte that says "vector sum present"

// splitmix64: small, fast and the same on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  int Range(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
  }

 private:
  std::uint64_t state_;
};

std::uint64_t EventSeed(const RecorderIdentity& r, int file_number, EventKind kind) {
  Random mix(r.seed * 1000003ULL + static_cast<std::uint64_t>(r.number) * 7919ULL +
             static_cast<std::uint64_t>(file_number) * 104729ULL + static_cast<std::uint64_t>(kind));
  return mix.Next();
}

SampleWidth WidthOf(EventKind kind) {
  return kind == EventKind::kXkr ? SampleWidth::k24 : SampleWidth::k16;
}

struct Burst {
  double amplitude;
  double frequency;
  double decay_s;
  double phase;
};

// Noise of one or two counts, with an occasional larger step, so that every record form is used.
int Noise(Random& rnd, int scale) {
  int value = rnd.Range(-1, 1);
  if (rnd.Unit() < 0.08) value += rnd.Range(-6, 6) * scale;
  return value;
}

void MakeWaveform(Random& rnd, EventKind kind, int sampling, StoredEvent& event, int pre_s, int post_s) {
  const bool wide = WidthOf(kind) == SampleWidth::k24;
  const std::int32_t limit = MaxEncodableMagnitude(WidthOf(kind));
  std::array<Burst, 3> bursts{};
  for (Burst& b : bursts) {
    b.amplitude = wide ? rnd.Range(120000, 480000) : rnd.Range(6000, 30000);
    b.frequency = 4.0 + rnd.Unit() * 20.0;
    b.decay_s = 0.3 + rnd.Unit() * 0.9;
    b.phase = rnd.Unit() * 2.0 * std::numbers::pi;
  }
  const int count = sampling * (pre_s + post_s);
  event.frames.resize(static_cast<std::size_t>(count));
  for (int n = 0; n < count; ++n) {
    const double t = static_cast<double>(n - sampling * pre_s) / sampling;
    for (int c = 0; c < 3; ++c) {
      double value = Noise(rnd, wide ? 8 : 1);
      if (t >= 0) {
        const Burst& b = bursts[static_cast<std::size_t>(c)];
        value += b.amplitude * std::exp(-t / b.decay_s) *
                 std::sin(2 * std::numbers::pi * b.frequency * t + b.phase);
      }
      const auto sample = static_cast<std::int32_t>(std::lround(value));
      event.frames[static_cast<std::size_t>(n)][static_cast<std::size_t>(c)] =
          std::clamp(sample, -limit - 1, limit);
    }
  }
  for (int c = 0; c < 3; ++c) {
    event.frequency_hz[static_cast<std::size_t>(c)] =
        std::round(bursts[static_cast<std::size_t>(c)].frequency * 10) / 10;
  }
  for (const Frame& f : event.frames) {
    for (int c = 0; c < 3; ++c) {
      event.peaks[static_cast<std::size_t>(c)] =
          std::max(event.peaks[static_cast<std::size_t>(c)], std::abs(f[static_cast<std::size_t>(c)]));
    }
  }
  event.nb_samples = static_cast<std::uint32_t>(count);
  event.pairs = PackFrames(event.frames, WidthOf(kind));
}

// Peaks of one monitoring interval: a slow swell over the period, a little noise, now and then a
// much larger value (a blast nearby).
int PeriodicPeak(Random& rnd, int index, int channel) {
  const double swell = 40.0 + 30.0 * std::sin(2 * std::numbers::pi * (index + 7 * channel) / 48.0);
  int peak = static_cast<int>(swell) + rnd.Range(0, 12);
  if (rnd.Unit() < 0.04) peak += rnd.Range(400, 6000);
  return peak;
}

void PutBcdTime(DataPair& block, std::size_t offset, const kr::DateTime& t) {
  const int values[6] = {t.second, t.minute, t.hour, t.day, t.month, t.year % 100};
  for (int i = 0; i < 6; ++i) block[offset + static_cast<std::size_t>(i)] = kr::EncodeBcd(values[i]);
}

void MakePeriodic(Random& rnd, EventKind kind, StoredEvent& event) {
  const bool vector_sum = kind == EventKind::kBkr;
  const int per_block = vector_sum ? kBkrRecordsPerBlock : kVmxRecordsPerBlock;
  const int record_size = vector_sum ? 12 : 6;
  const int records = rnd.Range(90, 160);
  for (int first = 0; first < records; first += per_block) {
    DataPair block{};
    const auto number = event.pairs.size() + 1;
    block[0] = static_cast<std::uint8_t>(number & 0xFF);
    block[1] = static_cast<std::uint8_t>(number >> 8);
    PutBcdTime(block, 2,
               kr::AddSeconds(event.time, static_cast<std::int64_t>(first + 1) * kMonitoringIntervalS));
    const int in_block = std::min(per_block, records - first);
    for (int i = 0; i < in_block; ++i) {
      const std::size_t at = static_cast<std::size_t>(kPeriodicRecordStart + i * record_size);
      std::uint64_t squares = 0;
      for (int c = 0; c < 3; ++c) {
        const int peak = PeriodicPeak(rnd, first + i, c);
        event.peaks[static_cast<std::size_t>(c)] = std::max(event.peaks[static_cast<std::size_t>(c)], peak);
        kr::WriteU16Le(block, at + 2 * static_cast<std::size_t>(c), static_cast<std::uint16_t>(peak));
        // The largest x^2 + y^2 + z^2 of the interval, in counts^2: the simulated unit's three peaks
        // fall on the same sample, so the viewer's vector sum is the length of the peak vector.
        squares += static_cast<std::uint64_t>(peak) * static_cast<std::uint64_t>(peak);
      }
      if (vector_sum) kr::WriteU48Le(block, at + 6, squares);
    }
    block[kPairRecordEnd] = static_cast<std::uint8_t>(in_block);
    event.pairs.push_back(block);
  }
  event.nb_samples = static_cast<std::uint32_t>(records);
}

class HeaderWriter {
 public:
  HeaderWriter(kr::HeaderBytes& bytes, kr::HeaderLayout layout) : bytes_(bytes), layout_(layout) {}
  void Set(F field, std::int64_t value) { kr::SetHeaderValue(bytes_, layout_, field, value); }
  void Text(F field, std::string_view text) { kr::SetHeaderText(bytes_, layout_, field, text); }
  // Second, minute, hour, day, month and two-digit year into the six BCD fields named.
  void Time(const std::array<F, 6>& fields, const kr::DateTime& t) {
    const int values[6] = {t.second, t.minute, t.hour, t.day, t.month, t.year % 100};
    for (std::size_t i = 0; i < 6; ++i) Set(fields[i], values[i]);
  }

 private:
  kr::HeaderBytes& bytes_;
  kr::HeaderLayout layout_;
};

void WriteCommonFields(HeaderWriter& h, const RecorderIdentity& r, const StoredEvent& e, int pre_s,
                       int post_s) {
  const RecorderConfig& c = r.config;
  const LsbCode lsb = RecorderLsb(c);
  h.Set(F::file_number, e.file_number);
  h.Set(F::periodic, e.IsPeriodic() ? 1 : 0);
  h.Set(F::sum_event, e.file_number);
  h.Set(F::nb_samples, e.nb_samples);
  h.Set(F::sampling, c.sampling);
  h.Set(F::nb_channel, 3);
  const F peak_fields[3] = {F::ch_peak_x, F::ch_peak_y, F::ch_peak_z};
  const F mant_fields[3] = {F::ch_lsb_mant_x, F::ch_lsb_mant_y, F::ch_lsb_mant_z};
  const F exp_fields[3] = {F::ch_lsb_exp_x, F::ch_lsb_exp_y, F::ch_lsb_exp_z};
  const F unit_fields[3] = {F::ch_units_x, F::ch_units_y, F::ch_units_z};
  const F name_fields[3] = {F::ch_names_x, F::ch_names_y, F::ch_names_z};
  const char* names[3] = {"X", "Y", "Z"};
  for (int ch = 0; ch < 3; ++ch) {
    h.Set(peak_fields[ch], e.peaks[static_cast<std::size_t>(ch)]);
    h.Set(mant_fields[ch], lsb.mantissa);
    h.Set(exp_fields[ch], lsb.exponent);
    h.Text(unit_fields[ch], " mm/s");
    h.Text(name_fields[ch], names[ch]);
  }
  h.Text(F::ss_number, c.sensor_serial);
  h.Text(F::s_number, c.serial_number);
  h.Text(F::comment, c.station);
  h.Set(F::sync_offset, 12);
  h.Time({F::sync_second, F::sync_minute, F::sync_hour, F::sync_day, F::sync_month, F::sync_year},
         kr::AddSeconds(e.time, -(3 * 3600 + 17 * 60)));
  h.Set(F::sync_ok, 1);
  h.Set(F::int_offset, e.int_offset);
  h.Time({F::int_second, F::int_minute, F::int_hour, F::int_day, F::int_month, F::int_year}, e.time);
  h.Set(F::time_valid, 1);
  h.Set(F::bat_main, 12650);
  h.Set(F::bat_backup, 3310);
  h.Set(F::temperature, 21);
  h.Set(F::filter_freq, c.sampling * 2 / 5);
  h.Set(F::filter_pole, 4);
  h.Set(F::adc_resol, AdcBits(c));
  h.Set(F::trig_mode, c.trigger_mode);
  h.Set(F::prevent, pre_s);
  h.Set(F::postevent, post_s);
  h.Set(F::trig_chan, 7);
  h.Set(F::nb_ac_lost, 1);
  h.Set(F::day_lost, 2);
  h.Set(F::month_lost, 2);
  h.Set(F::year_lost, 24);
  h.Set(F::nb_restart, 3);
  h.Set(F::day_restart, 2);
  h.Set(F::month_restart, 2);
  h.Set(F::year_restart, 24);
  h.Set(F::dsp_version, 3);
  h.Set(F::dsp_revision, 2);
  h.Set(F::dsp_settings, 0x21);
  h.Set(F::latitude, 475012);
  h.Set(F::longitude, 91234);
  h.Set(F::elevation, 512);
  h.Set(F::len_period_vm, kMonitoringIntervalS);
}

void WriteSLayout(kr::HeaderBytes& bytes, const RecorderIdentity& r, const StoredEvent& e, int pre_s,
                  int post_s) {
  HeaderWriter h(bytes, kr::HeaderLayout::kS);
  WriteCommonFields(h, r, e, pre_s, post_s);
  const RecorderConfig& c = r.config;
  h.Text(F::rec_name, ModelName(c.model));
  if (e.kind == EventKind::kSkr) {
    h.Set(F::firmware_major, (c.firmware >> 8) & 0xFF);
    h.Set(F::firmware_minor, c.firmware & 0xFF);
  } else {
    h.Set(F::firmware_major, (c.firmware / 100) & 0xFF);
    h.Set(F::firmware_minor_c, c.firmware % 100);
  }
  for (F level : {F::trig_level_x, F::trig_level_y, F::trig_level_z}) h.Set(level, 200);
  h.Set(F::engg_mode, e.kind == EventKind::kVmx ? kVmxMode : 0);
  if (e.kind == EventKind::kVmx) h.Set(F::recording_mode, kVmxMode);
}

void WriteXLayout(kr::HeaderBytes& bytes, const RecorderIdentity& r, const StoredEvent& e, int pre_s,
                  int post_s) {
  HeaderWriter h(bytes, kr::HeaderLayout::kX);
  WriteCommonFields(h, r, e, pre_s, post_s);
  const RecorderConfig& c = r.config;
  // Files of the second family are X-layout files whatever the unit calls itself, and every reader
  // tells the layout by this name.
  h.Text(F::rec_name, "XKR4100");
  h.Set(F::firmware_major, (c.firmware >> 8) & 0xFF);
  h.Set(F::firmware_minor, c.firmware & 0xFF);
  h.Set(F::engg_mode, e.kind == EventKind::kBkr ? kBkrEnggMode : 0);
  h.Set(F::recording_mode, e.kind == EventKind::kBkr ? kBkrMode : 0);
  h.Set(F::no_gps_sats, 7);
  for (F level : {F::x_trigger_x, F::x_trigger_y, F::x_trigger_z}) h.Set(level, 4000);
  for (F f : {F::lta_trig_x, F::lta_trig_y, F::lta_trig_z}) h.Set(f, 30);
  for (F f : {F::sta_trig_x, F::sta_trig_y, F::sta_trig_z}) h.Set(f, 5);
  for (F f : {F::ratio_trig_x, F::ratio_trig_y, F::ratio_trig_z}) h.Set(f, 40);
  for (F f : {F::dtrigger_x, F::dtrigger_y, F::dtrigger_z}) h.Set(f, 50);
  h.Set(F::trig_window, 5);
  h.Set(F::max_recording, 60);
  h.Set(F::trig_comb, 4);
  h.Set(F::sensor_type, 'V');
  h.Set(F::axis_orient, 0);
  for (F f : {F::gain_corr_x, F::gain_corr_y, F::gain_corr_z}) h.Set(f, 10000);
}

}  // namespace

LsbCode RecorderLsb(const RecorderConfig& config) {
  // 24-bit converters resolve 0.00005 mm/s per count, 16-bit ones 0.001 mm/s.
  return AdcBits(config) == 24 ? LsbCode{5, -5} : LsbCode{10, -4};
}

int AdcBits(const RecorderConfig& config) {
  return UsesXLayout(config) ? 24 : 16;
}

StoredEvent MakeEvent(const RecorderIdentity& recorder, int file_number, EventKind kind,
                      const kr::DateTime& time) {
  Random rnd(EventSeed(recorder, file_number, kind));
  StoredEvent event;
  event.file_number = file_number;
  event.kind = kind;
  event.time = time;
  event.time.millisecond = 0;
  const int sampling = recorder.config.sampling;
  event.int_offset = rnd.Range(0, std::max(0, sampling - 1));
  const int pre_s = rnd.Range(1, 2);
  const int post_s = rnd.Range(3, 5);
  if (event.IsPeriodic()) {
    MakePeriodic(rnd, kind, event);
  } else {
    MakeWaveform(rnd, kind, sampling, event, pre_s, post_s);
  }
  if (UsesXLayout(recorder.config)) {
    WriteXLayout(event.header, recorder, event, pre_s, post_s);
  } else {
    WriteSLayout(event.header, recorder, event, pre_s, post_s);
  }
  return event;
}

std::vector<std::uint8_t> TransferImage(const StoredEvent& event) {
  std::vector<std::uint8_t> image(event.header.begin(), event.header.end());
  for (const DataPair& pair : event.pairs) image.insert(image.end(), pair.begin(), pair.end());
  return image;
}

std::vector<std::uint8_t> ExportImage(const StoredEvent& event) {
  std::vector<std::uint8_t> image(event.header.begin(), event.header.end());
  if (event.IsPeriodic()) {
    for (const DataPair& pair : event.pairs) image.insert(image.end(), pair.begin(), pair.end());
    return image;
  }
  const int bytes_per_sample = event.kind == EventKind::kXkr ? 3 : 2;
  for (const Frame& frame : event.frames) {
    for (std::int32_t sample : frame) {
      for (int b = 0; b < bytes_per_sample; ++b)
        image.push_back(static_cast<std::uint8_t>((sample >> (8 * b)) & 0xFF));
    }
  }
  return image;
}

}  // namespace krsim
