// Event transfers (states 18, 19, 20), the event lists (21-24), Stop Transfer and the progress
// window's button.
#include <algorithm>
#include <cctype>
#include <climits>
#include <mutex>
#include <system_error>

#include "krcommon/text_util.h"
#include "tarvik/engine/engine_messages.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/directory_entry.h"

namespace tarvik {

namespace {

constexpr int kNa = cmd::kNa;
constexpr int kNa0 = cmd::kNa0;
constexpr int kMN = CommandNumber("MN");
constexpr int kMB = CommandNumber("MB");
constexpr int kIB = CommandNumber("IB");
constexpr int kKR = CommandNumber("KR", cmd::kFirstRecorderCommand);

constexpr int kTransferList[] = {kNa, kMN, kMB, kIB, cmd::kMI, cmd::kMD, cmd::kM1};
constexpr int kTransferMdStep = 5;
constexpr int kListList[] = {kNa, kMN, kMB, kKR, cmd::kMI, cmd::kMJ, cmd::kMD};
constexpr int kListKrStep = 3;
constexpr int kListMdStep = 6;
constexpr int kListNextEntryStep = 4;
constexpr int kBackList[] = {kNa0};

constexpr const char* kEventExtensions[] = {".skr", ".vkr", ".xkr", ".vmx", ".bkr"};

bool IsEventFileName(const std::filesystem::path& path, std::string_view root) {
  const std::string name = path.filename().string();
  if (name.size() < root.size() || !kr::EqualsNoCase(std::string_view(name).substr(0, root.size()), root))
    return false;
  const std::string extension = path.extension().string();
  for (const char* known : kEventExtensions) {
    if (kr::EqualsNoCase(extension, known)) return true;
  }
  return false;
}

// A root name typed by the operator becomes part of every file name: only characters that are safe
// in a file name on any system stay, the rest become "-".
std::string SanitiseRoot(std::string root, int length) {
  for (char& c : root) {
    const auto u = static_cast<unsigned char>(c);
    if (!(std::isalnum(u) || c == '-' || c == '_')) c = '-';
  }
  root.resize(static_cast<size_t>(length), '-');
  return root;
}

}  // namespace

int EstimatedEventBlocks(const DirectoryEntry& entry) {
  constexpr long long kRecordBytesPerPair = 253;  // bytes 2..254 of a pair
  const long long widest_record = entry.kind == 3 ? 8 : 7;
  const long long records_per_pair = kRecordBytesPerPair / widest_record;
  const long long pairs = (static_cast<long long>(entry.samples) + records_per_pair - 1) / records_per_pair;
  return static_cast<int>(std::min<long long>(2 + 2 * pairs, INT_MAX));
}

// --- Transfer of all events ------------------------------------------------------------------------

bool OperationEngine::ChooseTransferTarget() {
  TarvikSettings& settings = services_.settings;
  UiPort& ui = services_.ui;
  if (settings.date_time_file_names == 1) {
    const auto folder = ui.ChooseFolder(services_.strings.Text(msg::kChooseFolder), settings.data_path);
    if (!folder) return false;
    settings.data_path = *folder;
    download_prefix_ = (*folder / "").string();
    return true;
  }
  const int length = state_.control_unit_present ? 3 : 5;
  unsigned firmware = 0;
  {
    std::lock_guard lock(services_.link.ModelMutex());
    if (const KrParams* recorder = TargetRecord()) firmware = static_cast<unsigned>(recorder->IV.value);
  }
  const int filter = firmware < 32000   ? msg::kFilterVkr
                     : firmware < 42000 ? msg::kFilterSkr
                     : firmware < 62000 ? msg::kFilterXkr
                                        : msg::kFilterXkrBkr;
  const std::string title = services_.strings.Format(msg::kSaveAs83, length);
  const std::string initial =
      length == 0 ? std::string("empty") : std::string(static_cast<size_t>(length), '-');
  for (;;) {
    const auto chosen = ui.ChooseSaveFile(title, settings.data_path, initial, services_.strings.Text(filter));
    if (!chosen) return false;
    std::filesystem::path directory = chosen->parent_path();
    if (directory.empty()) directory = settings.data_path;
    const std::string root = SanitiseRoot(chosen->stem().string(), length);
    bool exists = false;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
      if (IsEventFileName(entry.path(), root)) {
        exists = true;
        break;
      }
    }
    if (exists) {
      const std::string text = services_.strings.Format(msg::kFileExists, root);
      if (ui.ShowMessage(msg::kFileExists, text, MessageIcon::kQuestion, MessageButtons::kYesNo) !=
          MessageAnswer::kYes)
        continue;
    }
    download_prefix_ = (directory / root).string();
    return true;
  }
}

