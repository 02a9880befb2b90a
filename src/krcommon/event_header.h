#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kr {

// The 256-byte header at the start of every event file, in its two layouts: S (skr, vkr and vmx files
// of the SKR/MKR/CKR recorders) and X (xkr and bkr files of the XKR recorder). The layouts are data:
// one table per layout gives each field's offset and type, and everything that reads a field (the
// text dumps, the export, the viewer) or writes one (the download, the simulator) goes through it.

inline constexpr std::size_t kEventHeaderSize = 256;
using HeaderBytes = std::array<std::uint8_t, kEventHeaderSize>;

enum class HeaderLayout { kS, kX };

// Every field either layout names. The enumerators are the field names the recorders' documentation
// and the text dump use. Fields without a dump name carry descriptive names (firmware bytes, S-layout
// trigger levels, the second firmware minor byte of CKR files).
// clang-format off
#define KR_EVENT_HEADER_FIELDS(X)                                                                          \
  X(file_number) X(test_sensor) X(periodic) X(engg_mode) X(sum_event) X(check_sum) X(nb_samples)           \
  X(ch_peak_x) X(ch_peak_y) X(ch_peak_z) X(overflow_flag) X(sync_offset) X(sync_second) X(sync_minute)     \
  X(sync_hour) X(sync_day) X(sync_month) X(sync_year) X(sync_ok) X(int_offset) X(int_second)               \
  X(int_minute) X(int_hour) X(int_day) X(int_month) X(int_year) X(time_valid) X(sync_delay) X(latitude)    \
  X(longitude) X(elevation) X(no_gps_sats) X(sampling) X(nb_channel) X(filter_pole) X(firmware_major)     \
  X(firmware_minor) X(firmware_minor_c) X(dsp_version) X(dsp_revision) X(dsp_settings) X(adc_resol)       \
  X(rec_name) X(s_number) X(ss_number) X(filter_freq) X(ch_lsb_mant_x) X(ch_lsb_exp_x) X(ch_lsb_mant_y)   \
  X(ch_lsb_exp_y) X(ch_lsb_mant_z) X(ch_lsb_exp_z) X(ch_units_x) X(ch_units_y) X(ch_units_z)              \
  X(ch_names_x) X(ch_names_y) X(ch_names_z) X(trig_level_x) X(trig_level_y) X(trig_level_z)              \
  X(x_trigger_x) X(x_trigger_y) X(x_trigger_z) X(lta_trig_x) X(sta_trig_x) X(ratio_trig_x) X(lta_trig_y)  \
  X(sta_trig_y) X(ratio_trig_y) X(lta_trig_z) X(sta_trig_z) X(ratio_trig_z) X(lta_latch_stat)            \
  X(dtrigger_x) X(dtrigger_y) X(dtrigger_z) X(trig_window) X(max_recording) X(trig_comb) X(trig_mode)     \
  X(trig_chan) X(prevent) X(postevent) X(comment) X(sensor_type) X(axis_orient) X(dyn_cal) X(gnd)         \
  X(bat_main) X(bat_backup) X(temperature) X(ch_offset_x) X(ch_offset_y) X(ch_offset_z) X(ac_lost)        \
  X(nb_ac_lost) X(day_lost) X(month_lost) X(year_lost) X(nb_restart) X(day_restart) X(month_restart)      \
  X(year_restart) X(error) X(warning) X(test_sel) X(test_anal1) X(test_anal2) X(test_hardw) X(test_clock) \
  X(test_2nd_mem) X(test_memory) X(test_battery) X(len_period_vm) X(filter_delay) X(recording_mode)       \
  X(gain_corr_x) X(gain_corr_y) X(gain_corr_z) X(cav_1_x) X(cav_1_y) X(cav_1_z) X(ah_setting) X(al1_rec)  \
  X(al1_cond) X(al2_rec) X(al2_cond) X(al3_rec) X(al3_cond) X(al4_rec) X(al4_cond) X(al5_rec) X(al5_cond) \
  X(al6_rec) X(al6_cond) X(al7_rec) X(al7_cond) X(al_no_msg_qud) X(kbftm_x) X(kbftm_y) X(kbftm_z)
