#include "ondalyne/render/page_output.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>

namespace ondalyne {

PageFormat FormatFromPath(const std::string& path) {
  auto dot = path.rfind('.');
  if (dot == std::string::npos) return PageFormat::kUnknown;
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == "png") return PageFormat::kPng;
  if (ext == "svg") return PageFormat::kSvg;
  if (ext == "pdf") return PageFormat::kPdf;
  return PageFormat::kUnknown;
}

bool WritePage(const std::string& path, QSize size,
               const std::function<void(QPainter&, const QRect&)>& paint) {
  const QString file = QString::fromStdString(path);
  const QRect area(QPoint(0, 0), size);
  switch (FormatFromPath(path)) {
    case PageFormat::kPng: {
      QImage image(size, QImage::Format_RGB32);
      image.fill(Qt::white);
      {
        QPainter painter(&image);
        paint(painter, area);
      }
      return image.save(file, "PNG");
    }
    case PageFormat::kSvg: {
      QFile probe(file);
      if (!probe.open(QIODevice::WriteOnly)) return false;
      probe.close();
      QSvgGenerator svg;
      svg.setFileName(file);
      svg.setSize(size);
      svg.setViewBox(area);
      svg.setResolution(96);
      svg.setTitle("Ondalyne");
      QPainter painter;
      if (!painter.begin(&svg)) return false;
      painter.fillRect(area, Qt::white);
      paint(painter, area);
      return painter.end();
    }
    case PageFormat::kPdf: {
      QFile probe(file);
      if (!probe.open(QIODevice::WriteOnly)) return false;
      probe.close();
      QPdfWriter pdf(file);
      pdf.setResolution(96);
      pdf.setPageSize(
          QPageSize(QSizeF(size.width() * 72.0 / 96.0, size.height() * 72.0 / 96.0), QPageSize::Point));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      pdf.setTitle("Ondalyne");
      QPainter painter;
      if (!painter.begin(&pdf)) return false;
      paint(painter, QRect(QPoint(0, 0), QSize(pdf.width(), pdf.height())));
      return painter.end();
    }
    case PageFormat::kUnknown:
      break;
  }
  return false;
}

}  // namespace ondalyne
