#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "krcommon/clock.h"
#include "krcommon/event_header.h"
#include "krcommon/string_table.h"

namespace ondalyne {

// Stored sample frames, packed byte by byte as in the file (X, Y, Z little-endian), so that a frame
// of a 3-channel file is copied into the array without decoding.
#pragma pack(push, 1)
struct C_skr_signal {
  std::uint8_t bytes[6];  // X, Y, Z signed 16-bit
};
struct C_bkr_signal {
  std::uint8_t bytes[6];  // X, Y, Z unsigned 16-bit
};
struct C_xkr_signal {
  std::uint8_t bytes[9];  // X, Y, Z signed 24-bit
};
#pragma pack(pop)
static_assert(sizeof(C_skr_signal) == 6 && sizeof(C_bkr_signal) == 6 && sizeof(C_xkr_signal) == 9);

// The peak frequencies of one record of VM sub-mode 7: X in the low and Y in the high 16 bits of
// `xy`, Z in `z`, all in tenths of a hertz.
struct FrequencyPair {
  std::int32_t xy = 0;
  std::int32_t z = 0;
};

// One message the load produced: its string-table id and the text as formatted.
struct DocMessage {
  int id = 0;
  std::string text;
};

struct LoadOptions {
  bool us_date = false;
  int current_year = 2026;  // two-digit years are expanded around it
};

// The file kind the viewer gives a file by its name: ...XKR 3, ...VMX 4, ...BKR 5, ...VKR 2, any
// other name 1 (compared without regard to case; the header is not consulted).
int KindFromFileName(const std::string& file_name);

// The units as the viewer shows them: "mm/s2" becomes "mm/s²", "mm/s2*s" becomes "mm/s".
std::string MapUnit(const std::string& trimmed_unit);

// One opened event file: the header, the samples or interval records, and their statistics. It is
// loaded exactly once and never written back.
class ByteSource;

class COndalyneDoc {
 public:
  // Reads the file; the kind comes from the file name. On failure the kind is 0 and the messages
  // say why; a short file keeps what was read (message 173) and counts as loaded.
  void Load(const std::filesystem::path& path, const kr::StringTable& strings, const LoadOptions& options);
  // The same from bytes in memory (the fuzz target and tests); `file_name` decides the kind.
  void LoadBytes(std::span<const std::uint8_t> bytes, const std::string& file_name,
                 const kr::StringTable& strings, const LoadOptions& options);

  int kind() const { return kind_; }
  bool IsInterval() const { return kind_ == 4 || kind_ == 5; }
  const std::string& path() const { return path_; }
  const kr::HeaderBytes& header() const { return header_; }
  kr::EventHeader Header() const;
  int firmware() const { return firmware_; }
  int recording_mode() const { return recording_mode_; }
  int vm_sub_mode() const { return vm_sub_mode_; }
  double sampling_rate() const { return sampling_rate_; }
  int channels_in_file() const { return channels_in_file_; }
  const std::array<std::string, 3>& units() const { return units_; }
  const std::array<double, 3>& scale_factors() const { return scale_factors_; }
  const std::array<double, 3>& trigger_levels() const { return trigger_levels_; }
  // The channel's unit field reads "   mV" exactly (kind 3 corrects those counts).
  bool IsMillivolt(int channel) const { return millivolt_[static_cast<std::size_t>(channel)]; }
  // Kinds 4 and 5 in recording mode 2, 3 or 7.
  bool IsKbFile() const;

  const std::string& trigger_text() const { return trigger_text_; }
  const std::string& start_text() const { return start_text_; }
  const std::string& power_loss_text() const { return power_loss_text_; }
  const std::string& time_mark_text() const { return time_mark_text_; }
  const std::optional<kr::DateTime>& start_date_time() const { return start_date_time_; }
  double start_seconds_of_day() const { return start_seconds_; }
  double trigger_seconds_of_day() const { return trigger_seconds_; }
  int pre_event_seconds() const { return pre_event_; }

  std::uint32_t expected() const { return expected_; }
  std::uint32_t count() const { return count_; }
  const std::array<double, 3>& minimum() const { return min_; }
  const std::array<double, 3>& maximum() const { return max_; }
  const std::array<double, 3>& mean() const { return mean_; }
  const std::array<double, 3>& rms() const { return rms_; }
  double overall_min() const { return overall_min_; }
  double overall_max() const { return overall_max_; }
  bool HasVectorSum() const { return !vector_sums_.empty(); }
  bool HasFrequencies() const { return !frequencies_.empty(); }
  double vector_sum_min() const { return vector_sum_min_; }
  double vector_sum_max() const { return vector_sum_max_; }
  double frequency_min() const { return frequency_min_; }
  double frequency_max() const { return frequency_max_; }
  const std::vector<double>& vector_sums() const { return vector_sums_; }
  const std::vector<FrequencyPair>& frequencies() const { return frequencies_; }
  // Peak frequency of record i in hertz, channel 0 X, 1 Y, 2 Z.
  double Frequency(int channel, std::size_t i) const;

  // The stored count of sample i, corrected for millivolt channels of kind 3.
  std::int32_t Count(int channel, std::size_t i) const;
  // The physical value: count x scale factor.
  double Value(int channel, std::size_t i) const {
    return Count(channel, i) * scale_factors_[static_cast<std::size_t>(channel)];
  }

  const std::vector<DocMessage>& messages() const { return messages_; }
  const std::string& last_error() const { return last_error_; }

 private:
  void LoadFrom(ByteSource* source, const std::string& file_name, const kr::StringTable& strings,
                const LoadOptions& options);
  bool ReadHeader(const kr::HeaderBytes& bytes);
  void ReadFrames(ByteSource& source);
  void ReadIntervalBlocks(ByteSource& source);
  void AddToStatistics(const std::array<double, 3>& values);
  void FinishStatistics();
  void MakeDateTexts(const LoadOptions& options);
  void CheckKbUnits(const kr::StringTable& strings);
  void Fail(const kr::StringTable& strings);
  void AddMessage(int id, std::string text);
  void Clear();

  int kind_ = -1;
  std::string path_;
  kr::HeaderBytes header_{};
  int firmware_ = 0;
  int recording_mode_ = 0;
  int vm_sub_mode_ = 0;
  double sampling_rate_ = 0;
  int channels_in_file_ = 0;
  int pre_event_ = 0;
  std::array<std::string, 3> units_;
  std::array<std::string, 3> raw_units_;
  std::array<double, 3> scale_factors_{};
  std::array<double, 3> trigger_levels_{};
  std::array<bool, 3> millivolt_{};
  std::array<std::int32_t, 3> millivolt_correction_{};

  std::string trigger_text_, start_text_, power_loss_text_, time_mark_text_;
  std::optional<kr::DateTime> start_date_time_;
  double start_seconds_ = 0;
  double trigger_seconds_ = 0;

  std::uint32_t expected_ = 0;
  std::uint32_t count_ = 0;
  std::array<double, 3> min_{}, max_{}, mean_{}, rms_{}, sum_{}, kb_squares_{};
  double overall_min_ = 0, overall_max_ = 0;
  double vector_sum_min_ = 0, vector_sum_max_ = 0;
  double frequency_min_ = 0, frequency_max_ = 0;

  std::vector<C_skr_signal> skr_;
  std::vector<C_bkr_signal> bkr_;
  std::vector<C_xkr_signal> xkr_;
  std::vector<double> vector_sums_;
  std::vector<FrequencyPair> frequencies_;

  std::vector<DocMessage> messages_;
  std::string last_error_;
};

}  // namespace ondalyne
