#include "ondalyne/gui/clipboard_picture.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include "ondalyne/render/page_renderer.h"

namespace ondalyne {

ClipboardPicture MakeClipboardPicture(const COndalyneDoc& doc, ViewState view, QSize client,
                                      const COndalyneApp& app) {
  RenderOptions options = app.MakeRenderOptions(false);
  options.picture = true;
  const int fix = app.settings().fix_clipboard_height;
  if (fix > 0) options.picture_box_height = fix * 1.2;

  CPageRenderer renderer(doc, app.strings());
  QImage probe(1, 1, QImage::Format_RGB32);
  const QSize size = renderer.PictureSize(&probe, QRect(QPoint(0, 0), client), view, options);
  const QRect area(QPoint(0, 0), QSize(client.width(), size.height()));

  ClipboardPicture picture;
  picture.png_image = QImage(size, QImage::Format_RGB32);
  picture.png_image.fill(Qt::white);
  {
    QPainter painter(&picture.png_image);
    ViewState copy = view;
    renderer.Paint(painter, area, copy, options);
  }
  QBuffer buffer(&picture.svg);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(probe.logicalDpiX());
  svg.setTitle("Ondalyne");
  svg.setDescription("Signal");
  {
    QPainter painter(&svg);
    painter.setClipRect(QRect(QPoint(0, 0), size));
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    ViewState copy = view;
    renderer.Paint(painter, area, copy, options);
  }
  return picture;
}

std::unique_ptr<QMimeData> MakeClipboardMime(const ClipboardPicture& picture) {
  auto mime = std::make_unique<QMimeData>();
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.png_image.save(&buffer, "PNG");
  mime->setData("image/svg+xml", picture.svg);
  mime->setData("image/png", png);
  mime->setImageData(picture.png_image);
  return mime;
}

}  // namespace ondalyne
