#include "tarvik/engine/operation_engine.h"

#include "tarvik/engine/connection_operation.h"
#include "tarvik/engine/event_erase_operation.h"
#include "tarvik/engine/event_list_operation.h"
#include "tarvik/engine/initialisation_operation.h"
#include "tarvik/engine/macro_operation.h"
#include "tarvik/engine/maintenance_operation.h"
#include "tarvik/engine/memory_management_operation.h"
#include "tarvik/engine/parameter_export_operation.h"
#include "tarvik/engine/parameter_read_operation.h"
#include "tarvik/engine/parameter_write_operation.h"
#include "tarvik/engine/password_change_operation.h"
#include "tarvik/engine/recording_mode_operation.h"
#include "tarvik/engine/recording_operation.h"
#include "tarvik/engine/script_operation.h"
#include "tarvik/engine/transfer_operation.h"

namespace tarvik {

OperationEngine::OperationEngine(EngineServices services) : core_(services) {
  InstallOperations();
  core_.Start();
}

OperationEngine::~OperationEngine() = default;

// The state table: one row per operation unit; each unit names the states it runs. A new operation
// is a new unit and a new row here.
void OperationEngine::InstallOperations() {
  Install<ConnectionOperation>();
  auto& initialisation = Install<InitialisationOperation>();
  auto& transfers = Install<TransferOperation>();
  auto& event_list = Install<EventListOperation>(
      [&transfers](std::vector<int> chosen) { transfers.RequestTransferSelected(std::move(chosen)); });
  Install<EventEraseOperation>([&event_list] { event_list.RequestListAgain(); });
  Install<MaintenanceOperation>();
  Install<RecordingOperation>();
  Install<RecordingModeOperation>();
  Install<PasswordChangeOperation>();
  Install<MemoryManagementOperation>();
  Install<ParameterExportOperation>();
  Install<ParameterReadOperation>();
  Install<ParameterWriteOperation>();
  Install<MacroOperation>();
  auto& script = Install<ScriptOperation>();
  initialisation.set_login_complete_hook([&script] { return script.OnLoginComplete(); });
}

void OperationEngine::OpenDocument(const std::filesystem::path& path, const ConnectionRecord& record) {
  Unit<ConnectionOperation>().OpenDocument(path, record);
}
void OperationEngine::OnConnectButton() {
  Unit<ConnectionOperation>().OnConnectButton();
}
void OperationEngine::OnConnectCancel() {
  Unit<ConnectionOperation>().OnConnectCancel();
}
void OperationEngine::RequestDirectLink() {
  Unit<ConnectionOperation>().RequestDirectLink();
}
void OperationEngine::RequestLogout() {
  Unit<ConnectionOperation>().RequestLogout();
}
void OperationEngine::set_no_relogin(bool on) {
  Unit<ConnectionOperation>().set_no_relogin(on);
}
void OperationEngine::set_script_named(bool on) {
  Unit<ConnectionOperation>().set_script_named(on);
}

bool OperationEngine::RequestTransferAll() {
  return Unit<TransferOperation>().RequestTransferAll();
}
void OperationEngine::RequestTransferSelected(std::vector<int> file_numbers) {
  Unit<TransferOperation>().RequestTransferSelected(std::move(file_numbers));
}
void OperationEngine::RequestViewEvent(int file_number) {
  Unit<TransferOperation>().RequestViewEvent(file_number);
}
void OperationEngine::StopTransfer() {
  Unit<TransferOperation>().StopTransfer();
}
const std::filesystem::path& OperationEngine::last_event_file() const {
  return Unit<TransferOperation>().last_event_file();
}
const std::filesystem::path& OperationEngine::last_partner_file() const {
  return Unit<TransferOperation>().last_partner_file();
}
const std::string& OperationEngine::download_prefix() const {
  return Unit<TransferOperation>().download_prefix();
}

void OperationEngine::RequestEventList() {
  Unit<EventListOperation>().RequestEventList();
}
void OperationEngine::RequestSingleEventList() {
  Unit<EventListOperation>().RequestSingleEventList();
}
const std::vector<EventListRow>& OperationEngine::event_rows() const {
  return Unit<EventListOperation>().event_rows();
}

void OperationEngine::ActivateRecorder(int recorder) {
  Unit<InitialisationOperation>().ActivateRecorder(recorder);
}
int OperationEngine::current_event_index() const {
  return Unit<InitialisationOperation>().current_event_index();
}

}  // namespace tarvik
