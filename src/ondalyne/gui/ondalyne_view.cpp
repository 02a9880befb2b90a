#include "ondalyne/gui/ondalyne_view.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>

#include "ondalyne/gui/clipboard_picture.h"
#include "ondalyne/gui/zoom_dlg.h"

namespace ondalyne {

COndalyneView::COndalyneView(std::shared_ptr<COndalyneDoc> doc, COndalyneApp& app, QWidget* parent)
    : QWidget(parent), doc_(std::move(doc)), app_(app), renderer_(*doc_, app.strings()) {
  view_ = InitialViewState(*doc_, app_.settings().auto_offset != 0, false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 150);
}

CommandContext COndalyneView::Context() const {
  return MakeCommandContext(*doc_, view_, app_.settings().dot_radius);
}

bool COndalyneView::IsEnabled(int id) const {
  const ViewCommand* command = FindViewCommand(id);
  return command != nullptr && command->enabled(Context());
}

bool COndalyneView::IsChecked(int id) const {
  const ViewCommand* command = FindViewCommand(id);
  return command != nullptr && command->checked(Context());
}

bool COndalyneView::Execute(int id) {
  const ViewCommand* command = FindViewCommand(id);
  if (command == nullptr || !command->enabled(Context())) return false;
  if (command->analysis_mode >= 0) {
    if (view_.mode == command->analysis_mode) return true;
    view_.mode = command->analysis_mode;
    Changed();
    return true;
  }
  if (command->channel >= 0) {
    if (view_.channel == command->channel) return true;
    view_.channel = command->channel;
    Changed();
    return true;
  }
  switch (id) {
    case cmd::kOffset:
      view_.offset = !view_.offset;
      Changed();
      break;
    case cmd::kZoom:
      OpenZoomDialog();
      break;
    case cmd::kIncreaseDots:
    case cmd::kDecreaseDots:
      app_.settings().dot_radius += id == cmd::kIncreaseDots ? kDotStep : -kDotStep;
      emit DotRadiusChanged();
      Changed();
      break;
    case cmd::kCopy:
      CopyToClipboard();
      break;
    default:
      return false;
  }
  return true;
}

void COndalyneView::Changed() {
  view_.recompute = true;
  update();
  emit StateChanged();
}

void COndalyneView::OpenZoomDialog() {
  const double rate = doc_->sampling_rate();
  if (rate <= 0) return;
  const bool whole = view_.zoom.first == 0 && view_.zoom.end == static_cast<std::int64_t>(doc_->count());
  CZoomDlg dialog(app_.strings(), view_.zoom.first / rate, view_.zoom.end / rate, whole, this);
  if (dialog.exec() == QDialog::Accepted) ApplyZoomDialog(dialog);
}

void COndalyneView::ApplyZoomDialog(const CZoomDlg& dialog) {
  const SampleWindow all{0, static_cast<std::int64_t>(doc_->count())};
  if (dialog.whole()) {
    if (view_.zoom.first != all.first || view_.zoom.end != all.end) ApplyZoom(all);
    return;
  }
  const SampleWindow window =
      ZoomFromSeconds(view_.zoom, dialog.start_seconds(), dialog.end_seconds(), doc_->sampling_rate());
  if (window.first != view_.zoom.first || window.end != view_.zoom.end) ApplyZoom(window);
}

bool COndalyneView::ZoomableMode() const {
  return doc_->kind() > 0 && (view_.mode == kModeTimeHistory || view_.mode == kModeFrequency);
}

void COndalyneView::ApplyZoom(SampleWindow window) {
  if (view_.mode == kModeFrequency) {
    const Spectrum& spectrum = renderer_.spectrum(0);
    view_.lines = ClampLineWindow(window, static_cast<std::int64_t>(spectrum.lines.size()), spectrum.delta_f);
  } else {
    view_.zoom = ClampTimeWindow(window, *doc_);
  }
  Changed();
}

void COndalyneView::CopyToClipboard() const {
  if (view_.mode == kModeStatus || doc_->kind() <= 0) return;
  QClipboard* clipboard = QApplication::clipboard();
  if (clipboard == nullptr) return;
  const ClipboardPicture picture = MakeClipboardPicture(*doc_, view_, size(), app_);
  clipboard->setMimeData(MakeClipboardMime(picture).release());
}

void COndalyneView::PrintPage(QPrinter& printer) const {
  QPainter painter;
  if (!painter.begin(&printer)) return;
  CPageRenderer renderer(*doc_, app_.strings());
  ViewState state = view_;
  state.recompute = true;
  renderer.Paint(painter, QRect(0, 0, printer.width(), printer.height()), state,
                 app_.MakeRenderOptions(true));
  painter.end();
}

void COndalyneView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  renderer_.Paint(painter, rect(), view_, app_.MakeRenderOptions(false));
  if (dragging_) {
    painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(press_, pointer_).normalized());
  }
}

void COndalyneView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  press_ = pointer_ = event->position().toPoint();
  moves_ = 0;
}

void COndalyneView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  pointer_ = event->position().toPoint();
  ++moves_;
  update();
}

void COndalyneView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  update();
  if (!ZoomableMode() || renderer_.boxes().empty()) return;
  const int x = event->position().toPoint().x();
  const int box_left = static_cast<int>(renderer_.boxes().front().rect.left());
  const double plot_width = renderer_.layout().plot_width;
  const SampleWindow current = view_.mode == kModeFrequency ? view_.lines : view_.zoom;
  const SampleWindow zoomed = ZoomByDrag(current, press_.x(), x, box_left, plot_width);
  if (zoomed.first != current.first || zoomed.end != current.end) ApplyZoom(zoomed);
}

void COndalyneView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!ZoomableMode() || renderer_.boxes().empty()) return;
  const int x = event->position().toPoint().x();
  const int box_left = static_cast<int>(renderer_.boxes().front().rect.left());
  const double plot_width = renderer_.layout().plot_width;
  const SampleWindow current = view_.mode == kModeFrequency ? view_.lines : view_.zoom;
  if (event->button() == Qt::LeftButton) {
    dragging_ = false;
    ApplyZoom(ZoomIn(current, x, box_left, plot_width));
  } else if (event->button() == Qt::RightButton) {
    ApplyZoom(ZoomOut(current, x, box_left, plot_width));
  }
}

}  // namespace ondalyne
