#include "tarvik/eventfiles/header_text.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string_view>

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
  const char* format;  // the line as the recorder tools have always printed it
  F field;
  Show show;
  bool x_only;  // the S layout shows "unused" instead
};

// The line up to its printf conversion.
constexpr std::string_view LabelOf(const DumpLine& line) {
  std::string_view format = line.format;
  return format.substr(0, format.find('%'));
}

constexpr DumpLine kDump[] = {
    {"file_number:\t%d\n", F::file_number, Show::kNumber, false},
    {"test_sensor:\t%d\n", F::test_sensor, Show::kNumber, false},
    {"periodic:\t%d\n", F::periodic, Show::kNumber, false},
    {"engg_mode:\t%d\n", F::engg_mode, Show::kNumber, false},
    {"sum_event:\t%d\n", F::sum_event, Show::kNumber, false},
    {"check_sum:\t%d\n", F::check_sum, Show::kNumber, false},
    {"nb_samples:\t%d\n", F::nb_samples, Show::kNumber, false},
    {"ch_peak_x:\t%d\n", F::ch_peak_x, Show::kNumber, false},
    {"ch_peak_y:\t%d\n", F::ch_peak_y, Show::kNumber, false},
    {"ch_peak_z:\t%d\n", F::ch_peak_z, Show::kNumber, false},
    {"overflow_flag:\t%d/%d/%d\n", F::overflow_flag, Show::kBits3, true},
    {"sync_offset:\t%lu\n", F::sync_offset, Show::kUnsigned, false},
    {"sync_second:\t%d\n", F::sync_second, Show::kNumber, false},
    {"sync_minute:\t%d\n", F::sync_minute, Show::kNumber, false},
    {"sync_hour:\t%d\n", F::sync_hour, Show::kNumber, false},
    {"sync_day:\t%d\n", F::sync_day, Show::kNumber, false},
    {"sync_month:\t%d\n", F::sync_month, Show::kNumber, false},
    {"sync_year:\t%d\n", F::sync_year, Show::kNumber, false},
    {"sync_ok:\t%d\n", F::sync_ok, Show::kNumber, false},
    {"int_offset:\t%d\n", F::int_offset, Show::kNumber, false},
    {"int_second:\t%d\n", F::int_second, Show::kNumber, false},
    {"int_minute:\t%d\n", F::int_minute, Show::kNumber, false},
    {"int_hour:\t%d\n", F::int_hour, Show::kNumber, false},
    {"int_day:\t%d\n", F::int_day, Show::kNumber, false},
    {"int_month:\t%d\n", F::int_month, Show::kNumber, false},
    {"int_year:\t%d\n", F::int_year, Show::kNumber, false},
    {"time_valid:\t%d\n", F::time_valid, Show::kNumber, false},
    {"sync_delay:\t%d\n", F::sync_delay, Show::kNumber, false},
    {"latitude:\t%d\n", F::latitude, Show::kNumber, false},
    {"longitude:\t%d\n", F::longitude, Show::kNumber, false},
    {"elevation:\t%d\n", F::elevation, Show::kNumber, false},
    {"no_gps_sats:\t%d\n", F::no_gps_sats, Show::kNumber, true},
    {"sampling:\t%d\n", F::sampling, Show::kNumber, false},
    {"nb_channel:\t%d\n", F::nb_channel, Show::kNumber, false},
    {"filter_pole:\t%d\n", F::filter_pole, Show::kNumber, false},
    {"dsp_version:\t%d\n", F::dsp_version, Show::kNumber, false},
    {"dsp_revision:\t%d\n", F::dsp_revision, Show::kNumber, false},
    {"dsp_settings:\t%d%d\n", F::dsp_settings, Show::kNibbles, false},
    {"adc_resol:\t%d\n", F::adc_resol, Show::kNumber, false},
    {"rec_name:\t%s\n", F::rec_name, Show::kText, false},
    {"s_number:\t%s\n", F::s_number, Show::kText, false},
    {"ss_number:\t%s\n", F::ss_number, Show::kText, false},
    {"filter_freq:\t%d\n", F::filter_freq, Show::kNumber, false},
    {"ch_lsb_mant_x:\t%d\n", F::ch_lsb_mant_x, Show::kNumber, false},
    {"ch_lsb_exp_x:\t%d\n", F::ch_lsb_exp_x, Show::kNumber, false},
    {"ch_lsb_mant_y:\t%d\n", F::ch_lsb_mant_y, Show::kNumber, false},
    {"ch_lsb_exp_y:\t%d\n", F::ch_lsb_exp_y, Show::kNumber, false},
    {"ch_lsb_mant_z:\t%d\n", F::ch_lsb_mant_z, Show::kNumber, false},
    {"ch_lsb_exp_z:\t%d\n", F::ch_lsb_exp_z, Show::kNumber, false},
    {"ch_units_x:\t%s\n", F::ch_units_x, Show::kText, false},
    {"ch_units_y:\t%s\n", F::ch_units_y, Show::kText, false},
    {"ch_units_z:\t%s\n", F::ch_units_z, Show::kText, false},
    {"ch_names_x:\t%s\n", F::ch_names_x, Show::kText, false},
    {"ch_names_y:\t%s\n", F::ch_names_y, Show::kText, false},
    {"ch_names_z:\t%s\n", F::ch_names_z, Show::kText, false},
    {"x_trigger_x:\t%d\n", F::x_trigger_x, Show::kNumber, true},
    {"x_trigger_y:\t%d\n", F::x_trigger_y, Show::kNumber, true},
    {"x_trigger_z:\t%d\n", F::x_trigger_z, Show::kNumber, true},
    {"lta_trig_x:\t%d\n", F::lta_trig_x, Show::kBcd, true},
    {"sta_trig_x:\t%d\n", F::sta_trig_x, Show::kBcd, true},
    {"ratio_trig_x:\t%d\n", F::ratio_trig_x, Show::kBcd, true},
    {"lta_trig_y:\t%d\n", F::lta_trig_y, Show::kBcd, true},
    {"sta_trig_y:\t%d\n", F::sta_trig_y, Show::kBcd, true},
    {"ratio_trig_y:\t%d\n", F::ratio_trig_y, Show::kBcd, true},
    {"lta_trig_z:\t%d\n", F::lta_trig_z, Show::kBcd, true},
    {"sta_trig_z:\t%d\n", F::sta_trig_z, Show::kBcd, true},
    {"ratio_trig_z:\t%d\n", F::ratio_trig_z, Show::kBcd, true},
    {"lta_latch_stat:\t%d/%d/%d\n", F::lta_latch_stat, Show::kBits3, true},
    {"dtrigger_x:\t%d\n", F::dtrigger_x, Show::kBcd, true},
    {"dtrigger_y:\t%d\n", F::dtrigger_y, Show::kBcd, true},
    {"dtrigger_z:\t%d\n", F::dtrigger_z, Show::kBcd, true},
    {"trig_window:\t%d\n", F::trig_window, Show::kBcd, true},
    {"max_recording:\t%d\n", F::max_recording, Show::kBcd, true},
    {"trig_comb:\t%d\n", F::trig_comb, Show::kBcd, true},
    {"trig_mode:\t%d\n", F::trig_mode, Show::kNumber, false},
    {"trig_chan:\t%d\n", F::trig_chan, Show::kNumber, false},
    {"prevent:\t%d\n", F::prevent, Show::kNumber, false},
    {"postevent:\t%d\n", F::postevent, Show::kNumber, false},
    {"comment:\t%s\n", F::comment, Show::kText, false},
    {"sensor_type:\t%c\n", F::sensor_type, Show::kText, true},
    {"axis_orient:\t%d/%d/%d\n", F::axis_orient, Show::kBits3, true},
    {"dyn_cal:\t%d\n", F::dyn_cal, Show::kNumber, true},
    {"gnd:    \t%d\n", F::gnd, Show::kNumber, false},
    {"bat_main:\t%d\n", F::bat_main, Show::kNumber, false},
    {"bat_backup:\t%d\n", F::bat_backup, Show::kNumber, false},
    {"temperature:\t%d\n", F::temperature, Show::kNumber, false},
    {"ch_offset_x:\t%d\n", F::ch_offset_x, Show::kNumber, false},
    {"ch_offset_y:\t%d\n", F::ch_offset_y, Show::kNumber, false},
    {"ch_offset_z:\t%d\n", F::ch_offset_z, Show::kNumber, false},
    {"ac_lost:\t%d\n", F::ac_lost, Show::kNumber, false},
    {"nb_ac_lost:\t%d\n", F::nb_ac_lost, Show::kNumber, false},
    {"day_lost:\t%d\n", F::day_lost, Show::kNumber, false},
    {"month_lost:\t%d\n", F::month_lost, Show::kNumber, false},
    {"year_lost:\t%d\n", F::year_lost, Show::kNumber, false},
    {"nb_restart:\t%d\n", F::nb_restart, Show::kNumber, false},
    {"day_restart:\t%d\n", F::day_restart, Show::kNumber, false},
    {"month_restart:\t%d\n", F::month_restart, Show::kNumber, false},
    {"year_restart:\t%d\n", F::year_restart, Show::kNumber, false},
    {"error:  \t%s\n", F::error, Show::kBitSet, false},
    {"warning:\t%s\n", F::warning, Show::kBitSet, false},
    {"test_sel:\t%s\n", F::test_sel, Show::kBitSet, false},
    {"test_anal1:\t%s\n", F::test_anal1, Show::kBitSet, false},
    {"test_anal2:\t%s\n", F::test_anal2, Show::kBitSet, false},
    {"test_hardw:\t%s\n", F::test_hardw, Show::kBitSet, false},
    {"test_clock:\t%s\n", F::test_clock, Show::kBitSet, false},
    {"test_2nd_mem:\t%s\n", F::test_2nd_mem, Show::kBitSet, true},
    {"test_memory:\t%s\n", F::test_memory, Show::kBitSet, false},
    {"test_battery:\t%s\n", F::test_battery, Show::kBitSet, false},
    {"len_period_vm:\t%d\n", F::len_period_vm, Show::kNumber, true},
    {"filter_delay:\t%d\n", F::filter_delay, Show::kNumber, true},
    {"recording_mode:\t%d\n", F::recording_mode, Show::kNumber, true},
    {"gain_corr_x:\t%d\n", F::gain_corr_x, Show::kNumber, true},
    {"gain_corr_y:\t%d\n", F::gain_corr_y, Show::kNumber, true},
    {"gain_corr_z:\t%d\n", F::gain_corr_z, Show::kNumber, true},
    {"cav_1_x:\t%d\n", F::cav_1_x, Show::kNumber, true},
    {"cav_1_y:\t%d\n", F::cav_1_y, Show::kNumber, true},
    {"cav_1_z:\t%d\n", F::cav_1_z, Show::kNumber, true},
    {"ah_setting:\t%d\n", F::ah_setting, Show::kNumber, true},
    {"al1_rec:\t%u\n", F::al1_rec, Show::kNumber, true},
    {"al1_cond:\t%u\n", F::al1_cond, Show::kNumber, true},
    {"al2_rec:\t%u\n", F::al2_rec, Show::kNumber, true},
    {"al2_cond:\t%u\n", F::al2_cond, Show::kNumber, true},
    {"al3_rec:\t%u\n", F::al3_rec, Show::kNumber, true},
    {"al3_cond:\t%u\n", F::al3_cond, Show::kNumber, true},
    {"al4_rec:\t%u\n", F::al4_rec, Show::kNumber, true},
    {"al4_cond:\t%u\n", F::al4_cond, Show::kNumber, true},
    {"al5_rec:\t%u\n", F::al5_rec, Show::kNumber, true},
    {"al5_cond:\t%u\n", F::al5_cond, Show::kNumber, true},
    {"al6_rec:\t%u\n", F::al6_rec, Show::kNumber, true},
    {"al6_cond:\t%u\n", F::al6_cond, Show::kNumber, true},
    {"al7_rec:\t%u\n", F::al7_rec, Show::kNumber, true},
    {"al7_cond:\t%u\n", F::al7_cond, Show::kNumber, true},
    {"al_no_msg_qud:\t%u\n", F::al_no_msg_qud, Show::kNumber, true},
    {"kbftm_x:\t%lu\n", F::kbftm_x, Show::kUnsigned, true},
    {"kbftm_y:\t%lu\n", F::kbftm_y, Show::kUnsigned, true},
    {"kbftm_z:\t%lu\n", F::kbftm_z, Show::kUnsigned, true},
};

