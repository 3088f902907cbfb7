// Window layouts are given in twips (1/1440 inch); the screen's logical DPI turns them into
// pixels, and at a fractional scale (QT_SCALE_FACTOR 1.5, say) each edge is moved by a pixel or
// so to where the frames drawn along it show whole.
#pragma once

class QRect;
class QSize;
class QWidget;

namespace scene {

// twips × dpi / 1440, rounded to the nearest pixel.
int TwipsToPixels(int twips, double dpi);

// At a fractional scale a frame line that begins in the second half of a device pixel is painted
// over by the view inside the frame (a list loses its bottom border). The nearest pixel position
// whose line begins in the first half of its device pixel; the position itself at whole scales.
int AlignedLine(int pixels, double scale);
// The rectangle (in window pixels) with each of its four frame lines aligned.
QRect AlignedRect(const QRect& rect, double scale);
// Scrolling by a multiple of this keeps aligned lines aligned: the fewest pixels that make whole
// device pixels at the scale (1 when no count up to 20 does).
int AlignedScrollStep(double scale);

// Puts the widget at left, top with width, height, all in twips, inside its parent, with its
// frame lines aligned within the window.
void PlaceInTwips(QWidget& widget, int left, int top, int width, int height);

// A size in twips as pixels on the widget's screen.
QSize TwipsSize(const QWidget& widget, int width, int height);

}  // namespace scene
