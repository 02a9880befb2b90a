#include "krcommon/event_header.h"

#include "krcommon/event_bytes.h"

namespace kr {

namespace {

using F = HeaderField;
using T = FieldType;

constexpr FieldEntry U8(F f, int offset) {
  return {f, static_cast<std::uint8_t>(offset), T::kU8, 1};
}
constexpr FieldEntry I8(F f, int offset) {
  return {f, static_cast<std::uint8_t>(offset), T::kI8, 1};
}
constexpr FieldEntry U16(F f, int offset) {
  return {f, static_cast<std::uint8_t>(offset), T::kU16, 2};
}
constexpr FieldEntry U32(F f, int offset) {
  return {f, static_cast<std::uint8_t>(offset), T::kU32, 4};
}
constexpr FieldEntry I24(F f, int offset) {
  return {f, static_cast<std::uint8_t>(offset), T::kI24, 3};
}
constexpr FieldEntry Bcd(F f, int offset) {
  return {f, static_cast<std::uint8_t>(offset), T::kBcd, 1};
}
constexpr FieldEntry Chr(F f, int offset) {
  return {f, static_cast<std::uint8_t>(offset), T::kChar, 1};
}
constexpr FieldEntry Txt(F f, int offset, int width) {
  return {f, static_cast<std::uint8_t>(offset), T::kText, static_cast<std::uint8_t>(width)};
}

// clang-format off
// S layout: SKR4100, MKR4100 and CKR4100 files (skr, vkr, vmx).
constexpr FieldEntry kSLayout[] = {
    U16(F::file_number, 0),     U8(F::test_sensor, 2),       U8(F::periodic, 3),
    U16(F::sum_event, 4),       U32(F::nb_samples, 6),       U16(F::sampling, 10),
    U8(F::nb_channel, 12),      U16(F::ch_peak_x, 13),       U16(F::ch_peak_y, 15),
    U16(F::ch_peak_z, 17),      U8(F::check_sum, 25),        U8(F::firmware_minor, 26),
    Txt(F::ss_number, 27, 5),   I24(F::sync_offset, 32),     Bcd(F::sync_second, 36),
    Bcd(F::sync_minute, 37),    Bcd(F::sync_hour, 38),       Bcd(F::sync_day, 39),
    Bcd(F::sync_month, 40),     Bcd(F::sync_year, 41),       U8(F::sync_ok, 42),
    U16(F::int_offset, 43),     Bcd(F::int_second, 45),      Bcd(F::int_minute, 46),
    Bcd(F::int_hour, 47),       Bcd(F::int_day, 48),         Bcd(F::int_month, 49),
    Bcd(F::int_year, 50),       U8(F::time_valid, 51),       U16(F::gnd, 52),
    U16(F::bat_main, 54),       U16(F::bat_backup, 56),      U8(F::temperature, 63),
    Txt(F::rec_name, 64, 7),    Txt(F::s_number, 71, 5),     U16(F::filter_freq, 76),
    U8(F::filter_pole, 78),     U8(F::firmware_major, 79),   U16(F::adc_resol, 80),
    U16(F::ch_offset_x, 82),    U16(F::ch_offset_y, 84),     U16(F::ch_offset_z, 86),
    U16(F::ch_lsb_mant_x, 94),  I8(F::ch_lsb_exp_x, 96),     U16(F::ch_lsb_mant_y, 97),
    I8(F::ch_lsb_exp_y, 99),    U16(F::ch_lsb_mant_z, 100),  I8(F::ch_lsb_exp_z, 102),
    Txt(F::ch_units_x, 112, 5), Txt(F::ch_units_y, 117, 5),  Txt(F::ch_units_z, 122, 5),
    Txt(F::ch_names_x, 142, 3), Txt(F::ch_names_y, 145, 3),  Txt(F::ch_names_z, 148, 3),
    U16(F::trig_level_x, 160),  U16(F::trig_level_y, 162),   U16(F::trig_level_z, 164),
    U8(F::trig_mode, 172),      U8(F::prevent, 173),         U8(F::postevent, 174),
    U8(F::trig_chan, 175),      Txt(F::comment, 176, 30),    U16(F::sync_delay, 206),
    U8(F::ac_lost, 208),        U8(F::nb_ac_lost, 209),      Bcd(F::day_lost, 210),
    Bcd(F::month_lost, 211),    Bcd(F::year_lost, 212),      U8(F::nb_restart, 213),
    Bcd(F::day_restart, 214),   Bcd(F::month_restart, 215),  Bcd(F::year_restart, 216),
    U8(F::error, 217),          U8(F::warning, 219),         U8(F::test_sel, 221),
    U8(F::dsp_version, 222),    U8(F::dsp_revision, 223),    U8(F::test_anal1, 224),
    U8(F::test_anal2, 225),     U8(F::test_hardw, 226),      U8(F::test_clock, 228),
    U8(F::test_memory, 230),    U8(F::test_battery, 232),    U8(F::firmware_minor_c, 233),
    I24(F::latitude, 234),      I24(F::longitude, 237),      U8(F::len_period_vm, 247),
    U8(F::dsp_settings, 249),   U8(F::engg_mode, 250),       I24(F::elevation, 251),
    U8(F::recording_mode, 254),
};

// X layout: XKR4100 files (xkr, bkr).
constexpr FieldEntry kXLayout[] = {
    U16(F::file_number, 0),      U8(F::test_sensor, 2),       U8(F::periodic, 3),
    U8(F::engg_mode, 4),         U16(F::sum_event, 5),        U8(F::check_sum, 7),
    U32(F::nb_samples, 8),       I24(F::ch_peak_x, 12),       I24(F::ch_peak_y, 15),
    I24(F::ch_peak_z, 18),       U8(F::overflow_flag, 21),    I24(F::sync_offset, 22),
    Bcd(F::sync_second, 26),     Bcd(F::sync_minute, 27),     Bcd(F::sync_hour, 28),
    Bcd(F::sync_day, 29),        Bcd(F::sync_month, 30),      Bcd(F::sync_year, 31),
    U8(F::sync_ok, 32),          U16(F::int_offset, 33),      Bcd(F::int_second, 35),
    Bcd(F::int_minute, 36),      Bcd(F::int_hour, 37),        Bcd(F::int_day, 38),
    Bcd(F::int_month, 39),       Bcd(F::int_year, 40),        U8(F::time_valid, 41),
    U16(F::sync_delay, 42),      I24(F::latitude, 44),        I24(F::longitude, 47),
    I24(F::elevation, 50),       Bcd(F::no_gps_sats, 53),     U16(F::sampling, 54),
    U8(F::nb_channel, 56),       U8(F::filter_pole, 57),      U8(F::firmware_major, 58),
    U8(F::firmware_minor, 59),   U8(F::dsp_version, 60),      U8(F::dsp_revision, 61),
    U8(F::dsp_settings, 62),     U8(F::adc_resol, 63),        Txt(F::rec_name, 64, 7),
    Txt(F::s_number, 71, 5),     Txt(F::ss_number, 76, 5),    U16(F::filter_freq, 81),
    U16(F::ch_lsb_mant_x, 83),   I8(F::ch_lsb_exp_x, 85),     U16(F::ch_lsb_mant_y, 86),
    I8(F::ch_lsb_exp_y, 88),     U16(F::ch_lsb_mant_z, 89),   I8(F::ch_lsb_exp_z, 91),
    Txt(F::ch_units_x, 92, 5),   Txt(F::ch_units_y, 97, 5),   Txt(F::ch_units_z, 102, 5),
    Txt(F::ch_names_x, 107, 3),  Txt(F::ch_names_y, 110, 3),  Txt(F::ch_names_z, 113, 3),
    I24(F::x_trigger_x, 116),    I24(F::x_trigger_y, 119),    I24(F::x_trigger_z, 122),
    U8(F::lta_trig_x, 125),      U8(F::sta_trig_x, 126),      U8(F::ratio_trig_x, 127),
    U8(F::lta_trig_y, 128),      U8(F::sta_trig_y, 129),      U8(F::ratio_trig_y, 130),
    U8(F::lta_trig_z, 131),      U8(F::sta_trig_z, 132),      U8(F::ratio_trig_z, 133),
    U8(F::lta_latch_stat, 134),  U8(F::dtrigger_x, 135),      U8(F::dtrigger_y, 136),
    U8(F::dtrigger_z, 137),      U8(F::trig_window, 138),     U8(F::max_recording, 139),
    U8(F::trig_comb, 140),       U8(F::trig_mode, 141),       U8(F::trig_chan, 142),
    U8(F::prevent, 143),         U8(F::postevent, 144),       Txt(F::comment, 145, 30),
    Chr(F::sensor_type, 175),    U8(F::axis_orient, 176),     U8(F::dyn_cal, 177),
    U16(F::gnd, 178),            U16(F::bat_main, 180),       U16(F::bat_backup, 182),
    U8(F::temperature, 184),     I24(F::ch_offset_x, 185),    I24(F::ch_offset_y, 188),
    I24(F::ch_offset_z, 191),    U8(F::ac_lost, 194),         U8(F::nb_ac_lost, 195),
    Bcd(F::day_lost, 196),       Bcd(F::month_lost, 197),     Bcd(F::year_lost, 198),
    U8(F::nb_restart, 199),      Bcd(F::day_restart, 200),    Bcd(F::month_restart, 201),
    Bcd(F::year_restart, 202),   U8(F::error, 203),           U8(F::warning, 204),
    U8(F::test_sel, 205),        U8(F::test_anal1, 206),      U8(F::test_anal2, 207),
    U8(F::test_hardw, 208),      U8(F::test_clock, 209),      U8(F::test_2nd_mem, 210),
    U8(F::test_memory, 211),     U8(F::test_battery, 212),    U8(F::len_period_vm, 213),
    U8(F::filter_delay, 214),    U8(F::recording_mode, 215),  U16(F::gain_corr_x, 216),
    U16(F::gain_corr_y, 218),    U16(F::gain_corr_z, 220),    U16(F::cav_1_x, 222),
    U16(F::cav_1_y, 224),        U16(F::cav_1_z, 226),        U8(F::ah_setting, 231),
    U8(F::al1_rec, 232),         U8(F::al1_cond, 233),        U8(F::al2_rec, 234),
    U8(F::al2_cond, 235),        U8(F::al3_rec, 236),         U8(F::al3_cond, 237),
    U8(F::al4_rec, 238),         U8(F::al4_cond, 239),        U8(F::al5_rec, 240),
    U8(F::al5_cond, 241),        U8(F::al6_rec, 242),         U8(F::al6_cond, 243),
    U8(F::al7_rec, 244),         U8(F::al7_cond, 245),        U8(F::al_no_msg_qud, 246),
    I24(F::kbftm_x, 247),        I24(F::kbftm_y, 250),        I24(F::kbftm_z, 253),
};
// clang-format on

// A layout table must list its fields in offset order without overlaps, inside the 256 bytes, and
// name each field once; checked while compiling so that a slip in the tables cannot ship.
template <std::size_t N>
constexpr bool LayoutIsSound(const FieldEntry (&table)[N]) {
  std::array<bool, kHeaderFieldCount> seen{};
  int next_free = 0;
  for (const FieldEntry& entry : table) {
    if (entry.offset < next_free || entry.width == 0) return false;
    next_free = entry.offset + entry.width;
    if (next_free > static_cast<int>(kEventHeaderSize)) return false;
    auto index = static_cast<std::size_t>(entry.field);
    if (seen[index]) return false;
    seen[index] = true;
  }
  return true;
}
static_assert(LayoutIsSound(kSLayout), "S layout table out of order or overlapping");
static_assert(LayoutIsSound(kXLayout), "X layout table out of order or overlapping");

using FieldIndex = std::array<std::int16_t, kHeaderFieldCount>;

template <std::size_t N>
constexpr FieldIndex MakeIndex(const FieldEntry (&table)[N]) {
  FieldIndex index{};
  for (auto& slot : index) slot = -1;
  for (std::size_t i = 0; i < N; ++i)
    index[static_cast<std::size_t>(table[i].field)] = static_cast<std::int16_t>(i);
  return index;
}

constexpr FieldIndex kSIndex = MakeIndex(kSLayout);
constexpr FieldIndex kXIndex = MakeIndex(kXLayout);

#define KR_EVENT_HEADER_NAME(name) #name,
constexpr std::string_view kFieldNames[] = {KR_EVENT_HEADER_FIELDS(KR_EVENT_HEADER_NAME)};
#undef KR_EVENT_HEADER_NAME
static_assert(std::size(kFieldNames) == kHeaderFieldCount);

bool IsUnitField(HeaderField field) {
  return field == F::ch_units_x || field == F::ch_units_y || field == F::ch_units_z;
}

}  // namespace

std::string_view FieldName(HeaderField field) {
  auto index = static_cast<std::size_t>(field);
  return index < kHeaderFieldCount ? kFieldNames[index] : std::string_view();
}

std::span<const FieldEntry> LayoutFields(HeaderLayout layout) {
  if (layout == HeaderLayout::kX) return kXLayout;
  return kSLayout;
}

namespace {

// clang-format off
constexpr HeaderField kSecondSensorS[] = {
    F::nb_channel,    F::ch_peak_x,     F::ch_peak_y,    F::ch_peak_z,     F::ch_offset_x,  F::ch_offset_y,
    F::ch_offset_z,   F::ch_lsb_mant_x, F::ch_lsb_exp_x, F::ch_lsb_mant_y, F::ch_lsb_exp_y, F::ch_lsb_mant_z,
    F::ch_lsb_exp_z,  F::ch_units_x,    F::ch_units_y,   F::ch_units_z,    F::ch_names_x,   F::ch_names_y,
    F::ch_names_z,
};
constexpr HeaderField kSecondSensorX[] = {
    F::ch_peak_x,     F::ch_peak_y,     F::ch_peak_z,     F::overflow_flag, F::ch_lsb_mant_x, F::ch_lsb_exp_x,
    F::ch_lsb_mant_y, F::ch_lsb_exp_y,  F::ch_lsb_mant_z, F::ch_lsb_exp_z,  F::ch_units_x,    F::ch_units_y,
    F::ch_units_z,    F::ch_names_x,    F::ch_names_y,    F::ch_names_z,    F::x_trigger_x,   F::x_trigger_y,
    F::x_trigger_z,   F::ch_offset_x,   F::ch_offset_y,   F::ch_offset_z,   F::gain_corr_x,   F::gain_corr_y,
    F::gain_corr_z,   F::kbftm_x,       F::kbftm_y,       F::kbftm_z,
};
// clang-format on
constexpr HeaderByteRange kSecondSensorUnnamedS[] = {{19, 2}, {185, 9}};

}  // namespace

std::span<const HeaderField> SecondSensorFields(HeaderLayout layout) {
  if (layout == HeaderLayout::kX) return kSecondSensorX;
  return kSecondSensorS;
}

std::span<const HeaderByteRange> SecondSensorUnnamedBytes(HeaderLayout layout) {
  if (layout == HeaderLayout::kX) return {};
  return kSecondSensorUnnamedS;
}

const FieldEntry* FindField(HeaderLayout layout, HeaderField field) {
  auto index = static_cast<std::size_t>(field);
  if (index >= kHeaderFieldCount) return nullptr;
  std::int16_t position = layout == HeaderLayout::kX ? kXIndex[index] : kSIndex[index];
  if (position < 0) return nullptr;
  return &LayoutFields(layout)[static_cast<std::size_t>(position)];
}

std::int64_t EventHeader::Value(HeaderField field) const {
  const FieldEntry* entry = FindField(layout_, field);
  if (entry == nullptr) return 0;
  std::span<const std::uint8_t> b = bytes_;
  switch (entry->type) {
    case T::kU8:
    case T::kChar:
      return ReadU8(b, entry->offset);
    case T::kI8:
      return ReadI8(b, entry->offset);
    case T::kU16:
      return ReadU16Le(b, entry->offset);
    case T::kU32:
      return ReadU32Le(b, entry->offset);
    case T::kI24:
      return ReadI24Le(b, entry->offset);
    case T::kBcd:
      return DecodeBcd(ReadU8(b, entry->offset));
    case T::kText:
      return 0;
  }
  return 0;
}

std::uint8_t EventHeader::RawByte(HeaderField field) const {
  const FieldEntry* entry = FindField(layout_, field);
  if (entry == nullptr || entry->width != 1) return 0;
  return bytes_[entry->offset];
}

std::string EventHeader::Text(HeaderField field) const {
  const FieldEntry* entry = FindField(layout_, field);
  if (entry == nullptr) return {};
  if (entry->type == T::kChar) return Latin1Char(bytes_[entry->offset]);
  if (entry->type != T::kText) return {};
  if (IsUnitField(field)) return ReadUnitText(bytes_, entry->offset, entry->width);
  return ReadFixedText(bytes_, entry->offset, entry->width);
}

std::span<const std::uint8_t> EventHeader::RawBytes(HeaderField field) const {
  const FieldEntry* entry = FindField(layout_, field);
  if (entry == nullptr) return {};
  return std::span<const std::uint8_t>(bytes_).subspan(entry->offset, entry->width);
}

void SetHeaderValue(HeaderBytes& bytes, HeaderLayout layout, HeaderField field, std::int64_t value) {
  const FieldEntry* entry = FindField(layout, field);
  if (entry == nullptr) return;
  std::span<std::uint8_t> b = bytes;
  switch (entry->type) {
    case T::kU8:
    case T::kI8:
    case T::kChar:
      WriteU8(b, entry->offset, static_cast<std::uint8_t>(value));
      break;
    case T::kU16:
      WriteU16Le(b, entry->offset, static_cast<std::uint16_t>(value));
      break;
    case T::kU32:
      WriteU32Le(b, entry->offset, static_cast<std::uint32_t>(value));
      break;
    case T::kI24:
      WriteI24Le(b, entry->offset, static_cast<std::int32_t>(value));
      break;
    case T::kBcd:
      WriteU8(b, entry->offset, EncodeBcd(static_cast<int>(value % 100)));
      break;
    case T::kText:
      break;
  }
}

void SetHeaderText(HeaderBytes& bytes, HeaderLayout layout, HeaderField field, std::string_view text) {
  const FieldEntry* entry = FindField(layout, field);
  if (entry == nullptr) return;
  if (entry->type == T::kChar) {
    WriteU8(bytes, entry->offset, text.empty() ? 0 : static_cast<std::uint8_t>(text[0]));
    return;
  }
  if (entry->type == T::kText) WriteFixedText(bytes, entry->offset, entry->width, text);
}

}  // namespace kr
