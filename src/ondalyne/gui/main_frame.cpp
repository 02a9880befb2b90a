#include "ondalyne/gui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <filesystem>

#include "kr_version.h"
#include "ondalyne/core/view_commands.h"
#include "ondalyne/gui/ondalyne_view.h"
#include "ondalyne/resources/ondalyne_strings.h"

// The icons are compiled into the static library; its resources must be registered by hand.
static void InitIcons() {
  Q_INIT_RESOURCE(ondalyne_gui);
}

namespace ondalyne {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The event-file extensions in both letter cases, for the file dialog's patterns.
QString Patterns(const char* extension) {
  return QString("*.%1 *.%2").arg(extension, QString(extension).toUpper());
}

constexpr const char* kExtensions[] = {"skr", "vkr", "xkr", "vmx", "bkr"};

}  // namespace

CMainFrame::CMainFrame(COndalyneApp& app) : app_(app), printer_(QPrinter::HighResolution) {
  InitIcons();
  setWindowTitle("Ondalyne");
  setWindowIcon(QIcon(":/ondalyne/ondalyne.svg"));
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  setAcceptDrops(true);
  BuildMenus();
  BuildToolBar();
  statusBar()->showMessage(Q(T(sid::kReady)));
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateCommands(); });
  resize(1100, 760);
  UpdateCommands();
}

CMainFrame::~CMainFrame() {
  // The child windows go after our members; their last activation signals must not reach us.
  mdi_->disconnect(this);
  for (QMdiSubWindow* sub : mdi_->subWindowList()) sub->widget()->disconnect(this);
  if (!saved_) app_.SaveDotRadius();
}

std::string CMainFrame::T(int id) const {
  return app_.strings().Text(id);
}

QAction* CMainFrame::MakeAction(int id) {
  auto* action = new QAction(Q(T(id)), this);
  actions_[id] = action;
  return action;
}

QAction* CMainFrame::Action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenus() {
  QMenu* file = menuBar()->addMenu(Q(T(sid::kMenuFile)));
  file->addAction(MakeAction(cmd::kFileOpen));
  Action(cmd::kFileOpen)->setShortcut(QKeySequence::Open);
  connect(Action(cmd::kFileOpen), &QAction::triggered, this, [this] { OpenDialog(); });
  file->addAction(MakeAction(cmd::kFileClose));
  connect(Action(cmd::kFileClose), &QAction::triggered, mdi_, &QMdiArea::closeActiveSubWindow);
  file->addSeparator();
  file->addAction(MakeAction(cmd::kPrint));
  Action(cmd::kPrint)->setShortcut(QKeySequence::Print);
  connect(Action(cmd::kPrint), &QAction::triggered, this, [this] { Print(); });
  file->addAction(MakeAction(cmd::kPrintPreview));
  connect(Action(cmd::kPrintPreview), &QAction::triggered, this, [this] { PrintPreview(); });
  file->addAction(MakeAction(cmd::kPrintSetup));
  connect(Action(cmd::kPrintSetup), &QAction::triggered, this, [this] { PrintSetup(); });
  file->addSeparator();
  recent_menu_ = file->addMenu(Q(T(sid::kMenuRecent)));
  RebuildRecentMenu();
  file->addSeparator();
  file->addAction(MakeAction(cmd::kExit));
  connect(Action(cmd::kExit), &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(Q(T(sid::kMenuEdit)));
  edit->addAction(MakeAction(cmd::kCopy));
  Action(cmd::kCopy)->setShortcut(QKeySequence::Copy);

  QMenu* view = menuBar()->addMenu(Q(T(sid::kMenuView)));
  view->addAction(MakeAction(cmd::kToolbar));
  view->addAction(MakeAction(cmd::kStatusBar));
  for (int id : {cmd::kToolbar, cmd::kStatusBar}) {
    Action(id)->setCheckable(true);
    Action(id)->setChecked(true);
  }
  connect(Action(cmd::kStatusBar), &QAction::toggled, statusBar(), &QWidget::setVisible);

  QMenu* analysis = menuBar()->addMenu(Q(T(sid::kMenuAnalysis)));
  const int groups[][6] = {{cmd::kTimeHistory, cmd::kFrequency, cmd::kVectorSum, cmd::kPeakFrequency,
                            cmd::kStatus, cmd::kAssessment},
                           {cmd::kAllChannels, cmd::kChannelX, cmd::kChannelY, cmd::kChannelZ, 0, 0},
                           {cmd::kOffset, cmd::kZoom, cmd::kIncreaseDots, cmd::kDecreaseDots, 0, 0}};
  for (const auto& group : groups) {
    if (!analysis->isEmpty()) analysis->addSeparator();
    for (int id : group) {
      if (id == 0) continue;
      analysis->addAction(MakeAction(id));
    }
  }
  for (const ViewCommand& command : ViewCommands()) {
    QAction* action = Action(command.id);
    action->setCheckable(command.checked(CommandContext{}) || command.analysis_mode >= 0 ||
                         command.channel >= 0 || command.id == cmd::kOffset);
    connect(action, &QAction::triggered, this, [this, id = command.id] {
      if (COndalyneView* active = ActiveView()) active->Execute(id);
      UpdateCommands();
    });
  }

  QMenu* window = menuBar()->addMenu(Q(T(sid::kMenuWindow)));
  window->addAction(MakeAction(cmd::kNewWindow));
  connect(Action(cmd::kNewWindow), &QAction::triggered, this, [this] { NewWindow(); });
  window->addAction(MakeAction(cmd::kCascade));
  connect(Action(cmd::kCascade), &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
  window->addAction(MakeAction(cmd::kTile));
  connect(Action(cmd::kTile), &QAction::triggered, mdi_, &QMdiArea::tileSubWindows);

  QMenu* help = menuBar()->addMenu(Q(T(sid::kMenuHelp)));
  help->addAction(MakeAction(cmd::kHelp));
  Action(cmd::kHelp)->setShortcut(QKeySequence::HelpContents);
  connect(Action(cmd::kHelp), &QAction::triggered, this, [this] { ShowHelp(); });
  help->addAction(MakeAction(cmd::kAbout));
  connect(Action(cmd::kAbout), &QAction::triggered, this, [this] { ShowAbout(); });

  for (QMenu* menu : {file, edit, analysis, window})
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });
}

