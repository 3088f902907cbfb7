#include "path_lines.hpp"

#include <QFontMetrics>

#include "path_syntax.hpp"
#include "system.hpp"

namespace scene {

namespace {

bool IsSeparator(QChar c) {
    // Windows takes "/" as well as its own "\"; elsewhere "\" may be part of a name.
    return c == '/' || c == QChar(kPathSeparator);
}

}  // namespace

QString BreakAtSeparators(const QString& text, const QFontMetrics& metrics, int width) {
    QString broken, line;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && !IsSeparator(text[end])) ++end;
        const QString part = text.mid(start, end < text.size() ? end - start + 1 : end - start);
        start += part.size();
        if (!line.isEmpty() && metrics.horizontalAdvance(line + part) > width) {
            broken += line + '\n';
            line.clear();
        }
        line += part;
    }
    return broken + line;
}

}  // namespace scene
