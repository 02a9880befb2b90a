// Dialling and hang-up of modem links (states 9 and 10).
#include <algorithm>

#include "tarvik/engine/connection_operation.h"
#include "tarvik/engine/engine_messages.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

int ConnectionOperation::SendModemText(const std::string& text) {
  EngineFields& fields = core().fields();
  if (fields.step == 0) {
    const std::string_view rest =
        std::string_view(text).substr(std::min(static_cast<size_t>(fields.text_offset), text.size()));
    modem_piece_next_ = core().link().SetModemText(rest);
  }
  static constexpr int kList[] = {cmd::kModemString};
  const int result = core().RunCommandList(kList);
  if (result != 0) return result;
  if (modem_piece_next_ == 0) return 0;
  fields.text_offset += modem_piece_next_;
  return -1;
}

void ConnectionOperation::EndModemExchange(int message) {
  CloseConnectWindow();
  core().FinishAndWarn(message);
  core().Disconnect();
}

void ConnectionOperation::StepDial() {
  EngineFields& fields = core().fields();
  const ConnectionRecord& document = core().document();
  if (fields.phase == 0) {
    if (!core().OpenConnection(document.com_port, document.baud, document.dial_timeout * 1000,
                               document.connection_timeout, 0, "")) {
      core().EndOperation();
      return;
    }
    fields.phase = 1;
    fields.step = 0;
    fields.text_offset = 0;
    return;
  }
  const bool dialling = fields.phase == 2;
  core().ui().SetConnectText(core().strings().Text(dialling ? msg::kDialing : msg::kInitializingModem));
  const std::string text = dialling
                               ? document.dial_command.substr(0, 20) + document.phone_number.substr(0, 40)
                               : document.modem_init;
  switch (SendModemText(text)) {
    case 0:
      if (!dialling) {
        fields.phase = 2;
        fields.step = 0;
        fields.text_offset = 0;
        return;
      }
      CloseConnectWindow();
      core().FinishOperation(1);
      core().state().connection_requested = true;
      core().SetState(OperationState::kOpenLink);
      return;
    case LinkModemNotReady:
      EndModemExchange(msg::kModemNotReady);
      return;
    case LinkTimedOut:
      EndModemExchange(msg::kInitCommError);
      return;
    case LinkOffline:
      EndModemExchange(msg::kModemConnectFailed);
      return;
    default:
      return;
  }
}

void ConnectionOperation::StepHangUp() {
  core().SetStatus(msg::kStatusHangup);
  if (!core().link_open() || !core().link().Connected()) {
    core().FinishOperation(1);
    if (core().link_open()) core().Disconnect();
    return;
  }
  const int result = SendModemText("+++;ATH");
  if (result == 0 || result == LinkModemNotReady) {
    core().FinishOperation(1);
    core().Disconnect();
    return;
  }
  if (result != LinkTimedOut && result != LinkOffline) return;
  core().FinishAndWarn(result == LinkTimedOut ? msg::kInitCommError : msg::kHangupFailed);
  core().Disconnect();
}

}  // namespace tarvik
