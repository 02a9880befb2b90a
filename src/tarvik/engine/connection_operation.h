#pragma once

#include <filesystem>
#include <string>

#include "tarvik/engine/operation.h"

namespace tarvik {

// Connection, dialling and log-in: the start window (7), a connection document opened (8), modem
// dialling and hang-up (9, 10), opening the link and waiting for it (12, 11), Direct Link (86), the
// log-in and its password prompt (13, 14), the log-out (5) and the shut-down step (6).
class ConnectionOperation final : public Operation {
 public:
  using Operation::Operation;

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;
  void DescribeTo(OperationState state, ProtocolContext& context) const override;
  bool Converses(OperationState state) const override;
  DeadLinkEnd OnDeadLink(OperationState state) override;
  void OnConnectionOpened() override;

  // --- Requests -----------------------------------------------------------------------------------
  // A connection document was opened (state 8).
  void OpenDocument(const std::filesystem::path& path, const ConnectionRecord& record);
  // Connect button of the modem connect window (state 9).
  void OnConnectButton();
  // Cancel of the modem connect window.
  void OnConnectCancel();
  // File > Direct Link (state 86).
  void RequestDirectLink();
  void RequestLogout();

  // The command line named "/l": log in once without the fresh re-login.
  void set_no_relogin(bool on) { no_relogin_ = on; }
  // A start-up script is named: the password prompt is not shown.
  void set_script_named(bool on) { script_named_ = on; }

  int connect_wait_limit() const;
  int start_window_limit() const;

 private:
  static constexpr OperationState kStates[] = {
      OperationState::kLogout,         OperationState::kShutdown,   OperationState::kStartWindow,
      OperationState::kDocumentOpened, OperationState::kDial,       OperationState::kHangUp,
      OperationState::kConnectionWait, OperationState::kOpenLink,   OperationState::kLogin,
      OperationState::kPasswordPrompt, OperationState::kDirectLink,
  };

  void StepLogout();
  void StepShutdown();
  void StepStartWindow();
  void StepDocumentOpened();
  void StepDial();
  void StepHangUp();
  void StepConnectionWait();
  void StepOpenLink();
  void StepLogin();
  void StepPasswordPrompt();
  void StepDirectLink();

  // The log-out is done: menus, title, flags; hang up a live modem line, else close the link.
  void AfterLogout(bool line_alive);
  // The unit accepted the log-in: logged-in menus, then the initialisation.
  void EnterInitialisation();
  // Sends `text` in ";"-separated pieces as modem texts: -1 while running, 0 when the last piece
  // is answered, otherwise the stopping link state.
  int SendModemText(const std::string& text);
  void CloseStartWindow();
  void CloseConnectWindow();
  // A failed dial or hang-up exchange: close the connect window, finish, the message, disconnect.
  void EndModemExchange(int message);

  bool no_relogin_ = false;
  bool script_named_ = false;
  bool start_window_open_ = false;
  bool connect_window_open_ = false;
  int start_window_ticks_ = 0;
  int connect_wait_ticks_ = 0;
  int modem_delay_ticks_ = 0;
  int modem_piece_next_ = 0;  // offset of the piece after the one in flight
};

}  // namespace tarvik
