// Texts cross between the core (UTF-16 code units) and Qt unchanged.
#pragma once

#include <QString>
#include <string>
#include <string_view>

inline QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToText(const QString& text) { return text.toStdU16String(); }
