// The client area of a window laid out at a fixed size in twips. Where the screen's available
// area holds the window (with its frame), the window is exactly the layout's size; elsewhere it
// opens inside that area, as large as fits, and shows the layout in a scroll area.
#pragma once

#include <QRect>
#include <QScrollArea>
#include <QSize>

namespace scene {

// The window size for a layout of `layout` pixels in `room`, with scroll bars `bar` pixels wide
// where the layout does not fit.
QSize FittedSize(QSize layout, QSize room, int bar);

class ClientArea : public QScrollArea {
    Q_OBJECT
  public:
    // Fills the window; the layout is `width` by `height` twips.
    ClientArea(QWidget& window, int width, int height);

    // The container of the window's controls (object name "ClientArea").
    QWidget* Layout() const { return widget(); }

    // Gives the window its fixed size for `available` (a screen's available area, frame
    // included) and places it there, centred with its frame inside the area. Unless `centred`, a
    // window that fits is left where the system puts it.
    void FitInto(const QRect& available, bool centred = true);
    // The same for the available area of the window's screen.
    void FitIntoScreen(bool centred = true);

  private:
    QWidget& window_;
};

}  // namespace scene
