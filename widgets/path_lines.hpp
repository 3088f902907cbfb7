// A long path in a message box is shown on several lines, broken after separators only, so that
// no name is split.
#pragma once

#include <QString>

class QFontMetrics;

namespace scene {

// The text with line breaks after separators, each line as wide as `width` allows; a part
// between two separators wider than that stays whole on its own line.
QString BreakAtSeparators(const QString& text, const QFontMetrics& metrics, int width);

}  // namespace scene
