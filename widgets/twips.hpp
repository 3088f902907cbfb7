// Window layouts are given in twips (1/1440 inch); the screen's logical DPI turns them into
// pixels.
#pragma once

class QSize;
class QWidget;

namespace scene {

// twips × dpi / 1440, rounded to the nearest pixel.
int TwipsToPixels(int twips, double dpi);

// Puts the widget at left, top with width, height, all in twips, inside its parent.
void PlaceInTwips(QWidget& widget, int left, int top, int width, int height);

// A size in twips as pixels on the widget's screen.
QSize TwipsSize(const QWidget& widget, int width, int height);

}  // namespace scene
