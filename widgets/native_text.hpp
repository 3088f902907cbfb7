// File names and message texts are bytes in the tools; widgets show them as the system
// decodes them.
#pragma once

#include <QFile>
#include <QString>
#include <string>

inline QString ShownText(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

inline std::string NativeText(const QString& text) {
    return QFile::encodeName(text).toStdString();
}