// clang-format on

#define KR_EVENT_HEADER_ENUMERATOR(name) name,
enum class HeaderField : std::uint8_t { KR_EVENT_HEADER_FIELDS(KR_EVENT_HEADER_ENUMERATOR) kCount };
#undef KR_EVENT_HEADER_ENUMERATOR

inline constexpr std::size_t kHeaderFieldCount = static_cast<std::size_t>(HeaderField::kCount);

// How a field's bytes are stored.
enum class FieldType : std::uint8_t {
  kU8,    // unsigned byte
  kI8,    // signed byte
  kU16,   // unsigned 16-bit
  kU32,   // unsigned 32-bit
  kI24,   // 24-bit, sign-extended from bit 23
  kBcd,   // one BCD byte, two decimal digits
  kChar,  // one 8-bit character
  kText,  // fixed text of `width` characters, not necessarily zero-terminated
};

struct FieldEntry {
  HeaderField field;
  std::uint8_t offset;
  FieldType type;
  std::uint8_t width;  // bytes the field occupies
};

std::string_view FieldName(HeaderField field);
// The table of a layout, in offset order.
std::span<const FieldEntry> LayoutFields(HeaderLayout layout);
// The field's place in the layout, or nullptr when the layout has no such field.
const FieldEntry* FindField(HeaderLayout layout, HeaderField field);

// A six-channel event carries its second sensor's header in its second pair; the second file's header
// takes these bytes over from it: the per-channel fields of the second sensor, plus, in the S layout,
// bytes that the firmware places there without a field of their own (after the peaks, and inside the
// comment area).
struct HeaderByteRange {
  std::uint8_t offset;
  std::uint8_t length;
};
std::span<const HeaderField> SecondSensorFields(HeaderLayout layout);
std::span<const HeaderByteRange> SecondSensorUnnamedBytes(HeaderLayout layout);

// A header copy with its layout. Values are decoded through the layout table; a field the layout
// does not have reads as 0 (numbers) or "" (texts).
class EventHeader {
 public:
  EventHeader(const HeaderBytes& bytes, HeaderLayout layout) : bytes_(bytes), layout_(layout) {}

  const HeaderBytes& bytes() const { return bytes_; }
  HeaderLayout layout() const { return layout_; }
  bool Has(HeaderField field) const { return FindField(layout_, field) != nullptr; }

  // The number as stored: integers by their type, 24-bit values sign-extended, BCD bytes decoded,
  // characters as their byte value. Text fields read as 0.
  std::int64_t Value(HeaderField field) const;
  // The stored byte of a one-byte field without BCD decoding (0 for wider fields).
  std::uint8_t RawByte(HeaderField field) const;
  // A text field cut at its width or its first zero byte; unit texts also lose leading blanks.
  // A character field gives its one character. Numbers give "".
  std::string Text(HeaderField field) const;
  // The field's bytes exactly as stored (empty when the layout lacks the field).
  std::span<const std::uint8_t> RawBytes(HeaderField field) const;

 private:
  HeaderBytes bytes_;
  HeaderLayout layout_;
};

// Writers for producers of event files: encode a value by the field's type (BCD fields take the
// decimal value, 24-bit fields its low 24 bits). A field the layout lacks is left alone.
void SetHeaderValue(HeaderBytes& bytes, HeaderLayout layout, HeaderField field, std::int64_t value);
// Text fields: at most the field width, zero-padded. Unit texts are stored as given (callers
// right-align them the way the recorders do, "   mV").
void SetHeaderText(HeaderBytes& bytes, HeaderLayout layout, HeaderField field, std::string_view text);

}  // namespace kr
