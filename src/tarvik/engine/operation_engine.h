#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/app/connection_record.h"
#include "tarvik/app/tarvik_settings.h"
#include "tarvik/engine/engine_link.h"
#include "tarvik/protocol/protocol_context.h"
#include "tarvik/protocol/recorder_data.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// The engine's record for the whole process (one per main view).
struct EngineState {
  int operation_state = 0;  // the state the next tick executes; 0 = idle
  int pending_state = 0;    // receives requested states while deferral is on
  bool logged_in = false;
  bool control_unit_present = false;  // an HCU polls several recorders behind this link
  bool direct_recorder = false;       // the device name read at log-in begins with "M"
  bool busy = false;                  // an operation with a progress window or dialog is running
  bool deferral = false;
  bool connection_requested = false;
  bool recording_mode_window_open = false;
  std::filesystem::path document_path;
  int document_link_kind = 0;
  int link_kind = 0;          // 0 Modem 1, 1 Modem 2, 2 serial document, 4 TCP, 6 Direct Link
  int recording_request = 2;  // 1 start, 0 stop, 2 nothing requested
};

// The per-operation fields of the main view's engine.
struct EngineFields {
  int step = 0;
  int phase = 0;
  bool stop_requested = false;
  int text_offset = 0;
  bool macro_text_sent = false;
  int macro_offset = 0;
  int start_window_ticks = 0;
  int connect_wait_ticks = 0;
  int modem_delay_ticks = 0;
  std::string password;      // the password last typed; pre-fills later prompts
  std::string window_title;  // the main window's title at connection time
};

bool IsSerialLinkKind(int kind);  // 2 or 6
bool IsTcpLinkKind(int kind);     // 4
bool IsModemKind(int kind);       // 0, 1, 3 or 5

// Blocks of 128 bytes that the download of an event is expected to take, from its directory entry:
// the two header blocks, then pairs of blocks that carry up to 253 bytes of packed records each.
// A record's packed size depends on the signal, so the widest form is assumed (7 bytes, 8 in xkr
// files): the estimate is an upper bound, which keeps a progress bar from running past its end.
int EstimatedEventBlocks(const DirectoryEntry& entry);

// What the engine needs besides the link: the recorder data model and protocol context it shares
// with the protocol layer (guarded by EngineLink::ModelMutex), the settings, the person, the texts.
struct EngineServices {
  EngineLink& link;
  RecorderData& data;
  ProtocolContext& context;
  TarvikSettings& settings;
  UiPort& ui;
  const kr::StringTable& strings;
};

// The timer-driven state machine of the main view: every conversation with a recorder or control
// unit runs here, one step per tick. Menus, dialogs and the command line only request states.
class OperationEngine {
 public:
  // Command lists are at most this long.
  static constexpr int kMaxListLength = 16;

  // Creates the engine as the main view does: reset, finished, no recording request, state 7.
  explicit OperationEngine(EngineServices services);

  // --- Requests from menus, windows and the command line ---------------------------------------
  void SetState(int state);
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

  // A connection document was opened (state 8).
  void OpenDocument(const std::filesystem::path& path, const ConnectionRecord& record);
  // Connect button of the modem connect window (state 9).
  void OnConnectButton();
  // Cancel of the modem connect window.
  void OnConnectCancel();
  // File > Direct Link (state 86).
  void RequestDirectLink();
  void RequestLogout();
  // Transfer > All Events: asks for the folder or root name, then state 19. False when the person
  // cancelled (nothing requested).
  bool RequestTransferAll();
  // View > Event (21) and Transfer > Single Events (23).
  void RequestEventList();
  void RequestSingleEventList();
  // Transfer of the chosen events (state 18).
  void RequestTransferSelected(std::vector<int> file_numbers);
  // Transfer of one event into the temporary folder for viewing (state 20).
  void RequestViewEvent(int file_number);
  // Activate KR n: the initialisation of phases 1-4 runs again for recorder n.
  void ActivateRecorder(int recorder);
  void StopTransfer();
  // The button of the progress window.
  void OnProgressCancel();

  // --- Settings of the run ------------------------------------------------------------------------
  // The command line named "/l": log in once without the fresh re-login.
  void set_no_relogin(bool on) { no_relogin_ = on; }
  // A start-up script is named: the password prompt is not shown.
  void set_script_named(bool on) { script_named_ = on; }
  // The password that pre-fills the next prompt.
  void set_remembered_password(std::string password) { fields_.password = std::move(password); }

  // --- What the host and the tests observe --------------------------------------------------------
  const EngineState& state() const { return state_; }
  const EngineFields& fields() const { return fields_; }
  int operation_state() const { return state_.operation_state; }
  bool idle() const { return state_.operation_state == 0; }
  // Failure messages shown so far (every path that reports a failure counts one).
  int failure_count() const { return failure_count_; }
  int last_failure_id() const { return last_failure_id_; }
  bool link_open() const { return link_open_; }
  int active_recorder() const { return state_settings().activate_kr_no; }
  bool transfer_interrupted(int recorder) const;
  // Last file written by a transfer into the temporary folder, and its partner ("" when none).
  const std::filesystem::path& last_event_file() const { return last_event_file_; }
  const std::filesystem::path& last_partner_file() const { return last_partner_file_; }
  const std::string& download_prefix() const { return download_prefix_; }
  // The event list read by states 21-24, newest first.
  const std::vector<EventListRow>& event_rows() const { return event_rows_; }
  // The newest event of the target recorder as set at the end of the log-in (events - 1, 0 when
  // there are none); the event list window starts from it.
  int current_event_index() const { return current_event_index_; }
  int connect_wait_limit() const;
  int start_window_limit() const;

