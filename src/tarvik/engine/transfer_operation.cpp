#include "tarvik/engine/transfer_operation.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <mutex>
#include <system_error>

#include "krcommon/text_util.h"
#include "tarvik/engine/engine_messages.h"
#include "tarvik/eventfiles/seismic_export.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr int kTransferList[] = {
    cmd::kNa, CommandNumber("MN"), CommandNumber("MB"), CommandNumber("IB"), cmd::kMI, cmd::kMD, cmd::kM1};
constexpr int kTransferMdStep = 5;
constexpr int kBackList[] = {cmd::kNa0};

constexpr const char* kEventExtensions[] = {".skr", ".vkr", ".xkr", ".vmx", ".bkr"};

bool IsEventFileName(const std::filesystem::path& path, std::string_view root) {
  const std::string name = path.filename().string();
  if (name.size() < root.size() || !kr::EqualsNoCase(std::string_view(name).substr(0, root.size()), root))
    return false;
  const std::string extension = path.extension().string();
  return std::any_of(std::begin(kEventExtensions), std::end(kEventExtensions),
                     [&](const char* known) { return kr::EqualsNoCase(extension, known); });
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

void TransferOperation::Step(OperationState state) {
  if (state == OperationState::kTransferToTemp) {
    StepTransferToTemp();
  } else {
    StepTransfer(state == OperationState::kTransferSelected);
  }
}

void TransferOperation::DescribeTo(OperationState state, ProtocolContext& context) const {
  switch (state) {
    case OperationState::kTransferSelected:
      context.download_purpose = DownloadPurpose::kSelectedEvents;
      return;
    case OperationState::kTransferAll:
      context.download_purpose = DownloadPurpose::kAllEvents;
      return;
    default:
      context.download_purpose = DownloadPurpose::kViewing;
      return;
  }
}

void TransferOperation::OnConnectionOpened() {
  last_event_file_.clear();
  last_partner_file_.clear();
}

std::pair<int, int> TransferOperation::EventCounts() {
  std::lock_guard lock(core().ModelMutex());
  const KrParams* recorder = core().TargetRecord();
  if (recorder == nullptr) return {0, 0};
  return {recorder->MN.value, recorder->downloaded_events};
}

// Every request of a transfer: the prefix goes to the download, the recorder's count starts at 0,
// and the file-number request names the first file.
void TransferOperation::StartDownload(OperationState state) {
  core().link().SetDownloadPrefix(download_prefix_);
  {
    std::lock_guard lock(core().ModelMutex());
    if (KrParams* recorder = core().TargetRecord()) recorder->downloaded_events = 0;
    ProtocolContext& context = core().context();
    if (state == OperationState::kTransferAll) context.file_number_request = FileNumberRequest::kNewest;
    if (state == OperationState::kTransferToTemp) {
      context.last_file_number = view_event_ - 1;
      context.file_number_request = FileNumberRequest::kAfterLast;
    }
  }
  core().fields().step = 0;
  core().fields().phase = 0;
  // A Stop Transfer pressed while no transfer ran must not cut this one short.
  core().fields().stop_requested = false;
  core().SetState(state);
}

// --- Transfer of all events ------------------------------------------------------------------------

bool TransferOperation::ChooseTransferTarget() {
  TarvikSettings& settings = core().settings();
  UiPort& ui = core().ui();
  const kr::StringTable& strings = core().strings();
  if (settings.date_time_file_names == 1) {
    const auto folder = ui.ChooseFolder(strings.Text(msg::kChooseFolder), settings.data_path);
    if (!folder) return false;
    settings.data_path = *folder;
    download_prefix_ = (*folder / "").string();
    return true;
  }
  const int length = core().state().control_unit_present ? 3 : 5;
  unsigned firmware = 0;
  {
    std::lock_guard lock(core().ModelMutex());
    if (const KrParams* recorder = core().TargetRecord())
      firmware = static_cast<unsigned>(recorder->IV.value);
  }
  const int filter = firmware < 32000   ? msg::kFilterVkr
                     : firmware < 42000 ? msg::kFilterSkr
                     : firmware < 62000 ? msg::kFilterXkr
                                        : msg::kFilterXkrBkr;
  const std::string title = strings.Format(msg::kSaveAs83, length);
  const std::string initial = std::string(static_cast<size_t>(length), '-');
  for (;;) {
    const auto chosen = ui.ChooseSaveFile(title, settings.data_path, initial, strings.Text(filter));
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
      const std::string text = strings.Format(msg::kFileExists, root);
      if (ui.ShowMessage(msg::kFileExists, text, MessageIcon::kQuestion, MessageButtons::kYesNo) !=
          MessageAnswer::kYes)
        continue;
    }
    download_prefix_ = (directory / root).string();
    return true;
  }
}

