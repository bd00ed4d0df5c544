#pragma once
// The system's texts are byte strings in the local code page; the windows
// show them as local 8-bit text.

#include <QString>
#include <string>

namespace tessel {

inline QString ToQt(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQt(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace tessel
