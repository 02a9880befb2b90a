#include "tarvik/gui/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QUrl>
#include <mutex>

#include "kr_version.h"
#include "tarvik/app/desktop_settings.h"
#include "tarvik/engine/macro_operation.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/engine/script_operation.h"
#include "tarvik/gui/file_filter.h"
#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/operate_commands.h"
#include "tarvik/gui/settings/file_link_dlg.h"
#include "tarvik/gui/settings/settings_sheet.h"
#include "tarvik/gui/tarvik_view.h"
#include "tarvik/gui/unit_commands.h"

// The icon and other files compiled into the library; a static library must register them itself.
static void InitTarvikGuiResources() {
  Q_INIT_RESOURCE(tarvik_gui);
}

namespace tarvik {

void InitGuiResources() {
  static bool done = false;
  if (done) return;
  done = true;
  InitTarvikGuiResources();
}

namespace {

bool IsConnectionFile(const QUrl& url) {
  return url.isLocalFile() && url.toLocalFile().endsWith(".krc", Qt::CaseInsensitive);
}

QString PlainMenuText(QString text) {
  text.remove('&');
  if (text.endsWith("...")) text.chop(3);
  return text;
}

QIcon ToolbarIcon(int command_id, const QStyle* style) {
  switch (command_id) {
    case cmd::kDirectLink:
      return style->standardIcon(QStyle::SP_DriveNetIcon);
    case cmd::kOpen:
      return style->standardIcon(QStyle::SP_DialogOpenButton);
    case cmd::kLogout:
      return style->standardIcon(QStyle::SP_DialogCloseButton);
    case cmd::kViewEvent:
      return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    case cmd::kTransferAll:
      return style->standardIcon(QStyle::SP_ArrowDown);
    case cmd::kStopTransfer:
      return style->standardIcon(QStyle::SP_BrowserStop);
    case cmd::kHelpTopics:
      return QIcon::fromTheme("help-contents", style->standardIcon(QStyle::SP_MessageBoxQuestion));
    default:
      return {};
  }
}

constexpr int kConnectionFileFilter = 514;

constexpr int kToolbarCommands[] = {cmd::kDirectLink,  cmd::kOpen,         cmd::kLogout,    cmd::kViewEvent,
                                    cmd::kTransferAll, cmd::kStopTransfer, cmd::kHelpTopics};

}  // namespace

CMainFrame::CMainFrame(CTarvikApp& app, CGuiUiPort& ui, const kr::StringTable& strings)
    : app_(app), ui_(ui), strings_(strings), macro_menu_(strings, app.data_root()) {
  InitGuiResources();
  setObjectName("CMainFrame");
  setAcceptDrops(true);
  setWindowIcon(QIcon(":/tarvik/tarvik.svg"));
  ui_.AttachFrame(this);
  ui_.SetSettings(&app_.settings());
  setWindowTitle(QString("%1 - %2").arg(Text(strings_, gui_text::kUntitled), AppTitle()));

  toolbar_ = addToolBar(Text(strings_, gui_text::kToolbar));
  toolbar_->setObjectName("TarvikDoc");
  toolbar_->setIconSize(QSize(20, 20));

  task_ = new QLabel(this);
  date_ = new QLabel(this);
  time_ = new QLabel(this);
  task_->setToolTip(Text(strings_, gui_text::kPaneTask));
  date_->setToolTip(Text(strings_, gui_text::kPaneDate));
  time_->setToolTip(Text(strings_, gui_text::kPaneTime));
  task_->setObjectName("Task");
  statusBar()->addWidget(task_, 1);
  statusBar()->addPermanentWidget(date_);
  statusBar()->addPermanentWidget(time_);
  clock_.setInterval(1000);
  connect(&clock_, &QTimer::timeout, this, &CMainFrame::UpdateClock);
  clock_.start();
  UpdateClock();

  view_ = new CTarvikView(app_, ui_, strings_, this);
  setCentralWidget(view_);
  connect(&view_->host(), &CEngineHost::Ticked, this, &CMainFrame::OnTick);
  unit_commands_ = new CUnitCommands(*view_, ui_, strings_, this);
  BuildMenus();
}

CMainFrame::~CMainFrame() {
  destroying_ = true;
  const WindowPlacement placement = Placement();
  ui_.AttachFrame(nullptr);
  delete view_;
  view_ = nullptr;
  app_.OnMainFrameDestroyed(placement);
}

QString CMainFrame::AppTitle() const {
  return Q(ResourceField(strings_.Text(gui_text::kDocumentStrings), 0));
}

WindowPlacement CMainFrame::Placement() const {
  WindowPlacement placement;
  if (isMinimized()) {
    placement.state = WindowShowState::kMinimized;
    placement.restore_to_maximized = (windowState() & Qt::WindowMaximized) != 0;
  } else if (isMaximized()) {
    placement.state = WindowShowState::kMaximized;
  }
  const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
  placement.normal_rect =
      WindowRect{normal.left(), normal.top(), normal.left() + normal.width(), normal.top() + normal.height()};
  return placement;
}

void CMainFrame::ShowInitially() {
  const WindowPlacement placement = app_.InitialPlacement();
  if (placement.normal_rect) {
    const WindowRect& r = *placement.normal_rect;
    setGeometry(r.left, r.top, std::max(r.right - r.left, 200), std::max(r.bottom - r.top, 150));
  } else {
    resize(900, 600);
  }
  switch (placement.state) {
    case WindowShowState::kMinimized:
      setWindowState(placement.restore_to_maximized ? (Qt::WindowMinimized | Qt::WindowMaximized)
                                                    : Qt::WindowMinimized);
      show();
      break;
    case WindowShowState::kMaximized:
      showMaximized();
      break;
    case WindowShowState::kNormal:
      show();
      break;
  }
}

void CMainFrame::StartFirstDocument() {
  if (const auto& document = app_.first_document()) {
    OpenDocumentPath(document->path);
  } else if (app_.command_line().direct_link()) {
    OnCommand(cmd::kDirectLink);
  }
}

bool CMainFrame::OpenDocumentPath(const std::filesystem::path& path) {
  std::optional<ConnectionDocument> document = app_.OpenDocument(path);
  DesktopSettings& desktop = app_.settings().desktop;
  if (!document) {
    RemoveRecentFile(desktop, path);
    BuildMenus();
    return false;
  }
  AddRecentFile(desktop, document->path);
  setWindowTitle(QString("%1 - %2").arg(Q(document->path.filename().string()), AppTitle()));
  const ConnectionRecord& r = document->record;
  ui_.SetConnectDetails(strings_.Format(gui_text::kConnectDetails, static_cast<int>(r.com_port),
                                        static_cast<int>(r.baud), r.dial_command, r.phone_number));
  view_->engine().OpenDocument(document->path, document->record);
  view_->host().SyncSocket();
  BuildMenus();
  return true;
}

void CMainFrame::SetMenuSet(MenuSet set) {
  if (destroying_) return;
  menu_set_ = set;
  if (in_command_) {
    // The menu whose command is running must outlive it.
    if (!rebuild_pending_) {
      rebuild_pending_ = true;
      QTimer::singleShot(0, this, [this] {
        rebuild_pending_ = false;
        BuildMenus();
      });
    }
    return;
  }
  BuildMenus();
}

void CMainFrame::SetTaskText(const QString& text) {
  task_->setText(text);
}

QAction* CMainFrame::Action(int command_id) const {
  const auto it = actions_.find(command_id);
  return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenus() {
  if (destroying_) return;
  toolbar_->clear();
  actions_.clear();
  auto* bar = new QMenuBar(this);
  for (const int popup : MenuBarOrder()) {
    QMenu* menu = nullptr;
    for (const MenuEntry& entry : MenuTable()) {
      if (entry.popup_id != popup || !entry.available || !InMenuSet(entry, menu_set_)) continue;
      if (menu == nullptr) menu = bar->addMenu(Text(strings_, popup));
      if (entry.command_id == cmd::kExit) {
        if (menu_set_ == MenuSet::kNotLoggedIn) AddRecentDocuments(menu);
        menu->addSeparator();
      }
      if (entry.command_id == cmd::kAbout) menu->addSeparator();
      AddEntry(menu, entry);
    }
    if (popup == menu::kOperate && menu != nullptr && menu_set_ == MenuSet::kLoggedIn) {
      macro_menu_.AppendItems(
          menu, view_->engine().Unit<MacroOperation>().table(), [this](int id) { OnCommand(id); }, actions_);
    }
    if (menu != nullptr) connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
  }
  setMenuBar(bar);
  BuildToolbar();
  UpdateCommandUi();
}

void CMainFrame::AddEntry(QMenu* menu, const MenuEntry& entry) {
  if (entry.command_id == cmd::kActivateKr) {
    for (int n = 1; n <= kActivateRecorders; ++n) {
      QAction* action = menu->addAction(Q(strings_.Format(entry.text_id, n)));
      action->setCheckable(true);
      const int id = cmd::kActivateKrFirst + n - 1;
      connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
      actions_[id] = action;
    }
    return;
  }
  const DesktopSettings& desktop = app_.settings().desktop;
  if ((entry.command_id == cmd::kHomePage && desktop.home_page.empty()) ||
      (entry.command_id == cmd::kSupportPage && desktop.support_page.empty()) ||
      (entry.command_id == cmd::kVersionPage && desktop.version_page.empty())) {
    return;  // an address that is not configured hides its entry
  }
  QAction* action = menu->addAction(Text(strings_, entry.text_id));
  if (entry.command_id == cmd::kOpen) action->setShortcut(QKeySequence::Open);
  if (entry.command_id == cmd::kHelpTopics) action->setShortcut(QKeySequence::HelpContents);
  const int id = entry.command_id;
  connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  actions_[id] = action;
}

void CMainFrame::AddRecentDocuments(QMenu* menu) {
  const std::vector<std::string>& files = app_.settings().desktop.recent_files;
  if (files.empty()) return;
  menu->addSeparator();
  const QString home = QDir::homePath();
  for (std::size_t i = 0; i < files.size(); ++i) {
    QString shown = Q(files[i]);
    if (!home.isEmpty() && shown.startsWith(home + "/")) shown = "~" + shown.mid(home.size());
    const QString label =
        i < 9 ? QString("&%1 %2").arg(i + 1).arg(shown) : QString("%1 %2").arg(i + 1).arg(shown);
    QAction* action = menu->addAction(label);
    action->setObjectName(QString("recent%1").arg(i + 1));
    const std::filesystem::path path = files[i];
    connect(action, &QAction::triggered, this, [this, path] {
      if (!view_->engine().state().logged_in && view_->engine().idle()) OpenDocumentPath(path);
    });
  }
}

void CMainFrame::BuildToolbar() {
  for (const int id : kToolbarCommands) {
    QAction* action = Action(id);
    if (action == nullptr) continue;
    action->setIcon(ToolbarIcon(id, style()));
    action->setToolTip(PlainMenuText(action->text()));
    toolbar_->addAction(action);
  }
}

MenuContext CMainFrame::Context() {
  MenuContext context;
  const OperationEngine& engine = view_->engine();
  context.logged_in = engine.state().logged_in;
  context.busy = engine.state().busy;
  context.operation_state = engine.operation_state();
  context.control_unit = engine.state().control_unit_present;
  if (context.logged_in && context.control_unit) {
    LinkAdapter& stack = view_->stack();
    std::lock_guard lock(stack.ModelMutex());
    const HcuInfo& hcu = stack.data().hcu;
    context.reported_recorders = hcu.NC.value;
    context.own_slot = hcu.QT.value;
    for (int n = 0; n < kActivateRecorders; ++n) context.offline[n] = hcu.recorders[n].offline;
  }
  return context;
}

void CMainFrame::UpdateCommandUi() {
  if (view_ == nullptr || actions_.empty()) return;
  const MenuContext context = Context();
  const int active = view_->engine().active_recorder();
  for (const auto& [id, action] : actions_) {
    const MenuEntry* entry = FindMenuEntry(id);
    if (entry == nullptr) continue;
    const int recorder = id - cmd::kActivateKrFirst + 1;
    action->setEnabled(MenuEntryEnabled(*entry, context, recorder));
    if (entry->command_id == cmd::kActivateKr) action->setChecked(recorder == active);
  }
}

void CMainFrame::OnCommand(int command_id) {
  const MenuEntry* entry = FindMenuEntry(command_id);
  if (entry == nullptr || !MenuEntryEnabled(*entry, Context(), command_id - cmd::kActivateKrFirst + 1))
    return;
  in_command_ = true;
  OperationEngine& engine = view_->engine();
  switch (entry->command_id) {
    case cmd::kDirectLink:
      setWindowTitle(QString("%1 - %2").arg(Text(strings_, gui_text::kUntitled), AppTitle()));
      engine.RequestDirectLink();
      break;
    case cmd::kOpen:
      OpenDocumentDialog();
      break;
    case cmd::kCreateLinkFile:
      EditConnectionFile();
      break;
    case cmd::kSettings:
      EditSettings();
      break;
    case cmd::kLogout:
      engine.RequestLogout();
      break;
    case cmd::kExit:
      QTimer::singleShot(0, this, &QWidget::close);
      break;
    case cmd::kViewEvent:
      engine.RequestEventList();
      break;
    case cmd::kTransferAll:
      engine.RequestTransferAll();
      break;
    case cmd::kTransferSingle:
      engine.RequestSingleEventList();
      break;
    case cmd::kStopTransfer:
      engine.StopTransfer();
      break;
    case cmd::kActivateKr:
      engine.ActivateRecorder(command_id - cmd::kActivateKrFirst + 1);
      break;
    case cmd::kRunMacro:
      if (command_id == cmd::kRunMacro) {
        macro_menu_.RunDialog(this, engine.Unit<MacroOperation>());
      } else {
        macro_menu_.RunItem(command_id, engine.Unit<MacroOperation>());
      }
      break;
    case cmd::kHelpTopics:
      OpenHelp();
      break;
    case cmd::kAbout:
      ShowAbout();
      break;
    case cmd::kHomePage:
      OpenAddress(app_.settings().desktop.home_page);
      break;
    case cmd::kSupportPage:
      OpenAddress(app_.settings().desktop.support_page);
      break;
    case cmd::kVersionPage:
      OpenAddress(VersionPageAddress(app_.settings().desktop.version_page, kr::kAppVersion));
      break;
    default:
      if (!RunOperateCommand(entry->command_id, engine, this)) unit_commands_->Run(*entry);
      break;
  }
  in_command_ = false;
  if (view_ != nullptr) view_->host().SyncSocket();
  UpdateCommandUi();
}

void CMainFrame::OpenDocumentDialog() {
  QFileDialog dialog(this, PlainMenuText(Text(strings_, 9610)), Q(app_.settings().connect_path.string()));
  dialog.setObjectName("OpenDocument");
  dialog.setFileMode(QFileDialog::ExistingFile);
  QStringList filters;
  for (const std::string& filter : QtNameFilters(strings_.Text(kConnectionFileFilter))) filters << Q(filter);
  dialog.setNameFilters(filters);
  if (QGuiApplication::platformName() == "offscreen") dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  OpenDocumentPath(dialog.selectedFiles().front().toStdString());
}

// File > Create Link File...: the editor writes the document; "connect at once" opens it as File > Open
// would.
void CMainFrame::EditConnectionFile() {
  CFileLinkDlg dialog(app_.settings(), strings_, ui_, app_.resolver(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (dialog.connect_requested() && dialog.saved_path()) OpenDocumentPath(*dialog.saved_path());
}

// File > Settings...: OK has written Tarvik.ini; the menus follow a changed language or address.
void CMainFrame::EditSettings() {
  CSettingsSheet sheet(
      app_.settings(), strings_, ui_, [this] { return app_.WriteSettings(); }, this);
  if (sheet.exec() == QDialog::Accepted) BuildMenus();
}

void CMainFrame::OpenHelp() {
  const std::filesystem::path& help = app_.help_file();
  std::error_code ec;
  if (!std::filesystem::exists(help, ec)) {
    ui_.ShowMessage(gui_text::kHelpMissing, strings_.Format(gui_text::kHelpMissing, help.string()),
                    MessageIcon::kWarning, MessageButtons::kOk);
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(help.string())));
}

void CMainFrame::OpenAddress(const std::string& address) {
  if (!address.empty()) QDesktopServices::openUrl(QUrl(Q(address)));
}

void CMainFrame::ShowAbout() {
  const QString text = QString("<b>Tarvik</b><br>%1<br><br>%2")
                           .arg(Q(strings_.Format(gui_text::kVersion, std::string(kr::kAppVersion))),
                                Text(strings_, gui_text::kProgramDescription));
  QMessageBox box(QMessageBox::Information, PlainMenuText(Text(strings_, 9655)), text, QMessageBox::Ok, this);
  box.setIconPixmap(windowIcon().pixmap(64, 64));
  box.button(QMessageBox::Ok)->setText(Text(strings_, gui_text::kOk));
  box.exec();
}

void CMainFrame::UpdateClock() {
  const QDateTime now = QDateTime::currentDateTime();
  const bool us = app_.settings().us_date_format == 1;
  const QLocale c = QLocale::c();
  date_->setText(c.toString(now, us ? "MM/dd/yyyy" : "dd.MM.yyyy"));
  time_->setText(c.toString(now, us ? "hh:mm:ss AP" : "HH:mm:ss"));
}

void CMainFrame::QuitAfterScript() {
  const ScriptOperation& script = view_->engine().Unit<ScriptOperation>();
  if (!script.quit_at_end() || close_requested_) return;
  if (script.outcome() == ScriptOutcome::kCompleted || script.outcome() == ScriptOutcome::kFailed) close();
}

void CMainFrame::OnTick() {
  UpdateCommandUi();
  QuitAfterScript();
  if (!close_requested_) return;
  OperationEngine& engine = view_->engine();
  if (!engine.idle() || engine.state().busy) return;
  if (engine.state().logged_in && !logout_sent_) {
    logout_sent_ = true;
    engine.RequestLogout();
    return;
  }
  close_confirmed_ = true;
  close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  OperationEngine& engine = view_->engine();
  const bool connected = engine.state().logged_in || !engine.idle();
  if (close_confirmed_ || !connected) {
    event->accept();
    return;
  }
  // Logged in: log out first; the window closes once the engine is idle again.
  event->ignore();
  if (close_requested_) return;
  close_requested_ = true;
  const OperationState state = engine.operation_state();
  if (state == OperationState::kTransferAll || state == OperationState::kTransferSelected) {
    engine.StopTransfer();
  } else if (state == OperationState::kStartupScript) {
    engine.Unit<ScriptOperation>().RequestStop();
  }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (std::any_of(urls.begin(), urls.end(), IsConnectionFile)) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const OperationEngine& engine = view_->engine();
  if (engine.state().logged_in || !engine.idle()) return;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!IsConnectionFile(url)) continue;
    event->acceptProposedAction();
    OpenDocumentPath(url.toLocalFile().toStdString());
    return;
  }
}

}  // namespace tarvik