bool TransferOperation::RequestTransferAll() {
  core().state().connection_requested = true;
  if (!ChooseTransferTarget()) {
    core().EndOperation();
    return false;
  }
  StartDownload(OperationState::kTransferAll);
  return true;
}

void TransferOperation::RequestTransferSelected(std::vector<int> file_numbers) {
  core().state().connection_requested = true;
  selected_files_ = std::move(file_numbers);
  selected_index_ = 0;
  download_prefix_ = (core().settings().data_path / "").string();
  StartDownload(selected_files_.empty() ? OperationState::kIdle : OperationState::kTransferSelected);
}

void TransferOperation::ShowTransferProgress(bool single) {
  if (core().fields().stop_requested) return;  // Stop Transfer closed the window for good
  if (single) {
    ShowSelectedProgress();
    return;
  }
  const auto [total, done] = EventCounts();
  const kr::StringTable& strings = core().strings();
  if (!core().progress_open()) {
    core().ShowProgress(strings.Format(msg::kTransferEvent, done + 1, total), total, 0);
    return;
  }
  core().ShowProgress(strings.Format(msg::kTransferEvent, std::min(done + 1, total), total), total, done);
}

// The bar of a single-event transfer counts blocks: its total is the sum over the selected events,
// and an event that is done counts in full, so the bar ends at its total.
void TransferOperation::ShowSelectedProgress() {
  const int received = std::max(core().link().BlockCount() - 1, 0);
  if (!core().progress_open()) {
    selected_blocks_.clear();
    std::lock_guard lock(core().ModelMutex());
    const KrParams* recorder = core().TargetRecord();
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
      core().strings().Format(msg::kTransferEvent, std::min(static_cast<int>(current) + 1, count), count);
  const auto clamp = [](long long v) { return static_cast<int>(std::min<long long>(v, INT_MAX)); };
  core().ShowProgress(text, clamp(total), clamp(position));
}

bool TransferOperation::DownloadInFlight(int result) const {
  return result != 0 && core().fields().step == static_cast<int>(std::size(kTransferList)) &&
         (result == kListRunning || result == LinkAwaitingReply || result == LinkBlockTransfer ||
          result == LinkUnitBusy);
}

bool TransferOperation::PrepareTransferMd(bool single) {
  int events = 0;
  {
    std::lock_guard lock(core().ModelMutex());
    const KrParams* recorder = core().TargetRecord();
    if (recorder != nullptr) events = recorder->MN.value;
    ProtocolContext& context = core().context();
    if (events == 0) {
      context.file_number_request = FileNumberRequest::kNone;
    } else if (single && selected_index_ < selected_files_.size()) {
      context.file_list_next_entry = selected_files_[selected_index_] - 1;
      context.file_number_request = FileNumberRequest::kNextChosen;
    }
  }
  if (events != 0) return true;
  core().FinishAndWarn(msg::kNoFilesStored);
  return false;
}

void TransferOperation::StepTransfer(bool single) {
  EngineFields& fields = core().fields();
  core().SetStatus(single ? msg::kStatusTransferSingle : msg::kStatusTransferAll);
  if (fields.phase == 1) {
    const int result = core().RunCommandList(kBackList);
    if (result == 0 || result == LinkTimedOut || result == LinkOffline || result == LinkRefused ||
        result == LinkBadTarget)
      core().FinishOperation(single ? 0 : 1);
    return;
  }
  if (fields.step == kTransferMdStep && !PrepareTransferMd(single)) return;
  const int result = core().RunCommandList(kTransferList);
  if (DownloadInFlight(result)) {
    ShowTransferProgress(single);
    return;
  }
  HandleTransferResult(single, result);
}

void TransferOperation::ExportCompletedEvent() {
  const MiniSeedExportOptions& options = core().settings().mini_seed;
  if (options.MiniSeed == 0) return;
  const std::filesystem::path event_file = core().link().LastEventFileName();
  // A list that completes without a new file (the event was skipped) has nothing to add.
  if (event_file.empty() || event_file == last_exported_file_) return;
  last_exported_file_ = event_file;
  const MiniSeedExportResult result =
      ExportMiniSeed(event_file, options, core().strings(), core().clock().LocalNow().year);
  if (result.status != MiniSeedExportStatus::kFailed) return;
  core().Warn(msg::kMiniSeedNotWritten,
              core().strings().Format(msg::kMiniSeedNotWritten, event_file.string(), result.error));
}

void TransferOperation::OnTransferEventDone(bool single) {
  ExportCompletedEvent();
  EngineFields& fields = core().fields();
  const auto [events, done] = EventCounts();
  bool more = false;
  if (single) {
    if (done > static_cast<int>(selected_index_)) selected_index_ = static_cast<size_t>(done);
    more = selected_index_ < selected_files_.size();
  } else {
    more = done < events && !fields.stop_requested;
  }
  if (more) {
    fields.step = kTransferMdStep;
  } else {
    fields.phase = 1;
    fields.step = 0;
  }
}

void TransferOperation::HandleTransferResult(bool single, int result) {
  EngineLink& link = core().link();
  EngineFields& fields = core().fields();
  switch (result) {
    case 0:
      OnTransferEventDone(single);
      return;
    case LinkAbandoned:
      link.SetState(LinkReady);
      if (single) ++selected_index_;
      if (single && selected_index_ >= selected_files_.size()) {
        fields.phase = 1;
        fields.step = 0;
      } else {
        fields.step = kTransferMdStep;
      }
      return;
    case LinkRefused:
      link.SetState(LinkReady);
      return;
    case LinkTimedOut:
      core().SetInterrupted(true);
      if (single) {
        // The single-event window stays open: the operation is not ended.
        core().FinishOperation(0);
        core().SetState(OperationState::kBackToControlUnit);
        core().WarnTimeout();
      } else {
        core().ReportTimeout();
      }
      return;
    case LinkOffline:
      core().SetInterrupted(true);
      core().ReportFailure(msg::kEventFileNotSaved, link.FileNumber());
      return;
    case LinkBadTarget:
      core().FinishAndWarn(msg::kRecorderNotAvailable, core().TargetRecorder());
      return;
    default:
      return;
  }
}

// --- Transfer into the temporary folder --------------------------------------------------------------

void TransferOperation::RequestViewEvent(int file_number) {
  core().state().connection_requested = true;
  view_event_ = file_number;
  last_event_file_.clear();
  last_partner_file_.clear();
  download_prefix_ = ViewDownloadDirectory(core().settings()).string();
  StartDownload(OperationState::kTransferToTemp);
}

// The names are the download's own: the file it completed, and the partner (+500) by the same rule.
void TransferOperation::RecordViewedFiles() {
  EngineLink& link = core().link();
  last_event_file_ = link.LastEventFileName();
  const std::filesystem::path partner = link.EventFileName(view_event_ + 500);
  std::error_code ec;
  last_partner_file_ = std::filesystem::exists(partner, ec) ? partner : std::filesystem::path();
}

void TransferOperation::StepTransferToTemp() {
  EngineLink& link = core().link();
  const auto [events, done] = EventCounts();
  if (core().fields().step == kTransferMdStep && events == 0) {
    core().FinishAndWarn(msg::kNoFilesStored);
    return;
  }
  const int result = core().RunCommandList(kTransferList);
  if (DownloadInFlight(result)) {
    ShowViewProgress(events);
    return;
  }
  switch (result) {
    case 0:
      if (done >= 1) RecordViewedFiles();
      core().FinishOperation(1);
      return;
    case LinkRefused:
      link.SetState(LinkReady);
      return;
    case LinkTimedOut:
      core().ReportTimeout();
      return;
    case LinkOffline:
      core().ReportFailure(msg::kEventFileNotSaved, link.FileNumber());
      return;
    case LinkAbandoned:
    case LinkBadTarget:
      core().FinishOperation(1);
      return;
    default:
      return;
  }
}

// The first tick of the download opens the bar with the event's estimated blocks (its directory
// entry was read by the MD just before); later ticks show the blocks received.
void TransferOperation::ShowViewProgress(int events) {
  const std::string text = core().strings().Format(msg::kReadingEvent, view_event_, events);
  const int received = std::max(core().link().BlockCount() - 1, 0);
  if (!core().progress_open()) {
    view_blocks_ = 0;
    {
      std::lock_guard lock(core().ModelMutex());
      const KrParams* recorder = core().TargetRecord();
      if (recorder != nullptr && view_event_ >= 1 && view_event_ <= kDirectorySlots)
        view_blocks_ = EstimatedEventBlocks(recorder->directory[static_cast<size_t>(view_event_ - 1)]);
    }
    core().ShowProgress(text, view_blocks_, 0);
    return;
  }
  core().ShowProgress(text, view_blocks_, std::min(received, view_blocks_));
}

// --- Stop Transfer and the progress window ---------------------------------------------------------

void TransferOperation::StopTransfer() {
  core().state().connection_requested = true;
  core().CloseProgress();
  core().SetInterrupted(true);
  core().fields().stop_requested = true;
}

bool TransferOperation::OnProgressCancel(OperationState state) {
  if (state == OperationState::kTransferToTemp) {
    // The name the event file has (or would have had) under the download's own rule.
    last_event_file_ = core().link().EventFileName(view_event_);
    core().FinishOperation(1);
  } else {
    StopTransfer();
  }
  return true;
}

}  // namespace tarvik
