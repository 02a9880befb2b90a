#include "ondalyne/core/page_layout.h"

#include <algorithm>

namespace ondalyne {

int ScreenFontHeight(int client_width, int client_height) {
  const int height = 4 + client_height * 2 / 100;
  const int limit = client_width * 8 / (3 * 130);
  return std::max(1, std::min(height, limit));
}

PrinterMetrics PrinterLayout(PageRect printable) {
  auto metrics = [](const PageRect& r, int& height, int& width) {
    width = r.width / 130;
    height = std::min(r.height / 45, width * 8 / 3);
    width = std::min(width, height * 3 / 8);
    width = std::max(width, 1);
    height = std::max(height, 1);
  };
  PrinterMetrics m;
  int height = 0, width = 0;
  metrics(printable, height, width);
  m.rect = {printable.left + 8 * width, printable.top + 4 * height, printable.width - 12 * width,
            printable.height - 5 * height};
  metrics(m.rect, m.font_height, m.char_width);
  return m;
}

PageLayout LayoutPage(PageRect rect, int line_height, int char_width, bool single_box) {
  PageLayout l;
  l.rect = rect;
  l.h = std::max(line_height, 1);
  l.w = std::max(char_width, 1);
  l.left_margin = 11 * l.w;
  l.plot_left = rect.left + 11 * l.w;
  l.plot_width = std::max(rect.width - 31 * l.w, 1);
  l.text_left = l.plot_left + l.plot_width + l.w;
  l.box_height = single_box ? rect.height - 6.25 * l.h : (rect.height - 7.25 * l.h) / 3.0;
  l.box_height = std::max(l.box_height, 1.0);
  l.major_tick = l.h / 2;
  l.minor_tick = l.h / 6;
  l.first_box_top = rect.top + l.h / 2.0 + 3.25 * l.h;
  return l;
}

}  // namespace ondalyne
