// The windows name the classic fonts "MS Sans Serif" and "Arial". Where these are missing,
// similar fonts of about the same width stand in, a narrow one last, so that the captions fit
// the controls made for them.
#pragma once

class QFont;

namespace scene {

// The family at the size in points, bold or not, with the stand-ins registered.
QFont ClassicFont(const char* family, double points, bool bold = false);

}  // namespace scene
