#include "tarvik/engine/event_list_operation.h"

#include <algorithm>
#include <mutex>

#include "tarvik/engine/engine_messages.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/directory_entry.h"

namespace tarvik {

namespace {

constexpr int kKR = CommandNumber("KR", cmd::kFirstRecorderCommand);
constexpr int kListList[] = {cmd::kNa, CommandNumber("MN"), CommandNumber("MB"), kKR, cmd::kMI, cmd::kMJ,
                             cmd::kMD};
constexpr int kListKrStep = 3;
constexpr int kListMdStep = 6;
constexpr int kListNextEntryStep = 4;
constexpr int kBackList[] = {cmd::kNa0};

bool IsRepeat(OperationState state) {
  return state == OperationState::kEventListRepeat || state == OperationState::kSingleEventListRepeat;
}

}  // namespace

void EventListOperation::RequestEventList() {
  Request(OperationState::kEventList);
}

void EventListOperation::RequestSingleEventList() {
  Request(OperationState::kSingleEventList);
}

void EventListOperation::Request(OperationState state) {
  core().state().connection_requested = true;
  core().ui().SetWaitCursor(true);
  {
    std::lock_guard lock(core().ModelMutex());
    if (KrParams* recorder = core().TargetRecord()) recorder->directory_entries_read = 0;
    core().context().file_number_request = FileNumberRequest::kNewest;
  }
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(state);
}

void EventListOperation::CollectRows() {
  event_rows_.clear();
  std::lock_guard lock(core().ModelMutex());
  const KrParams* recorder = core().TargetRecord();
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

void EventListOperation::ClearDirectoryCount() {
  std::lock_guard lock(core().ModelMutex());
  if (KrParams* recorder = core().TargetRecord()) recorder->directory_entries_read = 0;
}

void EventListOperation::Step(OperationState state) {
  EngineFields& fields = core().fields();
  const bool viewing = state == OperationState::kEventList || state == OperationState::kEventListRepeat;
  core().SetStatus(viewing ? msg::kStatusViewEvent : msg::kStatusTransferSingle);
  int events = 0;
  int read = 0;
  {
    std::lock_guard lock(core().ModelMutex());
    if (const KrParams* recorder = core().TargetRecord()) {
      events = recorder->MN.value;
      read = recorder->directory_entries_read;
    }
  }
  if (fields.phase == 1) {
    FinishList(state, events);
    return;
  }
  if (fields.step == kListMdStep && events == 0) {
    fields.phase = 1;
    fields.step = 0;
    return;
  }
  const int last_step = fields.step;
  const int result = core().RunCommandList(kListList);
  const int count = static_cast<int>(std::size(kListList));
  if (result != 0 && fields.step == count && result != LinkTimedOut && result != LinkOffline &&
      result != LinkRefused)
    ShowProgress(read, events);
  if (result == 0) {
    // One more entry is read; the list goes on with MI, MJ, MD until every event has one.
    if (read < events) {
      fields.step = kListNextEntryStep;
    } else {
      fields.phase = 1;
      fields.step = 0;
    }
    return;
  }
  HandleResult(result, last_step);
}

void EventListOperation::ShowProgress(int read, int events) {
  const std::string text = core().strings().Format(msg::kReadingEvent, std::min(read + 1, events), events);
  core().ShowProgress(text, events, read);
}

void EventListOperation::HandleResult(int result, int last_step) {
  switch (result) {
    case LinkRefused:
      if (last_step == kListKrStep + 1) {  // right after KR: the recorder keeps no ring memory
        std::lock_guard lock(core().ModelMutex());
        if (KrParams* recorder = core().TargetRecord()) recorder->ring_memory = false;
      }
      core().link().SetState(LinkReady);
      return;
    case LinkTimedOut:
      ClearDirectoryCount();
      core().ReportTimeout();
      return;
    case LinkOffline:
      ClearDirectoryCount();
      core().ReportFailure(msg::kDirectoryError);
      return;
    case LinkBadTarget:
      ClearDirectoryCount();
      core().FinishAndWarn(msg::kRecorderNotAvailable, core().TargetRecorder());
      return;
    default:
      return;
  }
}

// Phase 1: back to the control unit, then the list goes to its window (21, 23) or the repeat ends.
void EventListOperation::FinishList(OperationState state, int events) {
  const int result = core().RunCommandList(kBackList);
  if (result == LinkTimedOut) {
    ClearDirectoryCount();
    core().ReportTimeout();
    return;
  }
  if (result != 0 && !(result == LinkOffline || result == LinkRefused || result == LinkBadTarget)) return;
  core().CloseProgress();
  if (events == 0) {
    // A window that re-reads its list after an erase must not go on showing the erased events.
    event_rows_.clear();
    core().FinishAndWarn(msg::kNoFilesStored);
    return;
  }
  CollectRows();
  if (IsRepeat(state)) {
    core().FinishOperation(1);
    return;
  }
  core().FinishOperation(0);
  const int recorder = core().TargetRecorder();
  if (state == OperationState::kEventList) {
    core().ui().ShowEventList(recorder, event_rows_);
    return;
  }
  std::vector<int> chosen = core().ui().ChooseEventsForTransfer(recorder, event_rows_);
  if (!chosen.empty()) transfer_chosen_(std::move(chosen));
}

}  // namespace tarvik
