#include "tarvik/cli/cli_session.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <mutex>

#include "krcommon/clock.h"
#include "krcommon/text_util.h"
#include "tarvik/app/connection_record.h"
#include "tarvik/config/param_list_export.h"
#include "tarvik/config/parameter_page.h"
#include "tarvik/engine/engine_messages.h"
#include "tarvik/engine/event_erase_operation.h"
#include "tarvik/engine/headless_host.h"
#include "tarvik/engine/link_adapter.h"
#include "tarvik/engine/macro_operation.h"
#include "tarvik/engine/macro_setup.h"
#include "tarvik/engine/maintenance_operation.h"
#include "tarvik/engine/memory_management_operation.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/engine/parameter_export_operation.h"
#include "tarvik/engine/parameter_messages.h"
#include "tarvik/engine/parameter_read_operation.h"
#include "tarvik/engine/parameter_write_operation.h"
#include "tarvik/engine/password_change_operation.h"
#include "tarvik/engine/protocol_setup.h"
#include "tarvik/engine/recording_mode_operation.h"
#include "tarvik/engine/recording_operation.h"
#include "tarvik/engine/script_operation.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

namespace {

// An operation of `kind`; the fields its kind does not use keep their defaults.
CliOperation OperationOfKind(CliOperation::Kind kind, int recorder = 0, std::string root = {}) {
  CliOperation operation;
  operation.kind = kind;
  operation.recorder = recorder;
  operation.root = std::move(root);
  return operation;
}

// The switches of the maintenance actions and the states they request.
struct MaintenanceSwitch {
  const char* word;
  OperationState state;
};
constexpr MaintenanceSwitch kMaintenanceSwitches[] = {
    {"--erase-all", OperationState::kEraseAll},
    {"--baseline", OperationState::kBaseline},
    {"--clear-flags", OperationState::kClearRecorderFlags},
    {"--clear-hcu-flags", OperationState::kClearHcuFlags},
    {"--reset-alarms", OperationState::kResetRecorderAlarms},
    {"--reset-hcu-alarms", OperationState::kResetHcuAlarms},
    {"--init-filter", OperationState::kInitialiseFilter},
    {"--self-test", OperationState::kRecorderSelfTest},
    {"--hcu-self-test", OperationState::kHcuSelfTest},
    {"--clear-counters", OperationState::kClearCommunicationCounters},
    {"--sync-clock", OperationState::kSyncClock},
};

const MaintenanceSwitch* FindMaintenanceSwitch(std::string_view word) {
  for (const MaintenanceSwitch& entry : kMaintenanceSwitches) {
    if (word == entry.word) return &entry;
  }
  return nullptr;
}

bool ParseInt(std::string_view text, int low, int high, int& value) {
  const std::optional<int> parsed = kr::ParseWholeInt(text);
  if (!parsed || *parsed < low || *parsed > high) return false;
  value = *parsed;
  return true;
}

// The pieces of a comma-separated switch value.
std::vector<std::string_view> SplitCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    parts.push_back(
        text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) return parts;
    start = comma + 1;
  }
}

// "ring=on|off,mirror=on|off", either part may be left out, neither twice.
bool ParseMemoryManagement(std::string_view text, CliOperation& operation) {
  for (std::string_view part : SplitCommas(text)) {
    const size_t equals = part.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view key = part.substr(0, equals);
    const std::string_view value = part.substr(equals + 1);
    if (value != "on" && value != "off") return false;
    std::optional<bool>& target = key == "ring" ? operation.ring : operation.mirror;
    if ((key != "ring" && key != "mirror") || target) return false;
    target = value == "on";
  }
  return operation.ring || operation.mirror;
}

// "N[,N...]": event numbers 1..255.
bool ParseEventNumbers(std::string_view text, std::vector<int>& events) {
  for (std::string_view part : SplitCommas(text)) {
    int number = 0;
    if (!ParseInt(part, 1, 255, number)) return false;
    events.push_back(number);
  }
  return !events.empty();
}

