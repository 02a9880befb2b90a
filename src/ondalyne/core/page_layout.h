#pragma once

#include <array>

namespace ondalyne {

struct PageRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Everything a page is placed by, in device units.
struct PageLayout {
  PageRect rect;
  int h = 0;  // line height
  int w = 0;  // average character width
  int left_margin = 0;
  int plot_left = 0;
  int plot_width = 0;
  int text_left = 0;  // the text column right of the plot
  double box_height = 0;
  int major_tick = 0;
  int minor_tick = 0;
  // Top of box i (0 for a single channel; 0, 1, 2 for three stacked ones).
  double BoxTop(int index) const { return first_box_top + index * (box_height + h / 2.0); }
  double first_box_top = 0;
};

// Font height on the screen: 4 + 2 % of the client height, at most 8/3 of client width / 130.
int ScreenFontHeight(int client_width, int client_height);

// The printable rectangle reduced by the margins (8 characters left, 4 lines top, 4 characters
// right, 1 line bottom), and the font height and width for the reduced rectangle.
struct PrinterMetrics {
  PageRect rect;
  int font_height = 0;
  int char_width = 0;
};
PrinterMetrics PrinterLayout(PageRect printable);

// The page arithmetic shared by screen and paper, from the rectangle and the font metrics.
PageLayout LayoutPage(PageRect rect, int line_height, int char_width, bool single_box);

}  // namespace ondalyne
