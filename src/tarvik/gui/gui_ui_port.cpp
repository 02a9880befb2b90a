#include "tarvik/gui/gui_ui_port.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <array>

#include "tarvik/gui/change_pwd_dlg.h"
#include "tarvik/gui/connect_dlg.h"
#include "tarvik/gui/event_dlg.h"
#include "tarvik/gui/file_filter.h"
#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/macro_script_question_dlg.h"
#include "tarvik/gui/main_frame.h"
#include "tarvik/gui/memory_management_dlg.h"
#include "tarvik/gui/modeless_dlg.h"
#include "tarvik/gui/password_dlg.h"
#include "tarvik/gui/start_dlg.h"

namespace tarvik {

namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

// Offscreen (the tests) has no desktop to ask for its own dialogs; Qt's are used there.
void PlainDialogIfNeeded(QFileDialog& dialog) {
  if (QGuiApplication::platformName() == "offscreen") dialog.setOption(QFileDialog::DontUseNativeDialog);
}

bool IsEventFile(const std::filesystem::path& file) {
  static constexpr std::array kKinds = {".skr", ".vkr", ".xkr", ".vmx", ".bkr"};
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find(kKinds.begin(), kKinds.end(), extension) != kKinds.end();
}

}  // namespace

CGuiUiPort::CGuiUiPort(const kr::StringTable& strings) : strings_(strings) {}

CGuiUiPort::~CGuiUiPort() {
  if (wait_cursor_) QApplication::restoreOverrideCursor();
}

void CGuiUiPort::AttachFrame(CMainFrame* frame) {
  frame_ = frame;
}

QWidget* CGuiUiPort::Parent() {
  return frame_.data();
}

void CGuiUiPort::EndTick() {
  in_tick_ = false;
  if (!pending_.empty()) QTimer::singleShot(0, this, &CGuiUiPort::FlushMessages);
}

void CGuiUiPort::SetConnectDetails(const std::string& details) {
  connect_details_ = details;
  if (connect_) connect_->SetDetails(Q(details));
}

MessageAnswer CGuiUiPort::ShowMessage(int string_id, const std::string& text, MessageIcon icon,
                                      MessageButtons buttons) {
  message_ids_.push_back(string_id);
  if ((in_tick_ || flushing_) && buttons == MessageButtons::kOk) {
    pending_.push_back({string_id, text, icon});
    return MessageAnswer::kOk;
  }
  return Show(text, icon, buttons);
}

void CGuiUiPort::FlushMessages() {
  if (flushing_) return;
  flushing_ = true;
  while (!pending_.empty()) {
    const Pending next = pending_.front();
    pending_.pop_front();
    Show(next.text, next.icon, MessageButtons::kOk);
  }
  flushing_ = false;
}

void CGuiUiPort::RepositionCursor() {
  if (settings_ == nullptr || settings_->reposition_cursor != 1 || frame_.isNull()) return;
  const QRect frame = frame_->frameGeometry();
  QCursor::setPos(frame.center() + QPoint(0, 40));
}

MessageAnswer CGuiUiPort::Show(const std::string& text, MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(QtIcon(icon), Q(ResourceField(strings_.Text(gui_text::kDocumentStrings), 2)), Q(text),
                  QMessageBox::NoButton, Parent());
  box.setObjectName("message");
  struct Choice {
    QMessageBox::StandardButton button;
    int text_id;
    MessageAnswer answer;
  };
  std::vector<Choice> choices;
  switch (buttons) {
    case MessageButtons::kOk:
      choices = {{QMessageBox::Ok, gui_text::kOk, MessageAnswer::kOk}};
      break;
    case MessageButtons::kOkCancel:
      choices = {{QMessageBox::Ok, gui_text::kOk, MessageAnswer::kOk},
                 {QMessageBox::Cancel, gui_text::kCancel, MessageAnswer::kCancel}};
      break;
    case MessageButtons::kYesNo:
      choices = {{QMessageBox::Yes, gui_text::kYes, MessageAnswer::kYes},
                 {QMessageBox::No, gui_text::kNo, MessageAnswer::kNo}};
      break;
    case MessageButtons::kYesNoCancel:
      choices = {{QMessageBox::Yes, gui_text::kYes, MessageAnswer::kYes},
                 {QMessageBox::No, gui_text::kNo, MessageAnswer::kNo},
                 {QMessageBox::Cancel, gui_text::kCancel, MessageAnswer::kCancel}};
      break;
    case MessageButtons::kRetryCancel:
      choices = {{QMessageBox::Retry, gui_text::kRetry, MessageAnswer::kRetry},
                 {QMessageBox::Cancel, gui_text::kCancel, MessageAnswer::kCancel}};
      break;
  }
  for (const Choice& choice : choices) {
    box.addButton(choice.button)->setText(Text(strings_, choice.text_id));
  }
  RepositionCursor();
  const int pressed = box.exec();
  for (const Choice& choice : choices) {
    if (pressed == choice.button) return choice.answer;
  }
  // Closed without a button: the answer that does nothing.
  return buttons == MessageButtons::kOk      ? MessageAnswer::kOk
         : buttons == MessageButtons::kYesNo ? MessageAnswer::kNo
                                             : MessageAnswer::kCancel;
}

std::optional<std::string> CGuiUiPort::AskPassword(const std::string& title, const std::string& prefill) {
  CPasswordDlg dialog(strings_, Q(title), Q(prefill), Parent());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.password().toStdString();
}

std::optional<std::string> CGuiUiPort::AskMacroScriptQuestion(const std::string& label) {
  CMacroScriptQuestionDlg dialog(strings_, Q(label), Parent());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.answer().toStdString();
}