// "start" or "stop".
bool ParseStartStop(std::string_view text, bool& start) {
  if (text != "start" && text != "stop") return false;
  start = text == "start";
  return true;
}

// Opens the connection the command line names and logs in; true when that succeeded, or when no
// connection was asked for and no operation needs one.
bool ConnectAndLogIn(CTarvikApp& app, const CCommandLine& command_line, const CliOptions& options,
                     OperationEngine& engine, HeadlessHost& host, ConsoleUi& ui,
                     const kr::StringTable& strings, long long max_ticks) {
  const int failures_at_start = engine.failure_count();
  bool ok = true;
  if (app.first_document()) {
    engine.OpenDocument(app.first_document()->path, app.first_document()->record);
    host.RunUntilIdle(max_ticks);
    if (IsModemLinkKind(app.first_document()->record.link_kind)) {
      engine.OnConnectButton();
      host.RunUntilIdle(max_ticks);
    }
  } else if (command_line.direct_link()) {
    engine.RequestDirectLink();
    host.RunUntilIdle(max_ticks);
  } else if (!command_line.connection_file().empty()) {
    ok = false;  // the document could not be read: the application shell said why
  } else if (!options.operations.empty()) {
    ui.ShowMessage(msg::kCliNeedConnection, strings.Text(msg::kCliNeedConnection), MessageIcon::kError,
                   MessageButtons::kOk);
    ok = false;
  }
  const bool wanted_connection = app.first_document() || command_line.direct_link();
  if (wanted_connection && (!engine.state().logged_in || engine.failure_count() != failures_at_start)) {
    ok = false;
    if (!options.operations.empty()) {
      ui.ShowMessage(msg::kCliNotLoggedIn, strings.Text(msg::kCliNotLoggedIn), MessageIcon::kError,
                     MessageButtons::kOk);
    }
  }
  return ok;
}

// --export-params (76) and --export-hcu-params (92): the path of the file written goes to stdout.
bool RunExport(bool recorder, OperationEngine& engine, HeadlessHost& host, ConsoleUi& ui,
               const kr::StringTable& strings, long long max_ticks) {
  const int failures = engine.failure_count();
  auto& exporter = engine.Unit<ParameterExportOperation>();
  if (recorder) {
    exporter.RequestRecorderExport();
  } else {
    exporter.RequestHcuExport();
  }
  host.RunUntilIdle(max_ticks);
  if (engine.failure_count() != failures) return false;
  if (exporter.last_file().empty()) {
    const std::string name = recorder ? kParamListFileName : kHcuParamListFileName;
    ui.ShowMessage(msg::kParamListNotWritten, strings.Format(msg::kParamListNotWritten, name),
                   MessageIcon::kError, MessageButtons::kOk);
    return false;
  }
  ui.out() << exporter.last_file().string() << '\n';
  return engine.state().logged_in;
}

// --show NAME: runs the page's reading state and prints what its window shows, one
// "label: value" line each; --show list names the pages.
bool RunShow(const std::string& name, OperationEngine& engine, HeadlessHost& host, LinkAdapter& stack,
             ConsoleUi& ui, const kr::StringTable& strings, long long max_ticks) {
  const std::optional<ParameterPage> page = FindParameterPage(name);
  if (!page) {
    ui.ShowMessage(msg::kCliUnknownPage, strings.Format(msg::kCliUnknownPage, name), MessageIcon::kError,
                   MessageButtons::kOk);
    return false;
  }
  const int failures = engine.failure_count();
  auto& reader = engine.Unit<ParameterReadOperation>();
  std::vector<OperationState> states{reader.StateForPage(*page)};
  // The A/D window reads the recorder's identification once, then its values periodically.
  if (*page == ParameterPage::kAdValues) states.push_back(OperationState::kAdValues);
  for (const OperationState state : states) {
    reader.RequestRead(state);
    host.RunUntilIdle(max_ticks);
    if (reader.shown_state() != state || engine.failure_count() != failures) return false;
  }
  std::vector<PageLine> lines;
  {
    std::lock_guard lock(stack.ModelMutex());
    const KrParams* kr = stack.data().Recorder(stack.TargetRecorder());
    const bool recorder_page = reader.PageReadList(*page).front() == cmd::kNa;
    const PageSource source{stack.data().hcu, recorder_page ? kr : nullptr, stack.data().hcu.LL.value,
                            engine.fields().password};
    lines = BuildPageLines(*page, reader.PageReadList(*page), source, strings);
  }
  for (const PageLine& line : lines) ui.out() << line.label << ": " << line.value << '\n';
  return engine.state().logged_in;
}

