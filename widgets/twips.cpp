#include "twips.hpp"

#include <QSize>
#include <QWidget>
#include <cmath>

namespace scene {

int TwipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

void PlaceInTwips(QWidget& widget, int left, int top, int width, int height) {
    const double dpiX = widget.logicalDpiX();
    const double dpiY = widget.logicalDpiY();
    widget.setGeometry(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY),
                       TwipsToPixels(width, dpiX), TwipsToPixels(height, dpiY));
}

QSize TwipsSize(const QWidget& widget, int width, int height) {
    return {TwipsToPixels(width, widget.logicalDpiX()),
            TwipsToPixels(height, widget.logicalDpiY())};
}

}  // namespace scene
