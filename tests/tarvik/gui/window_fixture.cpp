#include "window_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "tarvik/app/connection_record.h"
#include "tarvik/gui/password_dlg.h"
#include "tarvik/gui/tarvik_view.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik_gui_test {

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "kr-gui-test-XXXXXX").string();
  path_ = ::mkdtemp(pattern.data());
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

bool WaitUntil(const std::function<bool()>& done, int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeout_ms) return done();
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

struct ModalAnswerer::Impl {
  QTimer timer;
};

ModalAnswerer::ModalAnswerer() : impl_(std::make_unique<Impl>()) {
  impl_->timer.setInterval(30);
  QObject::connect(&impl_->timer, &QTimer::timeout, [this] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    const std::string title = modal->windowTitle().toStdString();
    if (titles_.empty() || titles_.back() != title) titles_.push_back(title);
    for (const Handler& handler : handlers_) {
      if (handler(modal)) return;
    }
  });
  impl_->timer.start();
}

ModalAnswerer::~ModalAnswerer() = default;

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
}

fs::path WriteTcpDocument(const fs::path& folder, int port) {
  tarvik::ConnectionRecord record;
  record.link_kind = tarvik::LinkKind::kTcp;
  record.ip_address = "127.0.0.1";
  record.ip_port = port;
  record.connection_timeout = 500;
  const std::vector<uint8_t> bytes = tarvik::SerializeConnectionRecord(record);
  const fs::path path = folder / "site.krc";
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::map<std::string, std::string> EventFiles(const fs::path& folder, std::size_t root_length) {
  static const char* kKinds[] = {".skr", ".vkr", ".xkr", ".vmx", ".bkr"};
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string extension = entry.path().extension().string();
    if (std::none_of(std::begin(kKinds), std::end(kKinds), [&](const char* k) { return extension == k; })) {
      continue;
    }
    files[entry.path().filename().string().substr(root_length)] = ReadAll(entry.path());
  }
  return files;
}

std::map<std::string, std::string> ExpectedFiles(const fs::path& folder) {
  krsim_test::SimProcess exporter({"--export-events", folder.string()});
  EXPECT_EQ(exporter.Wait(krsim_test::In(krsim_test::kGenerous)), 0);
  return EventFiles(folder, 0);
}

int PortOf(krsim_test::SimProcess& sim) {
  const std::string port = sim.WaitFor("PORT ", krsim_test::In(krsim_test::kGenerous));
  return port.empty() ? 0 : std::stoi(port);
}

namespace {

tarvik::AppEnvironment Environment(const fs::path& data_root) {
  tarvik::AppEnvironment environment;
  const std::string root = data_root.string();
  environment.environment = [root](std::string_view name) -> std::optional<std::string> {
    if (name == "TARVIK_DATA_ROOT") return root;
    return std::nullopt;
  };
  environment.program_directory = TARVIK_PROGRAM_DIR;
  return environment;
}

}  // namespace

WindowSession::WindowSession(const fs::path& data_root, const std::string& settings_text,
                             std::vector<std::string> words)
    : strings_(tarvik::MakeTarvikStringTable()), ui_(strings_), app_(ui_, strings_, Environment(data_root)) {
  if (!settings_text.empty()) WriteText(data_root / "Tarvik.ini", settings_text);
  words.insert(words.begin(), "tarvik");
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  const auto command_line = tarvik::CCommandLine::FromArgv(static_cast<int>(argv.size()), argv.data());
  if (app_.InitInstance(command_line) != tarvik::StartupResult::kRun) return;
  ui_.SetSettings(&app_.settings());
  frame_ = std::make_unique<tarvik::CMainFrame>(app_, ui_, strings_);
  frame_->ShowInitially();
  frame_->StartFirstDocument();
}

WindowSession::~WindowSession() {
  DestroyWindow();
}

void WindowSession::DestroyWindow() {
  frame_.reset();
}

ModalAnswerer::Handler AcceptPasswordPrompt(int* prompts, std::string* title, std::string* prefill) {
  return [=](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CPasswordDlg*>(modal);
    if (dialog == nullptr) return false;
    ++*prompts;
    if (title != nullptr) *title = dialog->windowTitle().toStdString();
    if (prefill != nullptr) *prefill = dialog->password().toStdString();
    dialog->accept();
    return true;
  };
}

ModalAnswerer::Handler AnswerSaveDialog(const std::string& name, std::string* title) {
  return [=](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr || dialog->objectName() != "ChooseSaveFile") return false;
    *title = dialog->windowTitle().toStdString();
    // Typed into the name field; the dialog's file list loads in the background and is not waited for.
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (edit == nullptr) return false;
    edit->setText(dialog->directory().filePath(QString::fromStdString(name)));
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept takes the typed name
    return true;
  };
}

bool WaitLoggedIn(WindowSession& session) {
  tarvik::OperationEngine& engine = session.frame().view()->engine();
  return WaitUntil([&] {
    return engine.state().logged_in && engine.idle() &&
           session.frame().menu_set() == tarvik::MenuSet::kLoggedIn;
  });
}

bool SaveScreenshot(QWidget& widget, const std::string& name) {
  // The pictures in the repository come from the offscreen runs; the Xvfb run leaves them alone.
  if (QGuiApplication::platformName() != "offscreen") return true;
  const fs::path folder = fs::path(KR_SOURCE_DIR) / "docs" / "screenshots";
  fs::create_directories(folder);
  return widget.grab().save(QString::fromStdString((folder / (name + ".png")).string()));
}

}  // namespace tarvik_gui_test