bool OperationEngine::RequestTransferAll() {
  state_.connection_requested = true;
  if (!ChooseTransferTarget()) {
    EndOperation();
    return false;
  }
  services_.link.SetDownloadPrefix(download_prefix_);
  {
    std::lock_guard lock(services_.link.ModelMutex());
    if (KrParams* recorder = TargetRecord()) recorder->downloaded_events = 0;
    services_.context.file_number_request = FileNumberRequest::kByState;
  }
  fields_.step = 0;
  fields_.phase = 0;
  // A Stop Transfer pressed while no transfer ran must not cut this one short.
  fields_.stop_requested = false;
  SetState(19);
  return true;
}

void OperationEngine::RequestTransferSelected(std::vector<int> file_numbers) {
  state_.connection_requested = true;
  selected_files_ = std::move(file_numbers);
  selected_index_ = 0;
  download_prefix_ = (services_.settings.data_path / "").string();
  services_.link.SetDownloadPrefix(download_prefix_);
  {
    std::lock_guard lock(services_.link.ModelMutex());
    if (KrParams* recorder = TargetRecord()) recorder->downloaded_events = 0;
  }
  fields_.step = 0;
  fields_.phase = 0;
  fields_.stop_requested = false;
  SetState(selected_files_.empty() ? 0 : 18);
}

void OperationEngine::ShowTransferProgress(bool single) {
  if (fields_.stop_requested) return;  // Stop Transfer closed the window for good
  if (single) {
    ShowSelectedProgress();
    return;
  }
  int done = 0;
  int total = 0;
  {
    std::lock_guard lock(services_.link.ModelMutex());
    if (const KrParams* recorder = TargetRecord()) {
      done = recorder->downloaded_events;
      total = recorder->MN.value;
    }
  }
  if (!progress_open_) {
    services_.ui.OpenProgress(services_.strings.Format(msg::kTransferEvent, done + 1, total), total, 0);
    progress_open_ = true;
    return;
  }
  services_.ui.UpdateProgress(services_.strings.Format(msg::kTransferEvent, std::min(done + 1, total), total),
                              done);
}

// The bar of a single-event transfer counts blocks: its total is the sum over the selected events,
// and an event that is done counts in full, so the bar ends at its total.
void OperationEngine::ShowSelectedProgress() {
  const int received = std::max(services_.link.BlockCount() - 1, 0);
  if (!progress_open_) {
    selected_blocks_.clear();
    std::lock_guard lock(services_.link.ModelMutex());
    const KrParams* recorder = TargetRecord();
    for (int file : selected_files_) {
      const bool known = recorder != nullptr && file >= 1 && file <= kDirectorySlots;
      selected_blocks_.push_back(
          known ? EstimatedEventBlocks(recorder->directory[static_cast<size_t>(file - 1)]) : 2);
    }
  }
  const size_t current = std::min(selected_index_, selected_blocks_.size());
  long long total = 0;
  long long position = 0;
  for (size_t i = 0; i < selected_blocks_.size(); ++i) {
    total += selected_blocks_[i];
    if (i < current) position += selected_blocks_[i];
  }
  if (current < selected_blocks_.size()) position += std::min(received, selected_blocks_[current]);
  const int count = static_cast<int>(selected_files_.size());
  const std::string text =
      services_.strings.Format(msg::kTransferEvent, std::min(static_cast<int>(current) + 1, count), count);
  const auto clamp = [](long long v) { return static_cast<int>(std::min<long long>(v, INT_MAX)); };
  if (!progress_open_) {
    services_.ui.OpenProgress(text, clamp(total), clamp(position));
    progress_open_ = true;
    return;
  }
  services_.ui.UpdateProgress(text, clamp(position));
}

bool OperationEngine::DownloadInFlight(int result, int list_length) const {
  return result != 0 && fields_.step == list_length &&
         (result == -1 || result == LinkAwaitingReply || result == LinkBlockTransfer ||
          result == LinkUnitBusy);
}

