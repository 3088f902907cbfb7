// A message box's text broken into lines no wider than the box, so that nothing is cut off: a
// path breaks after its separators, the words before it after their blanks; a piece between two
// such breaks is split only where it alone is wider than the box.
#pragma once

#include <QString>

class QFontMetrics;

namespace scene {

// The text with line breaks added, each line at most `width` wide. A path (from the first word
// that begins with a root, "/", "\\" or "C:\", on to the end of its line) breaks after
// separators only; a piece wider than `width` alone is split at its last blank that fits, else
// between two characters. Nothing is left out.
QString BreakLines(const QString& text, const QFontMetrics& metrics, int width);

}  // namespace scene
