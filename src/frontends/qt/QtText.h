// The product's Windows-1252 texts as Qt strings and back.
#pragma once

#include <QString>
#include <string>

#include "common/Cp1252.h"

namespace ui {

inline QString ToQt(const std::string& cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }
inline std::string FromQt(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

}  // namespace ui
