#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "krcommon/clock.h"
#include "krcommon/string_table.h"
#include "tarvik/app/connection_record.h"
#include "tarvik/app/tarvik_settings.h"
#include "tarvik/engine/engine_link.h"
#include "tarvik/engine/operation_state.h"
#include "tarvik/protocol/protocol_context.h"
#include "tarvik/protocol/recorder_data.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

class Operation;

// What the control panel asks the idle state to do with recording.
enum class RecordingRequest : int { kStop = 0, kStart = 1, kNone = 2 };

// What RunCommandList gives besides a stopping link state.
inline constexpr int kListRunning = -1;  // commands are still outstanding
inline constexpr int kListDone = 0;      // the whole list is answered

// The engine's record for the whole process (one per main view).
struct EngineState {
  OperationState operation_state = OperationState::kIdle;  // the state the next tick executes
  OperationState pending_state = OperationState::kIdle;    // requests while deferral is on
  bool logged_in = false;
  bool control_unit_present = false;  // an HCU polls several recorders behind this link
  bool direct_recorder = false;       // the device name read at log-in begins with "M"
  bool busy = false;                  // an operation with a progress window or dialog is running
  bool deferral = false;
  bool connection_requested = false;
  bool recording_mode_window_open = false;
  std::filesystem::path document_path;
  LinkKind document_link_kind = LinkKind::kModem1;
  LinkKind link_kind = LinkKind::kModem1;  // kind of the running connection
  RecordingRequest recording_request = RecordingRequest::kNone;
};

// The fields the operations of the main view share: the cursor of the running command list and the
// phase of multi-phase states, Stop Transfer, long texts sent in pieces, the password and the title.
struct EngineFields {
  int step = 0;
  int phase = 0;
  bool stop_requested = false;
  int text_offset = 0;
  bool macro_text_sent = false;
  int macro_offset = 0;
  std::string password;      // the password last typed; pre-fills later prompts
  std::string window_title;  // the main window's title at connection time
};

// What the engine needs besides the link: the recorder data model and protocol context it shares
// with the protocol layer (guarded by EngineLink::ModelMutex), the settings, the person, the texts.
struct EngineServices {
  EngineLink& link;
  RecorderData& data;
  ProtocolContext& context;
  TarvikSettings& settings;
  UiPort& ui;
  const kr::StringTable& strings;
  const kr::Clock& clock;  // the PC's time, for whatever the operations date
};

// Link states after which the builder sends nothing more by itself: a step that does not name them
// would wait for ever.
bool IsStuckLinkState(int state);

// How an operation whose link died is ended.
enum class DeadLinkEnd {
  kHandled,       // the operation ended itself
  kQuiet,         // the failure was already reported
  kNoReply,       // message 212
  kFileNotSaved,  // message 211 with the link's file number; the recorder's transfer is interrupted
};

// The core of the timer-driven state machine: the tick and its dispatch through the state table,
// state requests and deferral, the command-list runner, the end and failure paths, the progress
// window, the dead-link check, and opening and closing the connection. The operations themselves
// live in units (one per family of states) that register their states here and reach the engine
// only through this class. Adding an operation does not change this file.
class EngineCore {
 public:
  // Command lists are at most this long.
  static constexpr int kMaxListLength = 16;

  explicit EngineCore(EngineServices services);
  ~EngineCore();
  EngineCore(const EngineCore&) = delete;
  EngineCore& operator=(const EngineCore&) = delete;

  // --- The state table -----------------------------------------------------------------------------
  // Every state the unit names runs its step from now on; a state without a unit runs the idle step.
  void Register(Operation& operation);
  // The engine as the main view creates it: reset, finished, no recording request, state 7.
  void Start();

  // --- Requests ------------------------------------------------------------------------------------
  void SetState(OperationState state);
  void EndOperation();
  void ResetEngine();
  // Deferral, used by the background poll of the control panel: while it is on, requested states
  // wait in the pending slot; EndDeferral copies the pending state into the operation state.
  void BeginDeferral();
  void EndDeferral();
  // The timer: one step of the current state.
  void Tick();
  // The view is destroyed: the shut-down step once (log-out without waiting, hang-up, close).
  void Shutdown();
  // The button of the progress window.
  void OnProgressCancel();

