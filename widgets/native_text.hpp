// File names and message texts are bytes in the tools; widgets show them as the system decodes
// them: on Windows as the file calls do (UTF-8 when valid, else Windows-1252), elsewhere as the
// locale says.
#pragma once

#include <QFile>
#include <QString>
#include <string>

#ifdef _WIN32
#include "name_encoding.hpp"
#endif

namespace scene {

#ifdef _WIN32
inline QString ShownText(const std::string& bytes) {
    return QString::fromStdU16String(Utf16Path(bytes));
}

inline std::string NativeText(const QString& text) {
    return Utf8Name(text.toStdU16String());
}
#else
inline QString ShownText(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

inline std::string NativeText(const QString& text) {
    return QFile::encodeName(text).toStdString();
}
#endif

}  // namespace scene