  // The command-list runner, public for the states of other parts and for tests: -1 while
  // commands are outstanding, 0 when the whole list is answered, otherwise the stopping link state.
  int RunCommandList(std::span<const int> list);
  int RunListAndFinish(bool run, std::span<const int> list);
  void FinishOperation(int end);
  // The failure path of the parameter and transfer states: finish, state 1, warning message.
  template <typename... Args>
  void ReportFailure(int message, const Args&... args) {
    FinishOperation(1);
    SetState(1);
    Warn(message, services_.strings.Format(message, args...));
  }
  // The progress window of the action states (recording modes, baseline, filter, self tests, memory
  // management, parameter writes), called by their step on every tick: the first call of an
  // operation sets busy and opens the window with `text_id`, 7.5 seconds' worth of ticks as its
  // total and 1 % of it as its position; every later call moves it on by one.
  void ActionProgressTick(int text_id);
  int action_progress_total() const;
  // OpenConnection(COM port, baud, slow time-out ms, extra ms, IP port, host).
  bool OpenConnection(int com_port, int baud, int slow_timeout_ms, int extra_ms, int ip_port,
                      const std::string& host);
  void Disconnect();

 private:
  const TarvikSettings& state_settings() const { return services_.settings; }
  void Warn(int message, const std::string& text);
  void ReportTimeout();  // ReportFailure(212) with its three names
  void WarnTimeout();    // message 212 only
  template <typename... Args>
  void FinishAndWarn(int message, const Args&... args) {
    FinishOperation(1);
    Warn(message, services_.strings.Format(message, args...));
  }
  void SetStatus(int id);
  void SyncContext();
  KrParams* TargetRecord();
  int TargetRecorder() const { return services_.link.TargetRecorder(); }
  void SetInterrupted(bool on);
  bool DeadLinkCheck();
  void EndWithDeadLink();

  // Steps of the states.
  void StepIdle();
  void StepBackToControlUnit();  // 1
  void StepLogout();             // 5
  void StepShutdown();           // 6
  void StepStartWindow();        // 7
  void StepDocumentOpened();     // 8
  void StepDial();               // 9
  void StepHangUp();             // 10
  void StepConnectionWait();     // 11
  void StepOpenLink();           // 12
  void StepLogin();              // 13
  void StepPasswordPrompt();     // 14
  void StepInitialisation();     // 15
  // The phases of state 15; each returns the link state its result handling must see (-1: none).
  int StepInitPhase0();
  int StepInitPhase12();
  int StepInitPhase34();
  void EnterFinalInitPhase();
  void HandleInitResult(int result);
  void StepTransfer();                  // 18, 19
  bool PrepareTransferMd(bool single);  // false: the recorder has no events (216 shown)
  void HandleTransferResult(bool single, int result);
  void OnTransferEventDone(bool single);
  bool DownloadInFlight(int result, int list_length) const;
  void StepTransferToTemp();  // 20
  void StepEventList();       // 21-24
  void FinishEventList(int state, int events);
  void ShowEventListProgress(int read, int events);
  void HandleEventListResult(int result, int last_step, int read, int events);
  void ClearDirectoryCount();
  void StepDirectLink();  // 86

  // The log-out is done: menus, title, flags; hang up a live modem line, else close the link.
  void AfterLogout(bool line_alive);
  // The unit accepted the log-in: logged-in menus, then the initialisation of state 15.
  void EnterInitialisation();
  void CompleteLogin();
  bool FirmwareCheck();
  void ClearRefusal();
  // Sends `text` in ";"-separated pieces as modem texts: -1 while running, 0 when the last piece
  // is answered, otherwise the stopping link state.
  int SendModemText(const std::string& text);
  bool ChooseTransferTarget();
  void CollectEventRows();
  void ShowTransferProgress(bool single);
  void ShowSelectedProgress();        // state 18: blocks of the selected events
  void ShowViewProgress(int events);  // state 20: blocks of the one event

  EngineServices services_;
  EngineState state_;
  EngineFields fields_;
  ConnectionRecord document_;
  bool no_relogin_ = false;
  bool script_named_ = false;
  bool th_refused_ = false;
  bool retry_stepped_back_ = false;  // the step-back of the current LinkRetry was done
  bool link_open_ = false;           // OpenConnection succeeded and Disconnect has not run
  unsigned write_failures_at_open_ = 0;
  bool progress_open_ = false;
  int progress_position_ = 0;
  bool start_window_open_ = false;
  bool connect_window_open_ = false;
  int modem_piece_next_ = 0;  // offset of the piece after the one in flight
  int failure_count_ = 0;
  int last_failure_id_ = 0;
  std::array<bool, kMaxRecorders> transfer_interrupted_{};
  std::vector<int> selected_files_;
  std::size_t selected_index_ = 0;
  std::vector<int> selected_blocks_;  // estimated blocks of each selected event (state 18)
  int view_blocks_ = 0;               // estimated blocks of the event of state 20
  int current_event_index_ = 0;
  int view_event_ = 0;
  std::string download_prefix_;
  std::filesystem::path last_event_file_;
  std::filesystem::path last_partner_file_;
  std::vector<EventListRow> event_rows_;
};

}  // namespace tarvik
