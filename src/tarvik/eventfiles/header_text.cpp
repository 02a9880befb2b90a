#include "tarvik/eventfiles/header_text.h"

#include <cinttypes>
#include <cstdio>
#include <optional>

#include "krcommon/event_bytes.h"
#include "krcommon/event_values.h"
#include "krcommon/stdio_file_ex.h"
#include "krcommon/string_table.h"
#include "krcommon/text_util.h"
#include "tarvik/eventfiles/event_kind.h"

namespace tarvik {

namespace {

using F = kr::HeaderField;

// How a dump line shows its field.
enum class Show : std::uint8_t {
  kNumber,    // the value as stored ("%d", "%u")
  kUnsigned,  // "%lu": the value's 32 bits as unsigned, as the recorder tools have always shown it
  kBcd,       // a plain byte shown BCD-decoded (the X trigger group)
  kBits3,     // "%d/%d/%d" of bits 0, 1, 2
  kNibbles,   // "%d%d": high nibble, low nibble
  kText,      // fixed text
  kBitSet,    // eight digits, bit 7 first, separated by "|"
};

struct DumpLine {
  const char* label;  // the line up to the value
  F field;
  Show show;
  bool x_only;  // the S layout shows "unused" instead
};

constexpr DumpLine kDump[] = {
    {"file_number:\t", F::file_number, Show::kNumber, false},
    {"test_sensor:\t", F::test_sensor, Show::kNumber, false},
    {"periodic:\t", F::periodic, Show::kNumber, false},
    {"engg_mode:\t", F::engg_mode, Show::kNumber, false},
    {"sum_event:\t", F::sum_event, Show::kNumber, false},
    {"check_sum:\t", F::check_sum, Show::kNumber, false},
    {"nb_samples:\t", F::nb_samples, Show::kNumber, false},
    {"ch_peak_x:\t", F::ch_peak_x, Show::kNumber, false},
    {"ch_peak_y:\t", F::ch_peak_y, Show::kNumber, false},
    {"ch_peak_z:\t", F::ch_peak_z, Show::kNumber, false},
    {"overflow_flag:\t", F::overflow_flag, Show::kBits3, true},
    {"sync_offset:\t", F::sync_offset, Show::kUnsigned, false},
    {"sync_second:\t", F::sync_second, Show::kNumber, false},
    {"sync_minute:\t", F::sync_minute, Show::kNumber, false},
    {"sync_hour:\t", F::sync_hour, Show::kNumber, false},
    {"sync_day:\t", F::sync_day, Show::kNumber, false},
    {"sync_month:\t", F::sync_month, Show::kNumber, false},
    {"sync_year:\t", F::sync_year, Show::kNumber, false},
    {"sync_ok:\t", F::sync_ok, Show::kNumber, false},
    {"int_offset:\t", F::int_offset, Show::kNumber, false},
    {"int_second:\t", F::int_second, Show::kNumber, false},
    {"int_minute:\t", F::int_minute, Show::kNumber, false},
    {"int_hour:\t", F::int_hour, Show::kNumber, false},
    {"int_day:\t", F::int_day, Show::kNumber, false},
    {"int_month:\t", F::int_month, Show::kNumber, false},
    {"int_year:\t", F::int_year, Show::kNumber, false},
    {"time_valid:\t", F::time_valid, Show::kNumber, false},
    {"sync_delay:\t", F::sync_delay, Show::kNumber, false},
    {"latitude:\t", F::latitude, Show::kNumber, false},
    {"longitude:\t", F::longitude, Show::kNumber, false},
    {"elevation:\t", F::elevation, Show::kNumber, false},
    {"no_gps_sats:\t", F::no_gps_sats, Show::kNumber, true},
    {"sampling:\t", F::sampling, Show::kNumber, false},
    {"nb_channel:\t", F::nb_channel, Show::kNumber, false},
    {"filter_pole:\t", F::filter_pole, Show::kNumber, false},
    {"dsp_version:\t", F::dsp_version, Show::kNumber, false},
    {"dsp_revision:\t", F::dsp_revision, Show::kNumber, false},
    {"dsp_settings:\t", F::dsp_settings, Show::kNibbles, false},
    {"adc_resol:\t", F::adc_resol, Show::kNumber, false},
    {"rec_name:\t", F::rec_name, Show::kText, false},
    {"s_number:\t", F::s_number, Show::kText, false},
    {"ss_number:\t", F::ss_number, Show::kText, false},
    {"filter_freq:\t", F::filter_freq, Show::kNumber, false},
    {"ch_lsb_mant_x:\t", F::ch_lsb_mant_x, Show::kNumber, false},
    {"ch_lsb_exp_x:\t", F::ch_lsb_exp_x, Show::kNumber, false},
    {"ch_lsb_mant_y:\t", F::ch_lsb_mant_y, Show::kNumber, false},
    {"ch_lsb_exp_y:\t", F::ch_lsb_exp_y, Show::kNumber, false},
    {"ch_lsb_mant_z:\t", F::ch_lsb_mant_z, Show::kNumber, false},
    {"ch_lsb_exp_z:\t", F::ch_lsb_exp_z, Show::kNumber, false},
    {"ch_units_x:\t", F::ch_units_x, Show::kText, false},
    {"ch_units_y:\t", F::ch_units_y, Show::kText, false},
    {"ch_units_z:\t", F::ch_units_z, Show::kText, false},
    {"ch_names_x:\t", F::ch_names_x, Show::kText, false},
    {"ch_names_y:\t", F::ch_names_y, Show::kText, false},
    {"ch_names_z:\t", F::ch_names_z, Show::kText, false},
    {"x_trigger_x:\t", F::x_trigger_x, Show::kNumber, true},
    {"x_trigger_y:\t", F::x_trigger_y, Show::kNumber, true},
    {"x_trigger_z:\t", F::x_trigger_z, Show::kNumber, true},
    {"lta_trig_x:\t", F::lta_trig_x, Show::kBcd, true},
    {"sta_trig_x:\t", F::sta_trig_x, Show::kBcd, true},
    {"ratio_trig_x:\t", F::ratio_trig_x, Show::kBcd, true},
    {"lta_trig_y:\t", F::lta_trig_y, Show::kBcd, true},
    {"sta_trig_y:\t", F::sta_trig_y, Show::kBcd, true},
    {"ratio_trig_y:\t", F::ratio_trig_y, Show::kBcd, true},
    {"lta_trig_z:\t", F::lta_trig_z, Show::kBcd, true},
    {"sta_trig_z:\t", F::sta_trig_z, Show::kBcd, true},
    {"ratio_trig_z:\t", F::ratio_trig_z, Show::kBcd, true},
    {"lta_latch_stat:\t", F::lta_latch_stat, Show::kBits3, true},
    {"dtrigger_x:\t", F::dtrigger_x, Show::kBcd, true},
    {"dtrigger_y:\t", F::dtrigger_y, Show::kBcd, true},
    {"dtrigger_z:\t", F::dtrigger_z, Show::kBcd, true},
    {"trig_window:\t", F::trig_window, Show::kBcd, true},
    {"max_recording:\t", F::max_recording, Show::kBcd, true},
    {"trig_comb:\t", F::trig_comb, Show::kBcd, true},
    {"trig_mode:\t", F::trig_mode, Show::kNumber, false},
    {"trig_chan:\t", F::trig_chan, Show::kNumber, false},
    {"prevent:\t", F::prevent, Show::kNumber, false},
    {"postevent:\t", F::postevent, Show::kNumber, false},
    {"comment:\t", F::comment, Show::kText, false},
    {"sensor_type:\t", F::sensor_type, Show::kText, true},
    {"axis_orient:\t", F::axis_orient, Show::kBits3, true},
    {"dyn_cal:\t", F::dyn_cal, Show::kNumber, true},
    {"gnd:    \t", F::gnd, Show::kNumber, false},
    {"bat_main:\t", F::bat_main, Show::kNumber, false},
    {"bat_backup:\t", F::bat_backup, Show::kNumber, false},
    {"temperature:\t", F::temperature, Show::kNumber, false},
    {"ch_offset_x:\t", F::ch_offset_x, Show::kNumber, false},
    {"ch_offset_y:\t", F::ch_offset_y, Show::kNumber, false},
    {"ch_offset_z:\t", F::ch_offset_z, Show::kNumber, false},
    {"ac_lost:\t", F::ac_lost, Show::kNumber, false},
    {"nb_ac_lost:\t", F::nb_ac_lost, Show::kNumber, false},
    {"day_lost:\t", F::day_lost, Show::kNumber, false},
    {"month_lost:\t", F::month_lost, Show::kNumber, false},
    {"year_lost:\t", F::year_lost, Show::kNumber, false},
    {"nb_restart:\t", F::nb_restart, Show::kNumber, false},
    {"day_restart:\t", F::day_restart, Show::kNumber, false},
    {"month_restart:\t", F::month_restart, Show::kNumber, false},
    {"year_restart:\t", F::year_restart, Show::kNumber, false},
    {"error:  \t", F::error, Show::kBitSet, false},
    {"warning:\t", F::warning, Show::kBitSet, false},
    {"test_sel:\t", F::test_sel, Show::kBitSet, false},
    {"test_anal1:\t", F::test_anal1, Show::kBitSet, false},
    {"test_anal2:\t", F::test_anal2, Show::kBitSet, false},
    {"test_hardw:\t", F::test_hardw, Show::kBitSet, false},
    {"test_clock:\t", F::test_clock, Show::kBitSet, false},
    {"test_2nd_mem:\t", F::test_2nd_mem, Show::kBitSet, true},
    {"test_memory:\t", F::test_memory, Show::kBitSet, false},
    {"test_battery:\t", F::test_battery, Show::kBitSet, false},
    {"len_period_vm:\t", F::len_period_vm, Show::kNumber, true},
    {"filter_delay:\t", F::filter_delay, Show::kNumber, true},
    {"recording_mode:\t", F::recording_mode, Show::kNumber, true},
    {"gain_corr_x:\t", F::gain_corr_x, Show::kNumber, true},
    {"gain_corr_y:\t", F::gain_corr_y, Show::kNumber, true},
    {"gain_corr_z:\t", F::gain_corr_z, Show::kNumber, true},
    {"cav_1_x:\t", F::cav_1_x, Show::kNumber, true},
    {"cav_1_y:\t", F::cav_1_y, Show::kNumber, true},
    {"cav_1_z:\t", F::cav_1_z, Show::kNumber, true},
    {"ah_setting:\t", F::ah_setting, Show::kNumber, true},
    {"al1_rec:\t", F::al1_rec, Show::kNumber, true},
    {"al1_cond:\t", F::al1_cond, Show::kNumber, true},
    {"al2_rec:\t", F::al2_rec, Show::kNumber, true},
    {"al2_cond:\t", F::al2_cond, Show::kNumber, true},
    {"al3_rec:\t", F::al3_rec, Show::kNumber, true},
    {"al3_cond:\t", F::al3_cond, Show::kNumber, true},
    {"al4_rec:\t", F::al4_rec, Show::kNumber, true},
    {"al4_cond:\t", F::al4_cond, Show::kNumber, true},
    {"al5_rec:\t", F::al5_rec, Show::kNumber, true},
    {"al5_cond:\t", F::al5_cond, Show::kNumber, true},
    {"al6_rec:\t", F::al6_rec, Show::kNumber, true},
    {"al6_cond:\t", F::al6_cond, Show::kNumber, true},
    {"al7_rec:\t", F::al7_rec, Show::kNumber, true},
    {"al7_cond:\t", F::al7_cond, Show::kNumber, true},
    {"al_no_msg_qud:\t", F::al_no_msg_qud, Show::kNumber, true},
    {"kbftm_x:\t", F::kbftm_x, Show::kUnsigned, true},
    {"kbftm_y:\t", F::kbftm_y, Show::kUnsigned, true},
    {"kbftm_z:\t", F::kbftm_z, Show::kUnsigned, true},
};

void AppendNumber(std::string& out, std::int64_t value) {
  out += std::to_string(value);
}

// "%lu" of a value read sign-extended: its 32 bits as unsigned (-2 shows as 4294967294).
std::int64_t AsUnsigned32(std::int64_t value) {
  return static_cast<std::uint32_t>(value);
}

std::string BitSet(std::uint8_t bits) {
  std::string out;
  for (int bit = 7; bit >= 0; --bit) {
    out.push_back((bits >> bit) & 1 ? '1' : '0');
    if (bit > 0) out.push_back('|');
  }
  return out;
}

std::string Bits3(std::uint8_t bits, const char* separator) {
  return std::to_string(bits & 1) + separator + std::to_string((bits >> 1) & 1) + separator +
         std::to_string((bits >> 2) & 1);
}

void AppendDumpValue(std::string& out, const kr::EventHeader& header, const DumpLine& line) {
  switch (line.show) {
    case Show::kNumber:
      AppendNumber(out, header.Value(line.field));
      break;
    case Show::kUnsigned:
      AppendNumber(out, AsUnsigned32(header.Value(line.field)));
      break;
    case Show::kBcd:
      AppendNumber(out, kr::DecodeBcd(header.RawByte(line.field)));
      break;
    case Show::kBits3:
      out += Bits3(header.RawByte(line.field), "/");
      break;
    case Show::kNibbles: {
      std::uint8_t byte = header.RawByte(line.field);
      AppendNumber(out, byte >> 4);
      AppendNumber(out, byte & 0x0F);
      break;
    }
    case Show::kText:
      out += header.Text(line.field);
      break;
    case Show::kBitSet:
      out += BitSet(header.RawByte(line.field));
      break;
  }
}

// Line building for the file information.
class Report {
 public:
  void Line(std::string_view text) { out_ += text; }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

constexpr F kPeaks[3] = {F::ch_peak_x, F::ch_peak_y, F::ch_peak_z};
constexpr F kUnits[3] = {F::ch_units_x, F::ch_units_y, F::ch_units_z};
constexpr F kOffsets[3] = {F::ch_offset_x, F::ch_offset_y, F::ch_offset_z};
constexpr F kGains[3] = {F::gain_corr_x, F::gain_corr_y, F::gain_corr_z};
constexpr F kCav[3] = {F::cav_1_x, F::cav_1_y, F::cav_1_z};
constexpr F kLta[3] = {F::lta_trig_x, F::lta_trig_y, F::lta_trig_z};
constexpr F kSta[3] = {F::sta_trig_x, F::sta_trig_y, F::sta_trig_z};
constexpr F kRatio[3] = {F::ratio_trig_x, F::ratio_trig_y, F::ratio_trig_z};
constexpr F kDtrigger[3] = {F::dtrigger_x, F::dtrigger_y, F::dtrigger_z};
constexpr char kAxis[3] = {'X', 'Y', 'Z'};

std::optional<kr::DateTime> HeaderDateTime(const kr::EventHeader& h, F second, F minute, F hour, F day,
                                           F month, F year, int current_year) {
  return kr::MakeEventDateTime(static_cast<int>(h.Value(year)), static_cast<int>(h.Value(month)),
                               static_cast<int>(h.Value(day)), static_cast<int>(h.Value(hour)),
                               static_cast<int>(h.Value(minute)), static_cast<int>(h.Value(second)),
                               current_year);
}

// Date and time of a header time, shifted by the local correction; "" when the fields are no valid time.
std::string TimeText(std::optional<kr::DateTime> value, const HeaderTextSettings& settings, int shift_hours) {
  if (!value) return {};
  return kr::FormatEventDateTime(kr::AddSeconds(*value, std::int64_t{shift_hours} * 3600), settings.style);
}

// The day-only lines: the date fields at midnight, cut to the first 10 characters (the date).
std::string DayText(const kr::EventHeader& h, F day, F month, F year, const HeaderTextSettings& settings) {
  std::optional<kr::DateTime> value =
      kr::MakeEventDateTime(static_cast<int>(h.Value(year)), static_cast<int>(h.Value(month)),
                            static_cast<int>(h.Value(day)), 0, 0, 0, settings.current_year);
  if (!value) return {};
  return TimeText(value, settings, 0).substr(0, 10);
}

// Millivolts as volts with two decimals, rounded half up on the decimal value (12345 -> "12.35");
// binary floating point would turn 12.345 into 12.34.
std::string Volts(std::int64_t millivolts) {
  std::int64_t centivolts = (millivolts + 5) / 10;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%" PRId64 ".%02" PRId64, centivolts / 100, centivolts % 100);
  return buffer;
}

}  // namespace

int LocalCorrectionHours(std::string_view correction_value) {
  if (correction_value.empty()) return 0;
  int hours = kr::LeadingInt(correction_value.substr(1, 2));
  if (hours < 0) hours = -hours;
  return correction_value.front() == '-' ? -hours : hours;
}

HeaderTextSettings MakeHeaderTextSettings(const kr::Clock& clock, bool us_date_format,
                                          bool download_in_progress, bool local_time_correction,
                                          std::string_view local_correction_value) {
  HeaderTextSettings settings;
  settings.current_year = clock.LocalNow().year;
  settings.style.us_format = us_date_format;
  if (download_in_progress && local_time_correction) {
    settings.time_shift_hours = LocalCorrectionHours(local_correction_value);
  }
  return settings;
}

std::string FieldDump(const kr::EventHeader& header) {
  std::string out;
  out.reserve(4096);
  bool s_layout = header.layout() == kr::HeaderLayout::kS;
  for (const DumpLine& line : kDump) {
    if (line.x_only && s_layout) {
      out += "unused\n";
      continue;
    }
    out += line.label;
    AppendDumpValue(out, header, line);
    out += '\n';
  }
  out += "\n\n\n\n";
  return out;
}

std::string FileInformation(const kr::EventHeader& h, int kind, const HeaderTextSettings& settings) {
  const bool x = h.layout() == kr::HeaderLayout::kX;
  auto value = [&](F field) { return h.Value(field); };
  auto unsigned_value = [&](F field) { return static_cast<unsigned>(h.Value(field)); };
  auto lsb = kr::LsbVector(kind, h.bytes(), /*without_x8_step=*/true);
  Report r;

  r.Line("File Info\n---------\n");
  r.Line(kr::FormatPrintf("File Number:\t%d\n", static_cast<int>(value(F::file_number))));
  r.Line(kr::FormatPrintf("File Type:\t%d\n", static_cast<int>(value(F::engg_mode))));
  r.Line(kr::FormatPrintf("Comment:\t%s\n", h.Text(F::comment).c_str()));
  r.Line(kr::FormatPrintf("Checksum:\t%d\n", static_cast<int>(value(F::check_sum))));
  r.Line(kr::FormatPrintf("Sampels:\t%lld\n", static_cast<long long>(value(F::nb_samples))));

  r.Line("\nEvent Info\n----------\n");
  for (int c = 0; c < 3; ++c) {
    double counts = static_cast<double>(value(kPeaks[c]) + kr::MillivoltCorrection(h, c));
    r.Line(kr::FormatPrintf("Peak %c:  \t%0.3f\t%s\n", kAxis[c], counts * lsb[static_cast<std::size_t>(c)],
                            h.Text(kUnits[c]).c_str()));
  }
  if (x) {
    std::uint8_t overflow = h.RawByte(F::overflow_flag);
    r.Line(kr::FormatPrintf("Offset:  \t%u / %u / %u\n", overflow & 1u, (overflow >> 1) & 1u,
                            (overflow >> 2) & 1u));
  }

  r.Line("\nTiming & GPS Info\n-----------------\n");
  r.Line(kr::FormatPrintf("Sync. Offset:\t%lld\tsamples\n",
                          static_cast<long long>(AsUnsigned32(value(F::sync_offset)))));
  r.Line(
      kr::FormatPrintf("Sync. Time:\t%s\n",
                       TimeText(HeaderDateTime(h, F::sync_second, F::sync_minute, F::sync_hour, F::sync_day,
                                               F::sync_month, F::sync_year, settings.current_year),
                                settings, settings.time_shift_hours)
                           .c_str()));
  r.Line(kr::FormatPrintf("Sync. OK:\t%s\n", value(F::sync_ok) != 0 ? "YES" : "NO"));
  r.Line(kr::FormatPrintf("Trigger Offset:\t%lld\tsamples\n",
                          static_cast<long long>(AsUnsigned32(value(F::int_offset)))));
  r.Line(kr::FormatPrintf("Trigger Time:\t%s\n",
                          TimeText(HeaderDateTime(h, F::int_second, F::int_minute, F::int_hour, F::int_day,
                                                  F::int_month, F::int_year, settings.current_year),
                                   settings, settings.time_shift_hours)
                              .c_str()));
  r.Line(kr::FormatPrintf("Unit Latitude:\t%0.4f\n", static_cast<double>(value(F::latitude)) / 10000.0));
  r.Line(kr::FormatPrintf("Unit Longitude:\t%0.4f\n", static_cast<double>(value(F::longitude)) / 10000.0));
  r.Line(kr::FormatPrintf("Unit Elevation:\t%d\n", static_cast<int>(value(F::elevation))));
  if (x) r.Line(kr::FormatPrintf("Sat at Sync:\t%d\n", static_cast<int>(value(F::no_gps_sats))));

  r.Line("\nRecorder Settings\n-----------------\n");
  r.Line(kr::FormatPrintf("Sampling rate:\t%d\tsamples/sec\n", static_cast<int>(value(F::sampling))));
  r.Line(kr::FormatPrintf("Channels:\t%d\n", static_cast<int>(value(F::nb_channel))));
  r.Line(kr::FormatPrintf("Filter Poles:\t%d\n", static_cast<int>(value(F::filter_pole))));
  auto firmware = static_cast<unsigned>(kr::FirmwareVersion(kind, h.bytes()));
  r.Line(kr::FormatPrintf("Unit Firmware:\t%s\n", kr::FormatPrintf("%3.2f", firmware / 100.0).c_str()));
  r.Line(kr::FormatPrintf(
      "DSP Firmware:\t%s\n",
      kr::FormatPrintf("%u.%2.2u", unsigned_value(F::dsp_version), unsigned_value(F::dsp_revision)).c_str()));
  std::uint8_t dsp_settings = h.RawByte(F::dsp_settings);
  r.Line(kr::FormatPrintf("DSP Settings:\t%u / %u\n", dsp_settings >> 4u, dsp_settings & 0x0Fu));
  r.Line(kr::FormatPrintf("Resolution:\t%d\n", static_cast<int>(value(F::adc_resol))));
  r.Line(kr::FormatPrintf("Unit Name:\t%s\n", h.Text(F::rec_name).c_str()));
  r.Line(kr::FormatPrintf("Unit Serial:\t%s\n", h.Text(F::s_number).c_str()));
  r.Line(kr::FormatPrintf("Sensor Serial:\t%s\n", h.Text(F::ss_number).c_str()));
  r.Line(kr::FormatPrintf("Frequency:\t%d\tHz\n", static_cast<int>(value(F::filter_freq))));
  r.Line(kr::FormatPrintf("LSB Channel X:\t%0.5f\n", lsb[0]));
  r.Line(kr::FormatPrintf("LSB Channel Y:\t%0.5f\n", lsb[1]));
  r.Line(kr::FormatPrintf("LSB Channel Z:\t%0.5f\n", lsb[2]));
  if (x) {
    for (int c = 0; c < 3; ++c) {
      r.Line(kr::FormatPrintf("Gain Corr. %c:\t%0.5f\n", kAxis[c],
                              static_cast<double>(value(kGains[c])) / 10000.0));
    }
    for (int c = 0; c < 3; ++c) {
      r.Line(kr::FormatPrintf("CAV1 Channel %c:\t%u\n", kAxis[c], unsigned_value(kCav[c])));
    }
  }

  r.Line("\nTrigger Settings\n----------------\n");
  if (x) {
    for (int c = 0; c < 3; ++c) {
      r.Line(kr::FormatPrintf("LTA %c:  \t%u\n", kAxis[c], unsigned_value(kLta[c])));
    }
    for (int c = 0; c < 3; ++c) {
      r.Line(kr::FormatPrintf("STA %c:  \t%0.1f\n", kAxis[c], static_cast<double>(value(kSta[c])) / 10.0));
    }
    for (int c = 0; c < 3; ++c) {
      r.Line(kr::FormatPrintf("Ratio %c:\t%0.1f\n", kAxis[c], static_cast<double>(value(kRatio[c])) / 10.0));
    }
    std::uint8_t latched = h.RawByte(F::lta_latch_stat);
    r.Line(
        kr::FormatPrintf("Latched:\t%d / %d / %d \n", latched & 1, (latched >> 1) & 1, (latched >> 2) & 1));
    for (int c = 0; c < 3; ++c) {
      r.Line(kr::FormatPrintf("De-trigger %c:\t%u\t\n", kAxis[c], unsigned_value(kDtrigger[c])));
    }
    r.Line(kr::FormatPrintf("Trigger Window:\t%u\t\n", unsigned_value(F::trig_window)));
    r.Line(kr::FormatPrintf("Max Rec length:\t%u\t\n", unsigned_value(F::max_recording)));
    r.Line(kr::FormatPrintf("Trigger Mode:\t%u\t\n", unsigned_value(F::trig_comb)));
  }
  r.Line(kr::FormatPrintf("Functionality:\t%u\t\n", unsigned_value(F::trig_mode)));
  r.Line(kr::FormatPrintf("Caused Trigger:\t%u\t\n", unsigned_value(F::trig_chan)));
  r.Line(kr::FormatPrintf("Pre-event:\t%u\t\n", unsigned_value(F::prevent)));
  r.Line(kr::FormatPrintf("Post-event:\t%u\t\n", unsigned_value(F::postevent)));
  if (x) {
    r.Line(kr::FormatPrintf("Sensor Type:\t%s\t\n", h.Text(F::sensor_type).c_str()));
    r.Line(kr::FormatPrintf("Axis Orient.:\t%s\t\n", Bits3(h.RawByte(F::axis_orient), " / ").c_str()));
    r.Line(kr::FormatPrintf("Dyn. Calibr.:\t%d\t\n", static_cast<int>(value(F::dyn_cal))));
  }

  r.Line("\nState of Health\n---------------\n");
  r.Line(kr::FormatPrintf("Main Battery:\t%s\tV\n", Volts(value(F::bat_main)).c_str()));
  r.Line(kr::FormatPrintf("Backup Battery:\t%s\tV\n", Volts(value(F::bat_backup)).c_str()));
  r.Line(kr::FormatPrintf("Interneal Temp:\t%d\t°celsius\n", static_cast<int>(value(F::temperature))));
  for (int c = 0; c < 3; ++c) {
    r.Line(kr::FormatPrintf("Offset %c:\t%lld\n", kAxis[c],
                            static_cast<long long>(AsUnsigned32(value(kOffsets[c])))));
  }
  r.Line(kr::FormatPrintf("Supply Power:\t%s\n", value(F::ac_lost) != 0 ? "YES" : "NO"));
  r.Line(kr::FormatPrintf("Num Losses:\t%d\n", static_cast<int>(value(F::nb_ac_lost))));
  r.Line(kr::FormatPrintf("Day of Loss:\t%s\n",
                          DayText(h, F::day_lost, F::month_lost, F::year_lost, settings).c_str()));
  r.Line(kr::FormatPrintf("Num Restarts:\t%d\n", static_cast<int>(value(F::nb_restart))));
  r.Line(kr::FormatPrintf("Day Restart:\t%s\n",
                          DayText(h, F::day_restart, F::month_restart, F::year_restart, settings).c_str()));
  r.Line(kr::FormatPrintf("Error:    \t%s\n", BitSet(h.RawByte(F::error)).c_str()));
  r.Line(kr::FormatPrintf("Warning:  \t%s\n", BitSet(h.RawByte(F::warning)).c_str()));

  r.Line("\nSelf Test Info\n--------------\n");
  r.Line(kr::FormatPrintf("Selected Tests:\t%s\n", BitSet(h.RawByte(F::test_sel)).c_str()));
  r.Line(kr::FormatPrintf("Memory:  \t%s\n", BitSet(h.RawByte(F::test_memory)).c_str()));
  r.Line(kr::FormatPrintf("Battery:  \t%s\n", BitSet(h.RawByte(F::test_battery)).c_str()));
  r.Line(kr::FormatPrintf("Clock:  \t%s\n", BitSet(h.RawByte(F::test_clock)).c_str()));
  if (x) r.Line(kr::FormatPrintf("Massstorage:\t%s\n", BitSet(h.RawByte(F::test_2nd_mem)).c_str()));
  r.Line(kr::FormatPrintf("Hardware:    \t%s\n", BitSet(h.RawByte(F::test_hardw)).c_str()));
  r.Line(kr::FormatPrintf("Analog 1:\t%s\n", BitSet(h.RawByte(F::test_anal1)).c_str()));
  r.Line(kr::FormatPrintf("Analog 2:\t%s\n", BitSet(h.RawByte(F::test_anal2)).c_str()));
  return r.Take();
}

std::string FieldDump(const kr::HeaderBytes& header) {
  int kind = EventKindFromHeader(header);
  return FieldDump(kr::EventHeader(header, kr::LayoutForKind(kind)));
}

std::string FileInformation(const kr::HeaderBytes& header, const HeaderTextSettings& settings) {
  int kind = EventKindFromHeader(header);
  return FileInformation(kr::EventHeader(header, kr::LayoutForKind(kind)), kind, settings);
}

std::filesystem::path HeaderInformationFilePath(const std::filesystem::path& temp_folder, int recorder_number,
                                                int file_number) {
  return temp_folder / kr::FormatPrintf("$hd%2.2d%3.3d.txt", recorder_number, file_number);
}

bool WriteHeaderInformationFile(const std::filesystem::path& path, const kr::HeaderBytes& header,
                                const HeaderTextSettings& settings) {
  kr::CStdioFileEx file;
  if (!file.Open(path, kr::CStdioFileEx::OpenMode::kCreate)) return false;
  bool written = file.WriteString(ToCrLf(FileInformation(header, settings)));
  return file.Close() && written;
}

std::string ToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

}  // namespace tarvik