bool OperationEngine::PrepareTransferMd(bool single) {
  int events = 0;
  {
    std::lock_guard lock(services_.link.ModelMutex());
    const KrParams* recorder = TargetRecord();
    if (recorder != nullptr) events = recorder->MN.value;
    if (events == 0) {
      services_.context.file_number_request = FileNumberRequest::kNone;
    } else if (single && selected_index_ < selected_files_.size()) {
      services_.context.file_list_next_entry = selected_files_[selected_index_] - 1;
      services_.context.file_number_request = FileNumberRequest::kByState;
    }
  }
  if (events != 0) return true;
  FinishOperation(1);
  Warn(msg::kNoFilesStored, services_.strings.Text(msg::kNoFilesStored));
  return false;
}

void OperationEngine::StepTransfer() {
  const bool single = state_.operation_state == 18;
  SetStatus(single ? msg::kStatusTransferSingle : msg::kStatusTransferAll);
  if (fields_.phase == 1) {
    const int result = RunCommandList(kBackList);
    if (result == 0 || result == LinkTimedOut || result == LinkOffline || result == LinkRefused ||
        result == LinkBadTarget)
      FinishOperation(single ? 0 : 1);
    return;
  }
  if (fields_.step == kTransferMdStep && !PrepareTransferMd(single)) return;
  const int result = RunCommandList(kTransferList);
  if (DownloadInFlight(result, static_cast<int>(std::size(kTransferList)))) {
    ShowTransferProgress(single);
    return;
  }
  HandleTransferResult(single, result);
}

void OperationEngine::OnTransferEventDone(bool single) {
  int done = 0;
  int events = 0;
  {
    std::lock_guard lock(services_.link.ModelMutex());
    if (const KrParams* recorder = TargetRecord()) {
      done = recorder->downloaded_events;
      events = recorder->MN.value;
    }
  }
  bool more = false;
  if (single) {
    if (done > static_cast<int>(selected_index_)) selected_index_ = static_cast<size_t>(done);
    more = selected_index_ < selected_files_.size();
  } else {
    more = done < events && !fields_.stop_requested;
  }
  if (more) {
    fields_.step = kTransferMdStep;
  } else {
    fields_.phase = 1;
    fields_.step = 0;
  }
}

void OperationEngine::HandleTransferResult(bool single, int result) {
  EngineLink& link = services_.link;
  switch (result) {
    case 0:
      OnTransferEventDone(single);
      return;
    case LinkAbandoned:
      link.SetState(LinkReady);
      if (single) ++selected_index_;
      if (single && selected_index_ >= selected_files_.size()) {
        fields_.phase = 1;
        fields_.step = 0;
      } else {
        fields_.step = kTransferMdStep;
      }
      return;
    case LinkRefused:
      link.SetState(LinkReady);
      return;
    case LinkTimedOut:
      SetInterrupted(true);
      if (single) {
        // The single-event window stays open: the operation is not ended.
        FinishOperation(0);
        SetState(1);
        WarnTimeout();
      } else {
        ReportTimeout();
      }
      return;
    case LinkOffline: {
      SetInterrupted(true);
      const int file_number = link.FileNumber();
      FinishOperation(1);
      SetState(1);
      Warn(msg::kEventFileNotSaved, services_.strings.Format(msg::kEventFileNotSaved, file_number));
      return;
    }
    case LinkBadTarget:
      FinishOperation(1);
      Warn(msg::kRecorderNotAvailable,
           services_.strings.Format(msg::kRecorderNotAvailable, TargetRecorder()));
      return;
    default:
      return;
  }
}

// --- Transfer into the temporary folder --------------------------------------------------------------

void OperationEngine::RequestViewEvent(int file_number) {
  state_.connection_requested = true;
  view_event_ = file_number;
  last_event_file_.clear();
  last_partner_file_.clear();
  download_prefix_ = ViewDownloadDirectory(services_.settings).string();
  services_.link.SetDownloadPrefix(download_prefix_);
  {
    std::lock_guard lock(services_.link.ModelMutex());
    if (KrParams* recorder = TargetRecord()) recorder->downloaded_events = 0;
    services_.context.last_file_number = file_number - 1;
    services_.context.file_number_request = FileNumberRequest::kByState;
  }
  fields_.step = 0;
  fields_.phase = 0;
  SetState(20);
}

