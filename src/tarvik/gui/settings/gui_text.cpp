#include "tarvik/gui/settings/gui_text.h"

namespace tarvik {

LayoutText::LayoutText(const kr::StringTable& strings, int id)
    : lines_(ToQString(strings.Text(id)).split(QLatin1Char('\n'))) {}

QString QtFileFilter(const std::string& table_filter) {
  const QStringList parts = ToQString(table_filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& name = parts[i];
    const QString& pattern = parts[i + 1];
    if (name.isEmpty() || pattern.isEmpty()) break;
    const QString patterns = QString(pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << (name.contains(QLatin1Char('(')) ? name : QStringLiteral("%1 (%2)").arg(name, patterns));
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace tarvik