// --erase-events: erases the events, then prints the list the recorder still holds. An empty list
// is what erasing the last events leaves, not a failure.
bool RunEraseEvents(const std::vector<int>& events, OperationEngine& engine, HeadlessHost& host,
                    LinkAdapter& stack, ConsoleUi& ui, long long max_ticks) {
  const int failures = engine.failure_count();
  if (!engine.Unit<EventEraseOperation>().Request(events)) return false;
  host.RunUntilIdle(max_ticks);
  const int new_failures = engine.failure_count() - failures;
  const bool emptied = new_failures == 1 && engine.last_failure_id() == msg::kNoFilesStored;
  if (new_failures != 0 && !emptied) return false;
  ui.ShowEventList(stack.TargetRecorder(), emptied ? std::vector<EventListRow>{} : engine.event_rows());
  return engine.state().logged_in;
}

// --blasting-mode, --vm-mode, --kb-mode: as the recording-mode window does, the recording mode is read
// first (whether blasting mode is active, the trigger mode, the stored filter), then switched.
bool RunRecordingMode(const CliOperation& operation, OperationEngine& engine, HeadlessHost& host,
                      long long max_ticks) {
  const int failures = engine.failure_count();
  auto& reader = engine.Unit<ParameterReadOperation>();
  const OperationState read = reader.StateForPage(ParameterPage::kRecordingMode);
  reader.RequestRead(read);
  host.RunUntilIdle(max_ticks);
  if (reader.shown_state() != read || engine.failure_count() != failures) return false;
  auto& modes = engine.Unit<RecordingModeOperation>();
  if (operation.kind == CliOperation::Kind::kBlastingMode) {
    modes.RequestBlastingMode();
  } else if (operation.kind == CliOperation::Kind::kVmMode) {
    modes.RequestVmMode(operation.start);
  } else {
    modes.RequestKbMode(operation.start);
  }
  host.RunUntilIdle(max_ticks);
  return engine.failure_count() == failures && engine.state().logged_in;
}