void OperationEngine::StepTransferToTemp() {
  EngineLink& link = services_.link;
  int events = 0;
  int done = 0;
  {
    std::lock_guard lock(link.ModelMutex());
    if (const KrParams* recorder = TargetRecord()) {
      events = recorder->MN.value;
      done = recorder->downloaded_events;
    }
  }
  if (fields_.step == kTransferMdStep && events == 0) {
    FinishOperation(1);
    Warn(msg::kNoFilesStored, services_.strings.Text(msg::kNoFilesStored));
    return;
  }
  const int result = RunCommandList(kTransferList);
  if (DownloadInFlight(result, static_cast<int>(std::size(kTransferList)))) {
    ShowViewProgress(events);
    return;
  }
  switch (result) {
    case 0: {
      if (done >= 1) {
        const int recorder = TargetRecorder();
        std::string extension = link.EventFileType();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        last_event_file_ = kr::FormatPrintf("%s%2.2d%3.3d.%s", download_prefix_.c_str(), recorder,
                                            view_event_, extension.c_str());
        const std::filesystem::path partner = kr::FormatPrintf(
            "%s%2.2d%3.3d.%s", download_prefix_.c_str(), recorder, view_event_ + 500, extension.c_str());
        std::error_code ec;
        last_partner_file_ = std::filesystem::exists(partner, ec) ? partner : std::filesystem::path();
      }
      FinishOperation(1);
      return;
    }
    case LinkRefused:
      link.SetState(LinkReady);
      return;
    case LinkTimedOut:
      ReportTimeout();
      return;
    case LinkOffline: {
      const int file_number = link.FileNumber();
      FinishOperation(1);
      SetState(1);
      Warn(msg::kEventFileNotSaved, services_.strings.Format(msg::kEventFileNotSaved, file_number));
      return;
    }
    case LinkAbandoned:
    case LinkBadTarget:
      FinishOperation(1);
      return;
    default:
      return;
  }
}

// The first tick of the download opens the bar with the event's estimated blocks (its directory
// entry was read by the MD just before); later ticks show the blocks received.
void OperationEngine::ShowViewProgress(int events) {
  const std::string text = services_.strings.Format(msg::kReadingEvent, view_event_, events);
  const int received = std::max(services_.link.BlockCount() - 1, 0);
  if (!progress_open_) {
    view_blocks_ = 0;
    {
      std::lock_guard lock(services_.link.ModelMutex());
      const KrParams* recorder = TargetRecord();
      if (recorder != nullptr && view_event_ >= 1 && view_event_ <= kDirectorySlots)
        view_blocks_ = EstimatedEventBlocks(recorder->directory[static_cast<size_t>(view_event_ - 1)]);
    }
    services_.ui.OpenProgress(text, view_blocks_, 0);
    progress_open_ = true;
    return;
  }
  services_.ui.UpdateProgress(text, std::min(received, view_blocks_));
}

// --- Event lists ----------------------------------------------------------------------------------------

void OperationEngine::RequestEventList() {
  state_.connection_requested = true;
  services_.ui.SetWaitCursor(true);
  {
    std::lock_guard lock(services_.link.ModelMutex());
    if (KrParams* recorder = TargetRecord()) recorder->directory_entries_read = 0;
    services_.context.file_number_request = FileNumberRequest::kNewest;
  }
  fields_.step = 0;
  fields_.phase = 0;
  SetState(21);
}

void OperationEngine::RequestSingleEventList() {
  RequestEventList();
  SetState(23);
}

void OperationEngine::CollectEventRows() {
  event_rows_.clear();
  std::lock_guard lock(services_.link.ModelMutex());
  const KrParams* recorder = TargetRecord();
  if (recorder == nullptr) return;
  int file = recorder->ring_memory ? recorder->MB.value : std::max(recorder->MB.value, recorder->MN.value);
  const int entries = std::clamp(recorder->directory_entries_read, 0, kDirectorySlots);
  for (int i = 0; i < entries; ++i, file = PreviousFileNumber(file)) {
    if (file < 1 || file > kDirectorySlots) break;
    const DirectoryEntry& entry = recorder->directory[static_cast<size_t>(file - 1)];
    EventListRow row;
    row.number = file;
    row.type_letter = entry.type_letter;
    row.date = entry.date;
    row.time = entry.time;
    for (int c = 0; c < 3; ++c) row.peaks[c] = entry.peaks[static_cast<size_t>(c)];
    row.samples = entry.samples;
    event_rows_.push_back(row);
  }
}

void OperationEngine::ClearDirectoryCount() {
  std::lock_guard lock(services_.link.ModelMutex());
  if (KrParams* recorder = TargetRecord()) recorder->directory_entries_read = 0;
}

