#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "krcommon/clock.h"
#include "krcommon/event_header.h"
#include "krcommon/event_time.h"
#include "krcommon/stdio_file_ex.h"
#include "krcommon/string_table.h"
#include "tarvik/eventfiles/export_options.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// Message ids of the export (string table, area "event files").
inline constexpr int kMsgInputFileOpenError = 25100;
inline constexpr int kMsgOutputFileOpenError = 25101;
inline constexpr int kMsgCantReadHeader = 25102;
inline constexpr int kMsgFirstLastOutOfRange = 25103;
inline constexpr int kMsgIgnoreIncludeOutOfRange = 25104;
inline constexpr int kMsgOutputFileWriteError = 25105;

// The ASCII export: one event file into tab-separated UTF-16 text (CR LF line ends, BOM) that a
// spreadsheet reads. The program keeps one converter for its whole run; every caller (the event
// lists, the export after a transfer, the macro command TransformFile, krtool) uses it.
//
// The converter streams: it reads the input in chunks, writes the output through one reused text
// buffer per file, and formats numbers without locale look-ups, so memory does not grow with the file.
class EventConverter {
 public:
  EventConverter(const kr::StringTable& strings, UiPort& ui, const kr::Clock& clock);
  EventConverter(const EventConverter&) = delete;
  EventConverter& operator=(const EventConverter&) = delete;

  void SetOptions(const ExportOptions& options) { options_ = options; }
  const ExportOptions& options() const { return options_; }
  // The locale's AM/PM designators for US-style times (empty when the locale has none).
  void SetDayPeriodDesignators(std::string am, std::string pm);
  // Local time correction of the header text, set by the download while it is in progress.
  void SetHeaderTimeShiftHours(int hours) { header_time_shift_hours_ = hours; }

  // Converts `input` into `output` (and the channel files with ChannelFiles). Returns 1 when the
  // conversion ran to the end, 0 when it stopped; the reason has then been shown through the UI port.
  int Convert(const std::filesystem::path& input, const std::filesystem::path& output);

  // The file of one channel ('x', 'y' or 'z'): every "." of the output's file name becomes "_x." and
  // so on ($ex00012.txt -> $ex00012_x.txt); a name without a dot gets "_x" appended. The folder is
  // kept as it is.
  static std::filesystem::path ChannelFilePath(const std::filesystem::path& output, char axis);

  // Reads the input in chunks; refuses reads that would pass the end.
  class ByteSource {
   public:
    ByteSource();
    ~ByteSource();
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;
    bool Open(const std::filesystem::path& path);
    void Close();
    // Copies exactly `count` bytes (at most the chunk size) or returns false at the end of the file.
    bool Read(std::uint8_t* out, std::size_t count);
    // Continues reading at `offset` from the start of the file.
    bool SeekTo(long offset);

   private:
    std::FILE* file_ = nullptr;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
  };

  // One output file: UTF-8 text collected in a reused buffer and written as UTF-16 in large pieces.
  class TextSink {
   public:
    bool Open(const std::filesystem::path& path);
    bool IsOpen() const { return file_.IsOpen(); }
    std::string& text() { return text_; }
    // Writes the buffer once it has grown past the flush size.
    void MaybeFlush() {
      if (text_.size() >= kFlushSize) Flush();
    }
    void Flush();
    // Writes the rest and closes; false when any write failed.
    bool Close();

   private:
    static constexpr std::size_t kFlushSize = 1 << 16;
    kr::CStdioFileEx file_;
    std::string text_;
    bool failed_ = false;
  };

 private:
  struct Frame {
    std::array<std::int64_t, 3> value;
  };
  static constexpr std::size_t kBlockSize = 256;
  // How the records of a periodic block are laid out and what follows their three peaks.
  struct PeriodicForm {
    std::size_t capacity;     // records per block
    std::size_t first;        // block byte of the first record
    std::size_t record_size;  // bytes per record
    bool stamped;             // block bytes 2..7 hold the time stamp
    bool unsigned_peaks;
    bool sum_of_squares;  // 48-bit sum of squares after the peaks
    bool frequencies;     // three dominant frequencies in 0.1 Hz after the peaks
  };

  void ResetCallState();
  // Closes input and outputs, shows the message (none for 0) and gives Convert's failure result.
  int Stop(int message_id);
  void TakeHeaderFacts(const kr::EventHeader& header);
  void StartExtremes();
  bool OpenOutputs(const std::filesystem::path& input, const std::filesystem::path& output);
  bool CloseOutputs();
  void Fail(int message_id);
  void WriteHeaderText(const kr::EventHeader& header, int kind);
  bool ValidateTrim();
  void WriteHeadings();
  bool Kept(std::uint64_t index) const;
  bool ReadFrame(Frame& frame);
  void ConvertWaveform();
  void ConvertPeriodic();
  // Nothing for a bkr recording mode without records the export reads.
  static std::optional<PeriodicForm> PeriodicFormOf(int frame_mode, int recording_mode);
  void WritePeriodicRecord(const PeriodicForm& form, const std::array<std::uint8_t, kBlockSize>& block,
                           std::size_t at);
  void WriteStatistics();
  void WriteValue(int channel, std::int64_t counts);
  void WriteTimeColumn(std::uint64_t row);
  void BuildTimeText(std::uint64_t row);
  void AppendPeriodStamp(const std::uint8_t* stamp);
  void PutToRowFiles(std::string_view text);
  TextSink& SinkOf(int channel) { return options_.ChannelFiles ? channel_files_[channel - 1] : main_; }

  const kr::StringTable& strings_;
  UiPort& ui_;
  const kr::Clock& clock_;
  ExportOptions options_;
  std::string am_designator_ = "AM";
  std::string pm_designator_ = "PM";
  int header_time_shift_hours_ = 0;

  // Per-call working state; everything below is set afresh by Convert.
  ByteSource input_;
  TextSink main_;
  std::array<TextSink, 3> channel_files_;
  int extension_code_ = 0;
  int frame_mode_ = 0;
  int kind_ = 0;
  kr::HeaderBytes header_bytes_{};
  kr::HeaderLayout layout_ = kr::HeaderLayout::kS;
  std::array<double, 3> lsb_{};
  std::array<std::int32_t, 3> mv_correction_{};
  int nb_channel_ = 0;
  std::uint64_t nb_samples_ = 0;
  std::uint64_t frame_count_ = 0;  // C: the total the trimming rules refer to
  std::uint64_t kept_ = 0;         // N
  std::array<std::int64_t, 3> sum_{};
  std::array<std::int64_t, 3> max_{};
  std::array<std::int64_t, 3> min_{};
  std::array<double, 3> mean_{};
  std::array<double, 3> rms_{};
  // Time column.
  bool has_start_time_ = false;
  kr::DateTime start_time_{};
  int int_offset_ = 0;
  int sampling_ = 0;
  std::int64_t time_whole_seconds_ = 0;  // t of the previous row, kept when sampling is 0
  std::int64_t time_microseconds_ = 0;
  std::int64_t cached_second_ = -1;
  kr::DateTimeStyle time_style_;
  std::string cached_date_time_;  // "date\ttime" of cached_second_
  std::string time_text_;
};

}  // namespace tarvik
