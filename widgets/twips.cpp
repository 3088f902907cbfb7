#include "twips.hpp"

#include <QRect>
#include <QSize>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace scene {

namespace {

constexpr double kSlack = 1e-6;  // scales such as 1.1 are not exact in binary

double FractionOf(double value) {
    const double fraction = value - std::floor(value + kSlack);
    return fraction < 0 ? 0 : fraction;
}

bool BeginsInFirstHalf(int pixels, double scale) {
    return FractionOf(pixels * scale) < 0.5 - kSlack;
}

}  // namespace

int TwipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

int AlignedLine(int pixels, double scale) {
    // Found within four pixels either way at scales from 1.07 to 1.93; closer to a whole scale
    // the position is kept.
    for (int distance = 0; distance <= 4; ++distance) {
        if (BeginsInFirstHalf(pixels - distance, scale)) return pixels - distance;
        if (BeginsInFirstHalf(pixels + distance, scale)) return pixels + distance;
    }
    return pixels;
}

QRect AlignedRect(const QRect& rect, double scale) {
    // The right and bottom lines are the rectangle's last column and row.
    const int left = AlignedLine(rect.left(), scale);
    const int top = AlignedLine(rect.top(), scale);
    const int right = AlignedLine(rect.right(), scale);
    const int bottom = AlignedLine(rect.bottom(), scale);
    return QRect(QPoint(left, top), QPoint(std::max(left, right), std::max(top, bottom)));
}

int AlignedScrollStep(double scale) {
    for (int step = 1; step <= 20; ++step)
        if (std::abs(step * scale - std::round(step * scale)) < kSlack) return step;
    return 1;
}

void PlaceInTwips(QWidget& widget, int left, int top, int width, int height) {
    const double dpiX = widget.logicalDpiX();
    const double dpiY = widget.logicalDpiY();
    const QRect exact(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY),
                      TwipsToPixels(width, dpiX), TwipsToPixels(height, dpiY));
    // Device pixels count from the window's corner: the lines are aligned in its coordinates.
    const QWidget* parent = widget.parentWidget();
    const QPoint offset = parent ? parent->mapTo(parent->window(), QPoint()) : QPoint();
    widget.setGeometry(
        AlignedRect(exact.translated(offset), widget.devicePixelRatioF()).translated(-offset));
}

QSize TwipsSize(const QWidget& widget, int width, int height) {
    return {TwipsToPixels(width, widget.logicalDpiX()),
            TwipsToPixels(height, widget.logicalDpiY())};
}

}  // namespace scene
