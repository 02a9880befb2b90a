#pragma once

// The screenshots of the windows: pictures stacked on one sheet, written once per language into
// docs/screenshots.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik_gui_test {

// The pictures one below the other on a grey sheet, 12 pixels apart and from the edges.
inline QImage PictureSheet(const std::vector<QImage>& pictures) {
  int width = 0;
  int height = 12;
  for (const QImage& picture : pictures) {
    width = std::max(width, picture.width());
    height += picture.height() + 12;
  }
  QImage sheet(width + 24, height, QImage::Format_RGB32);
  sheet.fill(QColor(90, 96, 104));
  QPainter painter(&sheet);
  int y = 12;
  for (const QImage& picture : pictures) {
    painter.drawImage(12, y, picture);
    y += picture.height() + 12;
  }
  return sheet;
}

// Writes the sheet `make_sheet` draws in English, German and Chinese as docs/screenshots/<stem>_enu.png,
// _deu.png and _chs.png. Only the offscreen run writes them, so the pictures do not depend on a desktop.
inline void SaveInEveryLanguage(const std::string& stem,
                                const std::function<QImage(const kr::StringTable&)>& make_sheet) {
  if (QGuiApplication::platformName() != "offscreen") GTEST_SKIP() << "pictures come from the offscreen run";
  kr::StringTable strings = tarvik::MakeTarvikStringTable();
  const struct {
    kr::Language language;
    const char* suffix;
  } kLanguages[] = {
      {kr::Language::kEnglish, "_enu"}, {kr::Language::kGerman, "_deu"}, {kr::Language::kChinese, "_chs"}};
  for (const auto& language : kLanguages) {
    strings.SetLanguage(language.language);
    const std::filesystem::path file =
        std::filesystem::path(KR_SOURCE_DIR) / "docs" / "screenshots" / (stem + language.suffix + ".png");
    EXPECT_TRUE(make_sheet(strings).save(QString::fromStdString(file.string()))) << file;
  }
}

}  // namespace tarvik_gui_test