  // --- The command-list runner and the end of an operation -------------------------------------------
  // -1 while commands are outstanding, 0 when the whole list is answered, otherwise the stopping
  // link state.
  int RunCommandList(std::span<const int> list);
  int RunListAndFinish(bool run, std::span<const int> list);
  void FinishOperation(int end);
  // The failure path of the parameter and transfer states: finish, state 1, warning message.
  template <typename... Args>
  void ReportFailure(int message, const Args&... args) {
    FinishOperation(1);
    SetState(OperationState::kBackToControlUnit);
    Warn(message, services_.strings.Format(message, args...));
  }
  void ReportTimeout();  // ReportFailure(212) with its three names
  void WarnTimeout();    // message 212 only
  // Finish, then a warning box with the message's text as it stands.
  void FinishAndWarn(int message) {
    FinishOperation(1);
    Warn(message, services_.strings.Text(message));
  }
  template <typename... Args>
  void FinishAndWarn(int message, const Args&... args) {
    FinishOperation(1);
    Warn(message, services_.strings.Format(message, args...));
  }
  // A warning box; every failure message counts.
  void Warn(int message, const std::string& text);
  // Ends an operation whose link is gone: finish, not logged in, close the link, then the message.
  void EndWithDeadLink(DeadLinkEnd end);

  // --- The progress window -------------------------------------------------------------------------
  // Opens the window with `total` and `position`, or moves it when it is open.
  void ShowProgress(const std::string& text, int total, int position);
  void CloseProgress();
  bool progress_open() const { return progress_open_; }
  // The progress rule of the action states (recording modes, baseline, filter, self tests, memory
  // management, parameter writes), called by their step on every tick: the first call of an
  // operation sets busy and opens the window with `text_id`, 7.5 seconds' worth of ticks as its
  // total and 1 % of it as its position; every later call moves it on by one.
  void ActionProgressTick(int text_id);
  int action_progress_total() const;

  // --- The connection --------------------------------------------------------------------------------
  // OpenConnection(COM port, baud, slow time-out ms, extra ms, IP port, host).
  bool OpenConnection(int com_port, int baud, int slow_timeout_ms, int extra_ms, int ip_port,
                      const std::string& host);
  void Disconnect();
  bool link_open() const { return link_open_; }
  // The connection document opened last.
  const ConnectionRecord& document() const { return document_; }
  void set_document(const ConnectionRecord& record) { document_ = record; }

  // --- What the units share --------------------------------------------------------------------------
  EngineLink& link() { return services_.link; }
  RecorderData& data() { return services_.data; }
  ProtocolContext& context() { return services_.context; }
  TarvikSettings& settings() { return services_.settings; }
  const TarvikSettings& settings() const { return services_.settings; }
  UiPort& ui() { return services_.ui; }
  const kr::StringTable& strings() const { return services_.strings; }
  const kr::Clock& clock() const { return services_.clock; }
  // The lock around the recorder data model and the protocol context.
  std::mutex& ModelMutex() { return services_.link.ModelMutex(); }

  EngineState& state() { return state_; }
  const EngineState& state() const { return state_; }
  EngineFields& fields() { return fields_; }
  const EngineFields& fields() const { return fields_; }
  OperationState operation_state() const { return state_.operation_state; }

  // Mirrors the running state's facts into the protocol context.
  void SyncContext();
  void SetStatus(int text_id);
  int TargetRecorder() const { return services_.link.TargetRecorder(); }
  // The target recorder's record; call with ModelMutex held.
  KrParams* TargetRecord();
  // The refusal mark: set by the steps that treat a refused command as "not supported" (Th).
  bool refusal_mark() const { return refusal_mark_; }
  void set_refusal_mark(bool on) { refusal_mark_ = on; }
  // The recorder's transfer-stopped mark.
  bool transfer_interrupted(int recorder) const;
  void SetInterrupted(bool on);

  int failure_count() const { return failure_count_; }
  int last_failure_id() const { return last_failure_id_; }

 private:
  Operation* OperationFor(OperationState state) const;
  void StepIdle();
  bool DeadLinkCheck(Operation* operation);

  EngineServices services_;
  EngineState state_;
  EngineFields fields_;
  std::array<Operation*, kOperationStateCount> table_{};
  std::vector<Operation*> operations_;
  std::vector<std::unique_ptr<Operation>> builtin_;  // the states of the core itself (1)
  ConnectionRecord document_;
  bool refusal_mark_ = false;
  bool retry_stepped_back_ = false;  // the step-back of the current LinkRetry was done
  bool link_open_ = false;           // OpenConnection succeeded and Disconnect has not run
  unsigned write_failures_at_open_ = 0;
  bool progress_open_ = false;
  int progress_position_ = 0;
  int failure_count_ = 0;
  int last_failure_id_ = 0;
  std::array<bool, kMaxRecorders> transfer_interrupted_{};
};

}  // namespace tarvik
