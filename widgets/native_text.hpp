// File names and message texts are bytes in the tools; widgets show them as the system decodes
// them: on Windows as the file calls do (UTF-8 when valid, else Windows-1252), elsewhere as the
// locale says.
#pragma once

#include <QFile>
#include <QString>
#include <string>

#include "name_encoding.hpp"
#include "system.hpp"

namespace scene {

inline QString ShownText(const std::string& bytes) {
    if constexpr (platform::kWideNames) return QString::fromStdU16String(Utf16Path(bytes));
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

inline std::string NativeText(const QString& text) {
    if constexpr (platform::kWideNames) return Utf8Name(text.toStdU16String());
    return QFile::encodeName(text).toStdString();
}

}  // namespace scene