// Runs one operation switch to its end; true when it succeeded.
bool RunOperation(const CliOperation& operation, OperationEngine& engine, HeadlessHost& host,
                  LinkAdapter& stack, ConsoleUi& ui, const kr::StringTable& strings,
                  std::optional<std::string>& password, long long max_ticks) {
  const int failures = engine.failure_count();
  switch (operation.kind) {
    case CliOperation::Kind::kMaintenance:
      // The password prompt of a protected action takes the password of the command line.
      if (MaintenanceOperation::IsProtected(operation.state) && password) ui.AddPassword(*password);
      if (!engine.Unit<MaintenanceOperation>().Request(operation.state)) return false;
      host.RunUntilIdle(max_ticks);
      break;
    case CliOperation::Kind::kActivateRecorder: {
      int reported = 0;
      {
        std::lock_guard lock(stack.ModelMutex());
        reported = engine.state().control_unit_present ? stack.data().hcu.NC.value : 1;
      }
      if (operation.recorder > reported) {
        ui.ShowMessage(msg::kCliNoSuchRecorder, strings.Format(msg::kCliNoSuchRecorder, operation.recorder),
                       MessageIcon::kError, MessageButtons::kOk);
        return false;
      }
      engine.ActivateRecorder(operation.recorder);
      host.RunUntilIdle(max_ticks);
      break;
    }
    case CliOperation::Kind::kTransferAll:
      ui.SetRootName(operation.root);
      if (!engine.RequestTransferAll()) return false;
      host.RunUntilIdle(max_ticks);
      break;
    case CliOperation::Kind::kListEvents:
      engine.RequestEventList();
      host.RunUntilIdle(max_ticks);
      break;
    case CliOperation::Kind::kExportParams:
    case CliOperation::Kind::kExportHcuParams:
      return RunExport(operation.kind == CliOperation::Kind::kExportParams, engine, host, ui, strings,
                       max_ticks);
    case CliOperation::Kind::kShow:
      return RunShow(operation.root, engine, host, stack, ui, strings, max_ticks);
    case CliOperation::Kind::kNewPassword:
      ui.SetPasswordChange(password.value_or(std::string()), operation.root);
      engine.Unit<PasswordChangeOperation>().Request();
      host.RunUntilIdle(max_ticks);
      // The protected operations that follow are asked with the password the unit now has.
      if (engine.failure_count() == failures && engine.fields().password == operation.root)
        password = operation.root;
      break;
    case CliOperation::Kind::kMemoryManagement:
      if (password) ui.AddPassword(*password);
      ui.SetMemoryManagement(operation.ring, operation.mirror);
      if (!engine.Unit<MemoryManagementOperation>().Request()) return false;
      host.RunUntilIdle(max_ticks);
      break;
    case CliOperation::Kind::kRecording:
      engine.Unit<RecordingOperation>().RequestFromWindow(operation.start);
      host.RunUntilIdle(max_ticks);
      break;
    case CliOperation::Kind::kBlastingMode:
    case CliOperation::Kind::kVmMode:
    case CliOperation::Kind::kKbMode:
      return RunRecordingMode(operation, engine, host, max_ticks);
    case CliOperation::Kind::kAlertingTest:
      engine.Unit<ParameterWriteOperation>().RequestWrite(OperationState::kAlertingTest);
      host.RunUntilIdle(max_ticks);
      break;
    case CliOperation::Kind::kEraseEvents:
      return RunEraseEvents(operation.events, engine, host, stack, ui, max_ticks);
    case CliOperation::Kind::kMacroText:
    case CliOperation::Kind::kMacroEntry: {
      auto& macros = engine.Unit<MacroOperation>();
      const std::filesystem::path here = std::filesystem::current_path();
      const bool entry = operation.kind == CliOperation::Kind::kMacroEntry;
      if (entry && macros.table()[static_cast<size_t>(operation.recorder - 1)].empty()) {
        ui.ShowMessage(msg::kCliEmptyMacro, strings.Format(msg::kCliEmptyMacro, operation.recorder),
                       MessageIcon::kError, MessageButtons::kOk);
        return false;
      }
      const bool requested = entry ? macros.RequestMacroEntry(operation.recorder - 1, here)
                                   : macros.RequestMacroText(operation.root, here);
      // The macro has ended when its last piece is handed over and that reply has arrived.
      if (requested)
        host.RunUntil([&] { return engine.idle() && !engine.fields().macro_text_sent; }, max_ticks);
      break;
    }
  }
  // A failure goes through state 1 (back to the control unit) before the engine is idle.
  return engine.failure_count() == failures && engine.state().logged_in;
}

}  // namespace

