#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "krcommon/string_table.h"

namespace tarvik {

inline QString ToQString(const std::string& text) {
  return QString::fromStdString(text);
}
inline std::string ToStdString(const QString& text) {
  return text.toStdString();
}

// The lines of a layout entry of the string table: a window's title first, then its field labels in
// the order the window shows them. A line the current language lacks reads as empty.
class LayoutText {
 public:
  LayoutText(const kr::StringTable& strings, int id);

  QString operator[](int line) const { return line < lines_.size() ? lines_[line] : QString(); }
  QString title() const { return (*this)[0]; }

 private:
  QStringList lines_;
};

// A file-dialog filter of the string table ("Name (*.x)|*.x|All Files (*.*)|*.*||") in Qt's form
// ("Name (*.x);;All Files (*.*)"). A name without its pattern in brackets gets it appended.
QString QtFileFilter(const std::string& table_filter);

}  // namespace tarvik
