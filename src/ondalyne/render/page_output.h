#pragma once

#include <QSize>
#include <functional>
#include <string>

class QPainter;
class QRect;

namespace ondalyne {

enum class PageFormat { kPng, kSvg, kPdf, kUnknown };

// The format by the file's extension (.png, .svg, .pdf, any case).
PageFormat FormatFromPath(const std::string& path);

// Writes one page of `size` device pixels into the file: PNG and SVG at that size, PDF as one page
// of that size at 96 dots per inch. `paint` draws on a white page. False when the file cannot be
// written.
bool WritePage(const std::string& path, QSize size,
               const std::function<void(QPainter&, const QRect&)>& paint);

}  // namespace ondalyne