CliOptions ParseCliOptions(int argc, const char* const* argv) {
  CliOptions options;
  if (argc > 0) options.tarvik_words.emplace_back(argv[0]);
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    if (const MaintenanceSwitch* maintenance = FindMaintenanceSwitch(word)) {
      CliOperation operation;
      operation.kind = CliOperation::Kind::kMaintenance;
      operation.state = maintenance->state;
      options.operations.push_back(operation);
    } else if (word == "--new-password") {
      CliOperation operation = OperationOfKind(CliOperation::Kind::kNewPassword);
      if (!value(operation.root)) {
        options.error = word;
        return options;
      }
      options.operations.push_back(operation);
    } else if (word == "--memory-management") {
      CliOperation operation = OperationOfKind(CliOperation::Kind::kMemoryManagement);
      std::string text;
      if (!value(text) || !ParseMemoryManagement(text, operation)) {
        options.error = word;
        return options;
      }
      options.operations.push_back(operation);
    } else if (word == "--recording" || word == "--vm-mode" || word == "--kb-mode") {
      CliOperation operation = OperationOfKind(word == "--recording" ? CliOperation::Kind::kRecording
                                               : word == "--vm-mode" ? CliOperation::Kind::kVmMode
                                                                     : CliOperation::Kind::kKbMode);
      std::string text;
      if (!value(text) || !ParseStartStop(text, operation.start)) {
        options.error = word;
        return options;
      }
      options.operations.push_back(operation);
    } else if (word == "--blasting-mode") {
      options.operations.push_back(OperationOfKind(CliOperation::Kind::kBlastingMode));
    } else if (word == "--alerting-test") {
      options.operations.push_back(OperationOfKind(CliOperation::Kind::kAlertingTest));
    } else if (word == "--erase-events") {
      CliOperation operation = OperationOfKind(CliOperation::Kind::kEraseEvents);
      std::string text;
      if (!value(text) || !ParseEventNumbers(text, operation.events)) {
        options.error = word;
        return options;
      }
      options.operations.push_back(operation);
    } else if (word == "--macro") {
      std::string text;
      if (!value(text)) {
        options.error = word;
        return options;
      }
      options.operations.push_back(OperationOfKind(CliOperation::Kind::kMacroText, 0, text));
    } else if (word == "--macro-entry") {
      std::string text;
      int entry = 0;
      if (!value(text) || !ParseInt(text, 1, kMacroEntries, entry)) {
        options.error = word;
        return options;
      }
      options.operations.push_back(OperationOfKind(CliOperation::Kind::kMacroEntry, entry));
    } else if (word == "--list-events") {
      options.operations.push_back(OperationOfKind(CliOperation::Kind::kListEvents));
    } else if (word == "--transfer-all") {
      options.operations.push_back(OperationOfKind(CliOperation::Kind::kTransferAll));
    } else if (word.starts_with("--transfer-all=")) {
      options.operations.push_back(OperationOfKind(CliOperation::Kind::kTransferAll, 0, word.substr(15)));
    } else if (word == "--export-params") {
      options.operations.push_back(OperationOfKind(CliOperation::Kind::kExportParams));
    } else if (word == "--export-hcu-params") {
      options.operations.push_back(OperationOfKind(CliOperation::Kind::kExportHcuParams));
    } else if (word == "--show") {
      std::string page;
      if (!value(page)) {
        options.error = word;
        return options;
      }
      if (page == "list") {
        options.list_pages = true;
      } else {
        options.operations.push_back(OperationOfKind(CliOperation::Kind::kShow, 0, page));
      }
    } else if (word == "--recorder") {
      std::string text;
      int recorder = 0;
      if (!value(text) || !ParseInt(text, 1, 16, recorder)) {
        options.error = word;
        return options;
      }
      options.operations.push_back(OperationOfKind(CliOperation::Kind::kActivateRecorder, recorder));
    } else if (word == "--password") {
      std::string text;
      if (!value(text)) {
        options.error = word;
        return options;
      }
      options.password = text;
    } else if (word == "--help") {
      options.tarvik_words.emplace_back("/?");
    } else if (word == "--verbose") {
      options.verbose = true;
    } else if (word == "--new-tcp-document") {
      if (!value(options.new_document) || !value(options.new_document_address)) {
        options.error = word;
        return options;
      }
    } else if (word.starts_with("--")) {
      options.error = word;
      return options;
    } else {
      options.tarvik_words.push_back(word);
    }
  }
  return options;
}

bool WriteTcpDocument(const std::string& path, const std::string& address, std::ostream& err) {
  const size_t colon = address.rfind(':');
  int port = 0;
  if (colon == std::string::npos || colon == 0 ||
      !ParseInt(std::string_view(address).substr(colon + 1), 1, 65535, port)) {
    err << "expected HOST:PORT, found \"" << address << "\"\n";
    return false;
  }
  ConnectionRecord record;
  record.link_kind = LinkKind::kTcp;
  record.ip_port = port;
  const std::string host = address.substr(0, colon);
  if (host.size() <= kIpAddressField) {
    record.ip_address = host;
  } else {
    record.use_host_name = 1;
    record.host_name = host;
  }
  const std::vector<uint8_t> bytes = SerializeConnectionRecord(record);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    err << "cannot write " << path << '\n';
    return false;
  }
  return true;
}

