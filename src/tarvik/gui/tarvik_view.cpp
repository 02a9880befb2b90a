#include "tarvik/gui/tarvik_view.h"

#include <QFontDatabase>
#include <QPainter>
#include <QScrollBar>
#include <QThread>
#include <mutex>

#include "tarvik/engine/macro_setup.h"
#include "tarvik/engine/protocol_setup.h"

namespace tarvik {

namespace {

constexpr std::uint16_t kChannel = 0;

std::uint64_t RingMark(const LinkLayer& link) {
  const LinkChannel* c = link.Channel(kChannel);
  if (c == nullptr) return 0;
  return (static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(c)) << 24) ^
         (static_cast<std::uint64_t>(c->trace_line) << 12) ^
         (static_cast<std::uint64_t>(c->trace_column) << 1) ^ (c->ring_wrapped ? 1u : 0u);
}

}  // namespace

CTarvikView::CTarvikView(CTarvikApp& app, CGuiUiPort& ui, const kr::StringTable& strings, QWidget* parent)
    : QAbstractScrollArea(parent),
      app_(app),
      stack_(clock_),
      engine_({stack_, stack_.data(), stack_.context(), app.settings(), ui, strings, clock_}),
      host_(stack_.link(), engine_, ui, app.settings().com_polling_time, this) {
  setObjectName("CTarvikView");
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  viewport()->setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);  // Page Up/Down and the arrows scroll the trace
  TarvikSettings& settings = app.settings();
  stack_.link().SetSerialDeviceResolver(
      [&settings](std::uint16_t port) { return settings.serial_ports.DevicePath(port); });
  stack_.link().SetRepaintRequest([this](std::uint16_t) { RequestRepaint(); });
  {
    std::lock_guard lock(stack_.ModelMutex());
    ConfigureProtocolContext(stack_.context(), settings);
  }
  engine_.set_no_relogin(app.command_line().no_relogin());
  SetUpMacrosAndScript(engine_, app.data_root(), app.command_line());
  ui.SetEngineHandlers({
      [this] {
        engine_.OnProgressCancel();
        host_.SyncSocket();
      },
      [this] {
        engine_.OnConnectButton();
        host_.SyncSocket();
      },
      [this] {
        engine_.OnConnectCancel();
        host_.SyncSocket();
      },
  });
  connect(&host_, &CEngineHost::Ticked, this, &CTarvikView::RefreshIfMoved);
  host_.Start();
}

CTarvikView::~CTarvikView() {
  host_.Stop();
  engine_.Shutdown();
  std::lock_guard lock(stack_.ModelMutex());
  stack_.link().SetRepaintRequest(nullptr);
  stack_.link().TraceDumpToFile(app_.data_root() / "Trace.dat", kChannel);
}

void CTarvikView::RequestRepaint() {
  if (repaint_posted_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        repaint_posted_ = false;
        RefreshTrace();
      },
      Qt::QueuedConnection);
}

void CTarvikView::RefreshIfMoved() {
  std::uint64_t mark = 0;
  {
    std::lock_guard lock(stack_.ModelMutex());
    mark = RingMark(stack_.link());
  }
  if (mark != ring_mark_) RefreshTrace();
}

void CTarvikView::RefreshTrace() {
  if (QThread::currentThread() != thread()) ++off_thread_;
  ++refreshes_;
  std::string text;
  {
    std::lock_guard lock(stack_.ModelMutex());
    ring_mark_ = RingMark(stack_.link());
    stack_.link().TraceAppendToText(text, kChannel);
  }
  const bool follow = following();
  lines_ = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).split("\r\n");
  if (!lines_.isEmpty() && lines_.back().isEmpty()) lines_.removeLast();
  const QFontMetrics metrics(font());
  widest_ = 0;
  for (const QString& line : lines_) widest_ = std::max(widest_, metrics.horizontalAdvance(line));
  UpdateScrollBars();
  if (follow) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  viewport()->update();
}

bool CTarvikView::following() const {
  return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

int CTarvikView::VisibleRows() const {
  return std::max(1, viewport()->height() / std::max(1, QFontMetrics(font()).lineSpacing()));
}

void CTarvikView::UpdateScrollBars() {
  const int rows = VisibleRows();
  verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(lines_.size()) - rows));
  verticalScrollBar()->setPageStep(rows);
  horizontalScrollBar()->setRange(0, std::max(0, widest_ + 8 - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void CTarvikView::resizeEvent(QResizeEvent* event) {
  const bool follow = following();
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
  if (follow) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void CTarvikView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setFont(font());
  const QFontMetrics metrics(font());
  const int height = metrics.lineSpacing();
  const int first = verticalScrollBar()->value();
  const int rows = VisibleRows() + 1;
  const int x = 4 - horizontalScrollBar()->value();
  for (int i = 0; i < rows && first + i < lines_.size(); ++i) {
    const QString& line = lines_[first + i];
    // Errors stand in angle brackets and information in square brackets; they get their own colours.
    if (line.startsWith('<') && line.endsWith('>')) {
      painter.setPen(QColor(170, 0, 0));
    } else if (line.startsWith('[')) {
      painter.setPen(palette().color(QPalette::Link));
    } else {
      painter.setPen(palette().color(QPalette::Text));
    }
    painter.drawText(x, i * height + metrics.ascent(), line);
  }
}

}  // namespace tarvik