void OperationEngine::StepEventList() {
  const int s = state_.operation_state;
  SetStatus(s <= 22 ? msg::kStatusViewEvent : msg::kStatusTransferSingle);
  int events = 0;
  int read = 0;
  {
    std::lock_guard lock(services_.link.ModelMutex());
    if (const KrParams* recorder = TargetRecord()) {
      events = recorder->MN.value;
      read = recorder->directory_entries_read;
    }
  }
  if (fields_.phase == 1) {
    FinishEventList(s, events);
    return;
  }
  if (fields_.step == kListMdStep && events == 0) {
    fields_.phase = 1;
    fields_.step = 0;
    return;
  }
  const int last_step = fields_.step;
  const int result = RunCommandList(kListList);
  const int count = static_cast<int>(std::size(kListList));
  if (result != 0 && fields_.step == count && result != LinkTimedOut && result != LinkOffline &&
      result != LinkRefused)
    ShowEventListProgress(read, events);
  HandleEventListResult(result, last_step, read, events);
}

void OperationEngine::ShowEventListProgress(int read, int events) {
  const std::string text = services_.strings.Format(msg::kReadingEvent, std::min(read + 1, events), events);
  if (!progress_open_) {
    services_.ui.OpenProgress(text, events, read);
    progress_open_ = true;
  } else {
    services_.ui.UpdateProgress(text, read);
  }
}

void OperationEngine::HandleEventListResult(int result, int last_step, int read, int events) {
  switch (result) {
    case 0:
      if (read < events) {
        fields_.step = kListNextEntryStep;
      } else {
        fields_.phase = 1;
        fields_.step = 0;
      }
      return;
    case LinkRefused:
      if (last_step == kListKrStep + 1) {  // right after KR
        std::lock_guard lock(services_.link.ModelMutex());
        if (KrParams* recorder = TargetRecord()) recorder->ring_memory = false;
      }
      services_.link.SetState(LinkReady);
      return;
    case LinkTimedOut:
      ClearDirectoryCount();
      ReportTimeout();
      return;
    case LinkOffline:
      ClearDirectoryCount();
      ReportFailure(msg::kDirectoryError);
      return;
    case LinkBadTarget:
      ClearDirectoryCount();
      FinishOperation(1);
      Warn(msg::kRecorderNotAvailable,
           services_.strings.Format(msg::kRecorderNotAvailable, TargetRecorder()));
      return;
    default:
      return;
  }
}

// Phase 1: back to the control unit, then the list goes to its window (21, 23) or the repeat ends.
void OperationEngine::FinishEventList(int state, int events) {
  const int result = RunCommandList(kBackList);
  if (result == LinkTimedOut) {
    ClearDirectoryCount();
    ReportTimeout();
    return;
  }
  if (result != 0 && !(result == LinkOffline || result == LinkRefused || result == LinkBadTarget)) return;
  if (progress_open_) {
    services_.ui.CloseProgress();
    progress_open_ = false;
  }
  if (events == 0) {
    FinishOperation(1);
    Warn(msg::kNoFilesStored, services_.strings.Text(msg::kNoFilesStored));
    return;
  }
  CollectEventRows();
  if (state == 22 || state == 24) {
    FinishOperation(1);
    return;
  }
  FinishOperation(0);
  const int recorder = TargetRecorder();
  if (state == 21) {
    services_.ui.ShowEventList(recorder, event_rows_);
    return;
  }
  std::vector<int> chosen = services_.ui.ChooseEventsForTransfer(recorder, event_rows_);
  if (!chosen.empty()) RequestTransferSelected(std::move(chosen));
}

// --- Stop Transfer and the progress window ---------------------------------------------------------

void OperationEngine::StopTransfer() {
  state_.connection_requested = true;
  if (progress_open_) {
    services_.ui.CloseProgress();
    progress_open_ = false;
  }
  SetInterrupted(true);
  fields_.stop_requested = true;
}

void OperationEngine::OnProgressCancel() {
  const int s = state_.operation_state;
  if (s == 20) {
    const int recorder = TargetRecorder();
    std::string extension = services_.link.EventFileType();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    last_event_file_ = kr::FormatPrintf("%s%2.2d%3.3d.%s", download_prefix_.c_str(), recorder, view_event_,
                                        extension.c_str());
    FinishOperation(1);
  } else if (s == 18 || s == 19) {
    StopTransfer();
  } else {
    FinishOperation(0);
    if (!state_.recording_mode_window_open) EndOperation();
  }
  SetInterrupted(true);
}

}  // namespace tarvik