int RunCliSession(const CliOptions& options, ConsoleUi& ui, AppEnvironment environment) {
  kr::StringTable strings = MakeTarvikStringTable();
  if (!options.error.empty()) {
    ui.ShowMessage(msg::kCliBadSwitch, strings.Format(msg::kCliBadSwitch, options.error), MessageIcon::kError,
                   MessageButtons::kOk);
    ui.ShowMessage(msg::kCliUsage, strings.Text(msg::kCliUsage), MessageIcon::kInformation,
                   MessageButtons::kOk);
    return 2;
  }
  std::vector<const char*> words;
  for (const std::string& word : options.tarvik_words) words.push_back(word.c_str());
  const CCommandLine command_line = CCommandLine::FromArgv(static_cast<int>(words.size()), words.data());
  CTarvikApp app(ui, strings, environment);
  switch (app.InitInstance(command_line)) {
    case StartupResult::kQuit:
      // The start-up has shown the program's help (710); tarvik-cli's own switches follow it.
      if (command_line.show_help()) {
        ui.ShowMessage(msg::kCliUsage, strings.Text(msg::kCliUsage), MessageIcon::kInformation,
                       MessageButtons::kOk);
      }
      return 0;
    case StartupResult::kFailed:
      return 1;
    case StartupResult::kRun:
      break;
  }
  TarvikSettings& settings = app.settings();
  // --show list needs no connection.
  if (options.list_pages) {
    for (const ParameterPageName& page : ParameterPageNames()) ui.out() << page.name << '\n';
  }

  std::optional<std::string> password = options.password;
  if (!password) password = environment.environment("TARVIK_PASSWORD");
  if (!password && settings.suggest_default_password == 1) password = kDefaultPassword;
  if (password) ui.AddPassword(*password);
  ui.SetVerbose(options.verbose);

  kr::SystemClock clock;
  LinkAdapter stack(clock);
  stack.link().SetSerialDeviceResolver(
      [&settings](std::uint16_t port) { return settings.serial_ports.DevicePath(port); });
  {
    std::lock_guard lock(stack.ModelMutex());
    ConfigureProtocolContext(stack.context(), settings);
  }
  OperationEngine engine({stack, stack.data(), stack.context(), settings, ui, strings, clock});
  engine.set_no_relogin(command_line.no_relogin());
  if (password) engine.set_remembered_password(*password);
  SetUpMacrosAndScript(engine, app.data_root(), command_line);

  const int polling = std::max(settings.com_polling_time, 1);
  HeadlessHost host(stack.link(), engine, polling);
  // Nothing in the engine waits longer than its own tick-counted time-outs; this bound only keeps a
  // run that could not end from hanging a server for ever.
  const long long kMaxTicks = 6LL * 3600 * 1000 / polling;
  host.RunUntilIdle(kMaxTicks);

  bool ok = ConnectAndLogIn(app, command_line, options, engine, host, ui, strings, kMaxTicks);
  for (const CliOperation& operation : options.operations) {
    if (!ok) break;
    ok = RunOperation(operation, engine, host, stack, ui, strings, password, kMaxTicks);
  }

  if (engine.state().logged_in) {
    engine.RequestLogout();
    host.RunUntil([&] { return engine.idle() && !engine.link_open(); }, kMaxTicks);
  }
  engine.Shutdown();
  {
    std::lock_guard lock(stack.ModelMutex());
    stack.link().TraceDumpToFile(app.data_root() / "Trace.dat", 0);
  }
  app.WriteSettings();
  // A script decides by its own end: it must have run to its end without an error line.
  if (ScriptExitStatus(engine.Unit<ScriptOperation>()) != 0) ok = false;
  return ok ? 0 : 1;
}

}  // namespace tarvik