// Each line's conversion must be one its Show kind produces, and every line ends the line: the
// formats are the documentation of the output, so a slip between them and the code must not build.
constexpr bool ConversionMatches(const DumpLine& line) {
  std::string_view format = line.format;
  std::size_t percent = format.find('%');
  if (percent == std::string_view::npos || !format.ends_with("\n")) return false;
  std::string_view conversion = format.substr(percent, format.size() - percent - 1);
  switch (line.show) {
    case Show::kNumber:
      return conversion == "%d" || conversion == "%u";
    case Show::kUnsigned:
      return conversion == "%lu";
    case Show::kBcd:
      return conversion == "%d";
    case Show::kBits3:
      return conversion == "%d/%d/%d";
    case Show::kNibbles:
      return conversion == "%d%d";
    case Show::kText:
      return conversion == "%s" || conversion == "%c";
    case Show::kBitSet:
      return conversion == "%s";
  }
  return false;
}

constexpr bool AllConversionsMatch() {
  for (const DumpLine& line : kDump) {
    if (!ConversionMatches(line)) return false;
  }
  return true;
}
static_assert(AllConversionsMatch(), "a field dump format does not match how its value is shown");

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

// "%d/%d/%d" of bits 0, 1 and 2.
std::string Bits3(std::uint8_t bits) {
  return std::to_string(bits & 1) + "/" + std::to_string((bits >> 1) & 1) + "/" +
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
      out += Bits3(header.RawByte(line.field));
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

constexpr F kPeaks[3] = {F::ch_peak_x, F::ch_peak_y, F::ch_peak_z};
constexpr F kUnits[3] = {F::ch_units_x, F::ch_units_y, F::ch_units_z};

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

// Millivolts as volts, rounded half up on the decimal value to two places first (12345 -> 12.35):
// binary floating point would turn 12.345 into 12.34 under "%0.2f".
double RoundedVolts(std::int64_t millivolts) {
  return static_cast<double>((millivolts + 5) / 10) / 100.0;
}

// The file information, section by section; each line is formatted with its own printf format.
class FileInfoWriter {
 public:
  FileInfoWriter(const kr::EventHeader& header, int kind, const HeaderTextSettings& settings)
      : h_(header),
        kind_(kind),
        settings_(settings),
        x_(header.layout() == kr::HeaderLayout::kX),
        lsb_(kr::LsbVector(kind, header.bytes(), /*without_x8_step=*/true)) {}

  std::string Write() {
    FileInfo();
    EventInfo();
    TimingAndGps();
    RecorderSettings();
    TriggerSettings();
    StateOfHealth();
    SelfTest();
    return std::move(out_);
  }

 private:
  int Int(F field) const { return static_cast<int>(h_.Value(field)); }
  unsigned Unsigned(F field) const { return static_cast<unsigned>(h_.Value(field)); }
  // "%lu" of a value read sign-extended: its 32 bits as unsigned, whatever the width of long.
  unsigned long Unsigned32(F field) const {
    return static_cast<unsigned long>(AsUnsigned32(h_.Value(field)));
  }
  double Tenths(F field) const { return static_cast<double>(h_.Value(field)) / 10.0; }
  double TenThousandths(F field) const { return static_cast<double>(h_.Value(field)) / 10000.0; }
  std::string Bits(F field) const { return BitSet(h_.RawByte(field)); }
  unsigned Bit(F field, int bit) const { return (h_.RawByte(field) >> bit) & 1u; }
  // A peak in the channel's unit: mV channels of the X layout are corrected like their samples.
  double Peak(int c) const {
    return static_cast<double>(h_.Value(kPeaks[c]) + kr::MillivoltCorrection(h_, c)) *
           lsb_[static_cast<std::size_t>(c)];
  }
  std::string Unit(int c) const { return h_.Text(kUnits[c]); }
  std::string Time(F second, F minute, F hour, F day, F month, F year) const {
    return TimeText(HeaderDateTime(h_, second, minute, hour, day, month, year, settings_.current_year),
                    settings_, settings_.time_shift_hours);
  }

  void FileInfo() {
    out_ += "File Info\n---------\n";
    out_ += kr::FormatPrintf("File Number:\t%d\n", Int(F::file_number));
    out_ += kr::FormatPrintf("File Type:\t%d\n", Int(F::engg_mode));
    out_ += kr::FormatPrintf("Comment:\t%s\n", h_.Text(F::comment).c_str());
    out_ += kr::FormatPrintf("Checksum:\t%d\n", Int(F::check_sum));
    // "Sampels:\t%d\n" widened: counts of 2^31 and more would otherwise show negative.
    out_ += kr::FormatPrintf("Sampels:\t%lld\n", static_cast<long long>(h_.Value(F::nb_samples)));
  }

  void EventInfo() {
    out_ += "\nEvent Info\n----------\n";
    out_ += kr::FormatPrintf("Peak X:  \t%0.3f\t%s\n", Peak(0), Unit(0).c_str());
    out_ += kr::FormatPrintf("Peak Y:  \t%0.3f\t%s\n", Peak(1), Unit(1).c_str());
    out_ += kr::FormatPrintf("Peak Z:  \t%0.3f\t%s\n", Peak(2), Unit(2).c_str());
    if (x_) {
      out_ += kr::FormatPrintf("Offset:  \t%u / %u / %u\n", Bit(F::overflow_flag, 0),
                               Bit(F::overflow_flag, 1), Bit(F::overflow_flag, 2));
    }
  }

  void TimingAndGps() {
    out_ += "\nTiming & GPS Info\n-----------------\n";
    out_ += kr::FormatPrintf("Sync. Offset:\t%lu\tsamples\n", Unsigned32(F::sync_offset));
    out_ += kr::FormatPrintf(
        "Sync. Time:\t%s\n",
        Time(F::sync_second, F::sync_minute, F::sync_hour, F::sync_day, F::sync_month, F::sync_year).c_str());
    out_ += kr::FormatPrintf("Sync. OK:\t%s\n", h_.Value(F::sync_ok) != 0 ? "YES" : "NO");
    out_ += kr::FormatPrintf("Trigger Offset:\t%lu\tsamples\n", Unsigned32(F::int_offset));
    out_ += kr::FormatPrintf(
        "Trigger Time:\t%s\n",
        Time(F::int_second, F::int_minute, F::int_hour, F::int_day, F::int_month, F::int_year).c_str());
    out_ += kr::FormatPrintf("Unit Latitude:\t%0.4f\n", TenThousandths(F::latitude));
    out_ += kr::FormatPrintf("Unit Longitude:\t%0.4f\n", TenThousandths(F::longitude));
    out_ += kr::FormatPrintf("Unit Elevation:\t%d\n", Int(F::elevation));
    if (x_) out_ += kr::FormatPrintf("Sat at Sync:\t%d\n", Int(F::no_gps_sats));
  }

  void RecorderSettings() {
    out_ += "\nRecorder Settings\n-----------------\n";
    out_ += kr::FormatPrintf("Sampling rate:\t%d\tsamples/sec\n", Int(F::sampling));
    out_ += kr::FormatPrintf("Channels:\t%d\n", Int(F::nb_channel));
    out_ += kr::FormatPrintf("Filter Poles:\t%d\n", Int(F::filter_pole));
    const auto firmware = static_cast<unsigned>(kr::FirmwareVersion(kind_, h_.bytes()));
    out_ += kr::FormatPrintf("Unit Firmware:\t%s\n", kr::FormatPrintf("%3.2f", firmware / 100.0).c_str());
    out_ += kr::FormatPrintf(
        "DSP Firmware:\t%s\n",
        kr::FormatPrintf("%u.%2.2u", Unsigned(F::dsp_version), Unsigned(F::dsp_revision)).c_str());
    const std::uint8_t dsp_settings = h_.RawByte(F::dsp_settings);
    out_ += kr::FormatPrintf("DSP Settings:\t%u / %u\n", dsp_settings >> 4u, dsp_settings & 0x0Fu);
    out_ += kr::FormatPrintf("Resolution:\t%d\n", Int(F::adc_resol));
    out_ += kr::FormatPrintf("Unit Name:\t%s\n", h_.Text(F::rec_name).c_str());
    out_ += kr::FormatPrintf("Unit Serial:\t%s\n", h_.Text(F::s_number).c_str());
    out_ += kr::FormatPrintf("Sensor Serial:\t%s\n", h_.Text(F::ss_number).c_str());
    out_ += kr::FormatPrintf("Frequency:\t%d\tHz\n", Int(F::filter_freq));
    out_ += kr::FormatPrintf("LSB Channel X:\t%0.5f\n", lsb_[0]);
    out_ += kr::FormatPrintf("LSB Channel Y:\t%0.5f\n", lsb_[1]);
    out_ += kr::FormatPrintf("LSB Channel Z:\t%0.5f\n", lsb_[2]);
    if (!x_) return;
    out_ += kr::FormatPrintf("Gain Corr. X:\t%0.5f\n", TenThousandths(F::gain_corr_x));
    out_ += kr::FormatPrintf("Gain Corr. Y:\t%0.5f\n", TenThousandths(F::gain_corr_y));
    out_ += kr::FormatPrintf("Gain Corr. Z:\t%0.5f\n", TenThousandths(F::gain_corr_z));
    out_ += kr::FormatPrintf("CAV1 Channel X:\t%u\n", Unsigned(F::cav_1_x));
    out_ += kr::FormatPrintf("CAV1 Channel Y:\t%u\n", Unsigned(F::cav_1_y));
    out_ += kr::FormatPrintf("CAV1 Channel Z:\t%u\n", Unsigned(F::cav_1_z));
  }

  // The X layout's STA/LTA group shows the plain bytes here (STA and ratio in tenths).
  void StaLtaSettings() {
    out_ += kr::FormatPrintf("LTA X:  \t%u\n", Unsigned(F::lta_trig_x));
    out_ += kr::FormatPrintf("LTA Y:  \t%u\n", Unsigned(F::lta_trig_y));
    out_ += kr::FormatPrintf("LTA Z:  \t%u\n", Unsigned(F::lta_trig_z));
    out_ += kr::FormatPrintf("STA X:  \t%0.1f\n", Tenths(F::sta_trig_x));
    out_ += kr::FormatPrintf("STA Y:  \t%0.1f\n", Tenths(F::sta_trig_y));
    out_ += kr::FormatPrintf("STA Z:  \t%0.1f\n", Tenths(F::sta_trig_z));
    out_ += kr::FormatPrintf("Ratio X:\t%0.1f\n", Tenths(F::ratio_trig_x));
    out_ += kr::FormatPrintf("Ratio Y:\t%0.1f\n", Tenths(F::ratio_trig_y));
    out_ += kr::FormatPrintf("Ratio Z:\t%0.1f\n", Tenths(F::ratio_trig_z));
    out_ += kr::FormatPrintf("Latched:\t%d / %d / %d \n", static_cast<int>(Bit(F::lta_latch_stat, 0)),
                             static_cast<int>(Bit(F::lta_latch_stat, 1)),
                             static_cast<int>(Bit(F::lta_latch_stat, 2)));
    out_ += kr::FormatPrintf("De-trigger X:\t%u\t\n", Unsigned(F::dtrigger_x));
    out_ += kr::FormatPrintf("De-trigger Y:\t%u\t\n", Unsigned(F::dtrigger_y));
    out_ += kr::FormatPrintf("De-trigger Z:\t%u\t\n", Unsigned(F::dtrigger_z));
    out_ += kr::FormatPrintf("Trigger Window:\t%u\t\n", Unsigned(F::trig_window));
    out_ += kr::FormatPrintf("Max Rec length:\t%u\t\n", Unsigned(F::max_recording));
    out_ += kr::FormatPrintf("Trigger Mode:\t%u\t\n", Unsigned(F::trig_comb));
  }

  void TriggerSettings() {
    out_ += "\nTrigger Settings\n----------------\n";
    if (x_) StaLtaSettings();
    out_ += kr::FormatPrintf("Functionality:\t%u\t\n", Unsigned(F::trig_mode));
    out_ += kr::FormatPrintf("Caused Trigger:\t%u\t\n", Unsigned(F::trig_chan));
    out_ += kr::FormatPrintf("Pre-event:\t%u\t\n", Unsigned(F::prevent));
    out_ += kr::FormatPrintf("Post-event:\t%u\t\n", Unsigned(F::postevent));
    if (!x_) return;
    // "Sensor Type:\t%c\t\n" as text: a zero byte shows as nothing and a Latin-1 letter stays one
    // character of the UTF-16 file.
    out_ += kr::FormatPrintf("Sensor Type:\t%s\t\n", h_.Text(F::sensor_type).c_str());
    out_ += kr::FormatPrintf("Axis Orient.:\t%u / %u / %u\t\n", Bit(F::axis_orient, 0),
                             Bit(F::axis_orient, 1), Bit(F::axis_orient, 2));
    out_ += kr::FormatPrintf("Dyn. Calibr.:\t%d\t\n", Int(F::dyn_cal));
  }

  void StateOfHealth() {
    out_ += "\nState of Health\n---------------\n";
    out_ += kr::FormatPrintf("Main Battery:\t%0.2f\tV\n", RoundedVolts(h_.Value(F::bat_main)));
    out_ += kr::FormatPrintf("Backup Battery:\t%0.2f\tV\n", RoundedVolts(h_.Value(F::bat_backup)));
    out_ += kr::FormatPrintf("Interneal Temp:\t%d\t°celsius\n", Int(F::temperature));
    out_ += kr::FormatPrintf("Offset X:\t%lu\n", Unsigned32(F::ch_offset_x));
    out_ += kr::FormatPrintf("Offset Y:\t%lu\n", Unsigned32(F::ch_offset_y));
    out_ += kr::FormatPrintf("Offset Z:\t%lu\n", Unsigned32(F::ch_offset_z));
    out_ += kr::FormatPrintf("Supply Power:\t%s\n", h_.Value(F::ac_lost) != 0 ? "YES" : "NO");
    out_ += kr::FormatPrintf("Num Losses:\t%d\n", Int(F::nb_ac_lost));
    out_ += kr::FormatPrintf("Day of Loss:\t%s\n",
                             DayText(h_, F::day_lost, F::month_lost, F::year_lost, settings_).c_str());
    out_ += kr::FormatPrintf("Num Restarts:\t%d\n", Int(F::nb_restart));
    out_ +=
        kr::FormatPrintf("Day Restart:\t%s\n",
                         DayText(h_, F::day_restart, F::month_restart, F::year_restart, settings_).c_str());
    out_ += kr::FormatPrintf("Error:    \t%s\n", Bits(F::error).c_str());
    out_ += kr::FormatPrintf("Warning:  \t%s\n", Bits(F::warning).c_str());
  }

  void SelfTest() {
    out_ += "\nSelf Test Info\n--------------\n";
    out_ += kr::FormatPrintf("Selected Tests:\t%s\n", Bits(F::test_sel).c_str());
    out_ += kr::FormatPrintf("Memory:  \t%s\n", Bits(F::test_memory).c_str());
    out_ += kr::FormatPrintf("Battery:  \t%s\n", Bits(F::test_battery).c_str());
    out_ += kr::FormatPrintf("Clock:  \t%s\n", Bits(F::test_clock).c_str());
    if (x_) out_ += kr::FormatPrintf("Massstorage:\t%s\n", Bits(F::test_2nd_mem).c_str());
    out_ += kr::FormatPrintf("Hardware:    \t%s\n", Bits(F::test_hardw).c_str());
    out_ += kr::FormatPrintf("Analog 1:\t%s\n", Bits(F::test_anal1).c_str());
    out_ += kr::FormatPrintf("Analog 2:\t%s\n", Bits(F::test_anal2).c_str());
  }

  const kr::EventHeader& h_;
  int kind_;
  const HeaderTextSettings& settings_;
  bool x_;
  std::array<double, 3> lsb_;
  std::string out_;
};

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
    out += LabelOf(line);
    AppendDumpValue(out, header, line);
    out += '\n';
  }
  out += "\n\n\n\n";
  return out;
}

std::string FileInformation(const kr::EventHeader& header, int kind, const HeaderTextSettings& settings) {
  return FileInfoWriter(header, kind, settings).Write();
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
