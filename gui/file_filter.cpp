#include "gui/file_filter.h"

#include <QStringList>

#include "gui/qt_text.h"

namespace tessel {

namespace {

void AddPattern(QStringList& patterns, const QString& pattern) {
  if (!patterns.contains(pattern)) patterns.append(pattern);
}

QString Patterns(const QString& list, bool& everyFile) {
  QStringList patterns;
  for (const QString& item : list.split(';', Qt::SkipEmptyParts)) {
    const QString pattern = item.trimmed();
    if (pattern == "*.*" || pattern == "*") {
      everyFile = true;
      AddPattern(patterns, "*");
      continue;
    }
    AddPattern(patterns, pattern);
    AddPattern(patterns, pattern.toLower());
    AddPattern(patterns, pattern.toUpper());
  }
  return patterns.join(' ');
}

}  // namespace

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = ToQt(filter).split('|');
  QStringList entries;
  bool everyFile = false;
  // A lone pattern list has no description: it describes itself.
  if (parts.size() == 1) {
    entries.append(parts[0] + " (" + Patterns(parts[0], everyFile) + ")");
  } else {
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
      entries.append(parts[i] + " (" + Patterns(parts[i + 1], everyFile) + ")");
    }
  }
  if (!everyFile) entries.append("All files (*)");
  return entries.join(";;");
}

}  // namespace tessel
