#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tarvik/engine/engine_core.h"
#include "tarvik/engine/operation.h"

namespace tarvik {

class ConnectionOperation;
class InitialisationOperation;
class TransferOperation;
class EventListOperation;

// The timer-driven state machine of the main view: every conversation with a recorder or control
// unit runs here, one step per tick. Menus, dialogs and the command line only request states.
//
// This is the engine as its hosts see it: the core, the operation units in the state table, and the
// requests of the menus and the command line, each handed to the unit that runs it.
class OperationEngine {
 public:
  // Creates the engine as the main view does: reset, finished, no recording request, state 7.
  explicit OperationEngine(EngineServices services);
  ~OperationEngine();
  OperationEngine(const OperationEngine&) = delete;
  OperationEngine& operator=(const OperationEngine&) = delete;

  EngineCore& core() { return core_; }
  const EngineCore& core() const { return core_; }
  // The unit of type T (every unit is installed once).
  template <typename T>
  T& Unit() const {
    for (const auto& operation : operations_) {
      if (auto* unit = dynamic_cast<T*>(operation.get())) return *unit;
    }
    std::abort();  // a unit that is not installed is a programming error
  }

  // --- The host -----------------------------------------------------------------------------------
  void Tick() { core_.Tick(); }
  // The view is destroyed: the shut-down step once (log-out without waiting, hang-up, close).
  void Shutdown() { core_.Shutdown(); }

  // --- Requests from menus, windows and the command line ---------------------------------------
  void SetState(OperationState state) { core_.SetState(state); }
  void BeginDeferral() { core_.BeginDeferral(); }
  void EndDeferral() { core_.EndDeferral(); }
  // A connection document was opened (state 8).
  void OpenDocument(const std::filesystem::path& path, const ConnectionRecord& record);
  // Connect button and Cancel of the modem connect window.
  void OnConnectButton();
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
  void OnProgressCancel() { core_.OnProgressCancel(); }

  // --- Settings of the run ------------------------------------------------------------------------
  // The command line named "/l": log in once without the fresh re-login.
  void set_no_relogin(bool on);
  // A start-up script is named: the password prompt is not shown.
  void set_script_named(bool on);
  // The password that pre-fills the next prompt.
  void set_remembered_password(std::string password) { core_.fields().password = std::move(password); }

  // --- What the host and the tests observe --------------------------------------------------------
  const EngineState& state() const { return core_.state(); }
  const EngineFields& fields() const { return core_.fields(); }
  OperationState operation_state() const { return core_.operation_state(); }
  bool idle() const { return core_.operation_state() == OperationState::kIdle; }
  // Failure messages shown so far (every path that reports a failure counts one).
  int failure_count() const { return core_.failure_count(); }
  int last_failure_id() const { return core_.last_failure_id(); }
  bool link_open() const { return core_.link_open(); }
  int active_recorder() const { return core_.settings().activate_kr_no; }
  bool transfer_interrupted(int recorder) const { return core_.transfer_interrupted(recorder); }
  // Last file written by a transfer into the temporary folder, and its partner ("" when none).
  const std::filesystem::path& last_event_file() const;
  const std::filesystem::path& last_partner_file() const;
  const std::string& download_prefix() const;
  // The event list read by states 21-24, newest first.
  const std::vector<EventListRow>& event_rows() const;
  // The newest event of the target recorder as set at the end of the log-in.
  int current_event_index() const;

 private:
  // Adds a unit to the state table.
  template <typename T, typename... Args>
  T& Install(Args&&... args) {
    auto unit = std::make_unique<T>(core_, std::forward<Args>(args)...);
    T& installed = *unit;
    core_.Register(installed);
    operations_.push_back(std::move(unit));
    return installed;
  }
  void InstallOperations();

  EngineCore core_;
  std::vector<std::unique_ptr<Operation>> operations_;
};

}  // namespace tarvik