std::optional<PasswordChange> CGuiUiPort::AskNewPassword(const std::string& title,
                                                         const std::string& current) {
  CChangePwdDlg dialog(strings_, Q(title), current, Parent(), [this](int id, const std::string& text) {
    message_ids_.push_back(id);
    Show(text, MessageIcon::kWarning, MessageButtons::kOk);
  });
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.change();
}

std::optional<MemoryManagement> CGuiUiPort::AskMemoryManagement(const std::string& title,
                                                                const MemoryManagement& current) {
  CMemoryManagementDlg dialog(strings_, Q(title), current, Parent());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

std::optional<std::filesystem::path> CGuiUiPort::ChooseFolder(const std::string& title,
                                                              const std::filesystem::path& start) {
  QFileDialog dialog(Parent(), Q(title), Q(start.string()));
  dialog.setObjectName("ChooseFolder");
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  PlainDialogIfNeeded(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

std::optional<std::filesystem::path> CGuiUiPort::ChooseSaveFile(const std::string& title,
                                                                const std::filesystem::path& directory,
                                                                const std::string& initial_name,
                                                                const std::string& filter) {
  QFileDialog dialog(Parent(), Q(title), Q(directory.string()));
  dialog.setObjectName("ChooseSaveFile");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // The caller asks about existing files itself (message 507), with its own rule.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QStringList filters;
  for (const std::string& f : QtNameFilters(filter)) filters << Q(f);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  dialog.selectFile(Q(initial_name));
  PlainDialogIfNeeded(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

CModelessDlg* CGuiUiPort::progress_window() {
  if (!progress_) {
    progress_ = new CModelessDlg(strings_, Parent());
    progress_->SetCancelHandler([this] {
      if (handlers_.progress_cancel) handlers_.progress_cancel();
    });
  }
  return progress_.data();
}

void CGuiUiPort::OpenProgress(const std::string& text, int total, int position) {
  progress_peak_ = position;
  progress_total_ = total;
  NoteProgressText(text);
  progress_window()->Open(Q(text), total, position);
}

void CGuiUiPort::UpdateProgress(const std::string& text, int position) {
  progress_peak_ = std::max(progress_peak_, position);
  NoteProgressText(text);
  progress_window()->Update(Q(text), position);
}

void CGuiUiPort::NoteProgressText(const std::string& text) {
  if (progress_texts_.empty() || progress_texts_.back() != text) progress_texts_.push_back(text);
}

void CGuiUiPort::CloseProgress() {
  if (progress_) progress_->hide();
}

void CGuiUiPort::ShowStartWindow() {
  if (!start_) start_ = new CStartDlg(strings_, Parent());
  start_->adjustSize();
  if (!frame_.isNull()) start_->move(frame_->geometry().center() - start_->rect().center());
  start_->show();
}

void CGuiUiPort::CloseStartWindow() {
  if (start_) start_->hide();
}

CConnectDlg* CGuiUiPort::connect_window() {
  if (!connect_) {
    connect_ = new CConnectDlg(strings_, Parent());
    connect_->SetHandlers(
        [this] {
          if (handlers_.connect_button) handlers_.connect_button();
        },
        [this] {
          if (handlers_.connect_cancel) handlers_.connect_cancel();
        });
    connect_->SetDetails(Q(connect_details_));
  }
  return connect_.data();
}

void CGuiUiPort::ShowConnectWindow() {
  connect_window()->Start();
}

void CGuiUiPort::SetConnectText(const std::string& text) {
  connect_window()->SetStatus(Q(text));
}

void CGuiUiPort::CloseConnectWindow() {
  if (connect_) connect_->Stop();
}

void CGuiUiPort::SetMenuSet(MenuSet menu) {
  if (!frame_.isNull()) frame_->SetMenuSet(menu);
}

void CGuiUiPort::SetWindowTitle(const std::string& title) {
  if (!frame_.isNull()) frame_->setWindowTitle(Q(title));
}

std::string CGuiUiPort::WindowTitle() {
  return frame_.isNull() ? std::string() : frame_->windowTitle().toStdString();
}

void CGuiUiPort::SetStatusText(const std::string& text) {
  status_text_ = text;
  if (!frame_.isNull()) frame_->SetTaskText(Q(text));
}

void CGuiUiPort::SetWaitCursor(bool on) {
  if (on == wait_cursor_) return;
  wait_cursor_ = on;
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void CGuiUiPort::ShowEventList(int recorder, const std::vector<EventListRow>& rows) {
  CEventDlg dialog(strings_, CEventDlg::Mode::kView, recorder, rows, Parent());
  dialog.exec();
}

std::vector<int> CGuiUiPort::ChooseEventsForTransfer(int recorder, const std::vector<EventListRow>& rows) {
  CEventDlg dialog(strings_, CEventDlg::Mode::kChooseForTransfer, recorder, rows, Parent());
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.ChosenFiles();
}

void CGuiUiPort::ShellOpen(const std::filesystem::path& file) {
  // Event files go to the viewer beside this program when it is there, everything else to the
  // desktop's own choice.
  const QString viewer = QApplication::applicationDirPath() + "/ondalyne";
  if (IsEventFile(file) && QFileInfo(viewer).isExecutable() &&
      QProcess::startDetached(viewer, {Q(file.string())})) {
    return;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(Q(file.string())))) {
    ShowMessage(gui_text::kCannotOpen, strings_.Format(gui_text::kCannotOpen, file.string()),
                MessageIcon::kWarning, MessageButtons::kOk);
  }
}

}  // namespace tarvik
