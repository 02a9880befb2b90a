#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <memory>

#include "ondalyne/core/ondalyne_doc.h"
#include "ondalyne/core/view_commands.h"
#include "ondalyne/core/view_state.h"
#include "ondalyne/gui/ondalyne_app.h"
#include "ondalyne/render/page_renderer.h"

class QPrinter;

namespace ondalyne {

class CZoomDlg;

// One window onto a document: draws the current analysis page and zooms by dialog, drag and double
// clicks. Several views may share one document.
class COndalyneView : public QWidget {
  Q_OBJECT
 public:
  COndalyneView(std::shared_ptr<COndalyneDoc> doc, COndalyneApp& app, QWidget* parent = nullptr);

  const COndalyneDoc& doc() const { return *doc_; }
  const std::shared_ptr<COndalyneDoc>& shared_doc() const { return doc_; }
  const ViewState& state() const { return view_; }
  const CPageRenderer& renderer() const { return renderer_; }

  CommandContext Context() const;
  bool IsEnabled(int id) const;
  bool IsChecked(int id) const;
  // Runs a command of the view's table when it is enabled; false otherwise.
  bool Execute(int id);

  // The zoom dialog as the menu opens it (modal).
  void OpenZoomDialog();
  // Applies a confirmed dialog to the time window.
  void ApplyZoomDialog(const CZoomDlg& dialog);
  void CopyToClipboard() const;
  // Draws the current page on a printer page.
  void PrintPage(QPrinter& printer) const;

 signals:
  void StateChanged();
  void DotRadiusChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Changed();
  bool ZoomableMode() const;
  void ApplyZoom(SampleWindow window);

  std::shared_ptr<COndalyneDoc> doc_;
  COndalyneApp& app_;
  ViewState view_;
  CPageRenderer renderer_;
  bool dragging_ = false;
  QPoint press_;
  QPoint pointer_;
  int moves_ = 0;
};

}  // namespace ondalyne
