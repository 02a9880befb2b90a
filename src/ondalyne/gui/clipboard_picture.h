#pragma once

#include <QByteArray>
#include <QImage>
#include <QMimeData>
#include <QSize>
#include <memory>

#include "ondalyne/core/ondalyne_doc.h"
#include "ondalyne/core/view_state.h"
#include "ondalyne/gui/ondalyne_app.h"

namespace ondalyne {

// The picture Copy puts on the clipboard: the shown channels' boxes with their traces, value axes
// and bold labels, and the axis under the last box; no header block and no text column. Drawn with
// the screen layout of a window of `client` size; with FixClipboardHeight above 0 every box is
// FixClipboardHeight x 1.2 pixels high.
struct ClipboardPicture {
  QImage png_image;
  QByteArray svg;
};
ClipboardPicture MakeClipboardPicture(const COndalyneDoc& doc, ViewState view, QSize client,
                                      const COndalyneApp& app);

// The same as clipboard data: "image/svg+xml", "image/png" and Qt's image.
std::unique_ptr<QMimeData> MakeClipboardMime(const ClipboardPicture& picture);

}  // namespace ondalyne