void CMainFrame::BuildToolBar() {
  QToolBar* bar = addToolBar(Q(T(sid::kToolbarTitle)));
  bar->setObjectName("toolbar");
  QStyle* s = style();
  Action(cmd::kFileOpen)->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
  Action(cmd::kPrint)->setIcon(QIcon(":/ondalyne/print.svg"));
  Action(cmd::kCopy)->setIcon(QIcon(":/ondalyne/copy.svg"));
  Action(cmd::kTimeHistory)->setIcon(QIcon(":/ondalyne/time.svg"));
  Action(cmd::kFrequency)->setIcon(QIcon(":/ondalyne/frequency.svg"));
  Action(cmd::kStatus)->setIcon(QIcon(":/ondalyne/status.svg"));
  Action(cmd::kZoom)->setIcon(QIcon(":/ondalyne/zoom.svg"));
  Action(cmd::kHelp)->setIcon(QIcon(":/ondalyne/help.svg"));
  for (int id : {cmd::kFileOpen, cmd::kPrint, cmd::kCopy, 0, cmd::kTimeHistory, cmd::kFrequency, cmd::kStatus,
                 cmd::kZoom, 0, cmd::kHelp}) {
    if (id == 0) {
      bar->addSeparator();
    } else {
      bar->addAction(Action(id));
    }
  }
  connect(Action(cmd::kToolbar), &QAction::toggled, bar, &QWidget::setVisible);
}

void CMainFrame::RebuildRecentMenu() {
  recent_menu_->clear();
  const auto& files = app_.recent().files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const QString path = Q(files[i]);
    QAction* action = recent_menu_->addAction(QString("&%1 %2").arg(i + 1).arg(path));
    connect(action, &QAction::triggered, this, [this, path] { OpenFile(path); });
  }
  recent_menu_->setEnabled(!files.empty());
}

COndalyneView* CMainFrame::ActiveView() const {
  QMdiSubWindow* sub = mdi_->activeSubWindow();
  if (sub == nullptr && !mdi_->subWindowList().isEmpty()) sub = mdi_->subWindowList().last();
  return sub == nullptr ? nullptr : qobject_cast<COndalyneView*>(sub->widget());
}

bool CMainFrame::OpenFile(const QString& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path.toStdString(), ec)) {
    app_.warn(app_.strings().Format(sid::kCannotOpen, path.toStdString()));
    app_.recent().Remove(QFileInfo(path).absoluteFilePath().toStdString());
    RebuildRecentMenu();
    return false;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  auto doc = std::make_shared<COndalyneDoc>();
  app_.LoadDocument(*doc, path.toStdString());
  QApplication::restoreOverrideCursor();
  if (doc->kind() > 0) {
    app_.AddRecent(path.toStdString());
    RebuildRecentMenu();
  }
  AddView(new COndalyneView(doc, app_));
  return true;
}

