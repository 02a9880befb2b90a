// Dialling and hang-up of modem links (states 9 and 10).
#include <algorithm>

#include "tarvik/engine/engine_messages.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

int OperationEngine::SendModemText(const std::string& text) {
  EngineLink& link = services_.link;
  if (fields_.step == 0) {
    const std::string_view rest =
        std::string_view(text).substr(std::min(static_cast<size_t>(fields_.text_offset), text.size()));
    modem_piece_next_ = link.SetModemText(rest);
  }
  static constexpr int kList[] = {cmd::kModemString};
  const int result = RunCommandList(kList);
  if (result != 0) return result;
  if (modem_piece_next_ == 0) return 0;
  fields_.text_offset += modem_piece_next_;
  return -1;
}

void OperationEngine::StepDial() {
  if (fields_.phase == 0) {
    if (!OpenConnection(document_.com_port, document_.baud, document_.dial_timeout * 1000,
                        document_.connection_timeout, 0, "")) {
      EndOperation();
      return;
    }
    fields_.phase = 1;
    fields_.step = 0;
    fields_.text_offset = 0;
    return;
  }
  const bool dialling = fields_.phase == 2;
  services_.ui.SetConnectText(services_.strings.Text(dialling ? msg::kDialing : msg::kInitializingModem));
  const std::string text = dialling
                               ? document_.dial_command.substr(0, 20) + document_.phone_number.substr(0, 40)
                               : document_.modem_init;
  const int result = SendModemText(text);
  int message = 0;
  switch (result) {
    case 0:
      if (!dialling) {
        fields_.phase = 2;
        fields_.step = 0;
        fields_.text_offset = 0;
        return;
      }
      if (connect_window_open_) services_.ui.CloseConnectWindow();
      connect_window_open_ = false;
      FinishOperation(1);
      state_.connection_requested = true;
      SetState(12);
      return;
    case LinkModemNotReady:
      message = msg::kModemNotReady;
      break;
    case LinkTimedOut:
      message = msg::kInitCommError;
      break;
    case LinkOffline:
      message = msg::kModemConnectFailed;
      break;
    default:
      return;
  }
  if (connect_window_open_) services_.ui.CloseConnectWindow();
  connect_window_open_ = false;
  FinishOperation(1);
  Warn(message, services_.strings.Text(message));
  Disconnect();
}

void OperationEngine::StepHangUp() {
  SetStatus(msg::kStatusHangup);
  if (!link_open_ || !services_.link.Connected()) {
    FinishOperation(1);
    if (link_open_) Disconnect();
    return;
  }
  const int result = SendModemText("+++;ATH");
  if (result == 0 || result == LinkModemNotReady) {
    FinishOperation(1);
    Disconnect();
    return;
  }
  if (result != LinkTimedOut && result != LinkOffline) return;
  const int message = result == LinkTimedOut ? msg::kInitCommError : msg::kHangupFailed;
  FinishOperation(1);
  Warn(message, services_.strings.Text(message));
  Disconnect();
}

}  // namespace tarvik