void CMainFrame::NewWindow() {
  if (COndalyneView* active = ActiveView()) AddView(new COndalyneView(active->shared_doc(), app_));
}

void CMainFrame::AddView(COndalyneView* view) {
  QMdiSubWindow* sub = mdi_->addSubWindow(view);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  const QString name = QFileInfo(Q(view->doc().path())).fileName();
  int same = 0;
  for (QMdiSubWindow* other : mdi_->subWindowList())
    if (auto* v = qobject_cast<COndalyneView*>(other->widget()); v && v->shared_doc() == view->shared_doc())
      ++same;
  sub->setWindowTitle(same > 1 ? QString("%1:%2").arg(name).arg(same) : name);
  sub->setWindowIcon(windowIcon());
  connect(view, &COndalyneView::StateChanged, this, [this] { UpdateCommands(); });
  connect(view, &COndalyneView::DotRadiusChanged, this, [this] {
    for (QMdiSubWindow* other : mdi_->subWindowList()) other->widget()->update();
  });
  sub->resize(mdi_->size() * 0.9);
  sub->show();
  mdi_->setActiveSubWindow(sub);
  UpdateCommands();
}

void CMainFrame::UpdateCommands() {
  const COndalyneView* view = ActiveView();
  const bool interval = view != nullptr && view->doc().IsInterval();
  for (const ViewCommand& command : ViewCommands()) {
    QAction* action = Action(command.id);
    action->setEnabled(view != nullptr && view->IsEnabled(command.id));
    action->setChecked(view != nullptr && view->IsChecked(command.id));
    // Only the menus of vmx and bkr files carry the interval analyses.
    if (command.interval_only) action->setVisible(interval);
  }
  for (int id :
       {cmd::kFileClose, cmd::kPrint, cmd::kPrintPreview, cmd::kNewWindow, cmd::kCascade, cmd::kTile})
    Action(id)->setEnabled(view != nullptr);
}

void CMainFrame::OpenDialog() {
  QStringList filters;
  QStringList all;
  for (const char* extension : kExtensions) all << Patterns(extension);
  filters << Q(T(sid::kFilterAll)).replace(QRegularExpression("\\(.*\\)"), "(" + all.join(' ') + ")");
  for (int i = 0; i < 5; ++i)
    filters << Q(T(sid::kFilterFirst + i))
                   .replace(QRegularExpression("\\(.*\\)"), "(" + Patterns(kExtensions[i]) + ")");
  const QStringList files = QFileDialog::getOpenFileNames(this, QString(), QString(), filters.join(";;"));
  for (const QString& file : files) OpenFile(file);
}

void CMainFrame::Print() {
  COndalyneView* view = ActiveView();
  if (view == nullptr) return;
  QPrintDialog dialog(&printer_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  view->PrintPage(printer_);
  QApplication::restoreOverrideCursor();
}

void CMainFrame::PrintPreview() {
  COndalyneView* view = ActiveView();
  if (view == nullptr) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QPrintPreviewDialog preview(&printer_, this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [view](QPrinter* printer) { view->PrintPage(*printer); });
  QApplication::restoreOverrideCursor();
  preview.exec();
}

void CMainFrame::PrintSetup() {
  QPageSetupDialog dialog(&printer_, this);
  dialog.exec();
}

void CMainFrame::ShowHelp() {
  const std::filesystem::path file = app_.HelpFile();
  if (file.empty()) {
    app_.warn(app_.strings().Format(sid::kHelpMissing, app_.HelpFileName()));
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(file.string())));
}

void CMainFrame::ShowAbout() {
  QMessageBox::about(
      this, Q(app_.strings().Format(sid::kAboutTitle, std::string("Ondalyne"))),
      Q(app_.strings().Format(sid::kAboutText, std::string("Ondalyne"), std::string(kr::kAppVersion))));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  mdi_->closeAllSubWindows();
  app_.SaveDotRadius();
  saved_ = true;
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  OpenDropped(*event->mimeData());
  event->acceptProposedAction();
}

void CMainFrame::OpenDropped(const QMimeData& mime) {
  for (const QUrl& url : mime.urls())
    if (url.isLocalFile()) OpenFile(url.toLocalFile());
}

}  // namespace ondalyne
