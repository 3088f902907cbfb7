#include "pixel_pen.hpp"

#include <algorithm>
#include <cmath>

namespace scene {

namespace {

// A polygon smaller than this (pixels) is its edges alone: they cover nearly all of it.
constexpr double kFilled = 6;

quint32 Premultiplied(QColor colour) {
    return qPremultiply(colour.rgba());
}

// x * a / 255, rounded, for bytes.
quint32 Scale(quint32 x, quint32 a) {
    const quint32 t = x * a + 128;
    return (t + (t >> 8)) >> 8;
}

// The colour over the pixel: each premultiplied channel plus the pixel's own times what the
// colour lets through.
quint32 Over(quint32 colour, quint32 pixel) {
    const quint32 through = 255 - qAlpha(colour);
    const quint32 redBlue = pixel & 0x00FF00FFu, alphaGreen = (pixel >> 8) & 0x00FF00FFu;
    const quint32 rb = (Scale(redBlue & 0xFFFF, through) | Scale(redBlue >> 16, through) << 16);
    const quint32 ag =
        (Scale(alphaGreen & 0xFFFF, through) | Scale(alphaGreen >> 16, through) << 16);
    return colour + (rb | ag << 8);
}

// The colour with `coverage` (0 to 255) of its strength.
quint32 Faded(quint32 colour, quint32 coverage) {
    const quint32 redBlue = colour & 0x00FF00FFu, alphaGreen = (colour >> 8) & 0x00FF00FFu;
    return Scale(redBlue & 0xFFFF, coverage) | Scale(redBlue >> 16, coverage) << 16 |
           (Scale(alphaGreen & 0xFFFF, coverage) | Scale(alphaGreen >> 16, coverage) << 16) << 8;
}

}  // namespace

PixelPen::PixelPen(QImage& image)
    : bits_(image.bits()),
      stride_(image.bytesPerLine()),
      width_(image.width()),
      height_(image.height()) {}

void PixelPen::SetColours(QColor edge, QColor fill) {
    edge_ = Premultiplied(edge);
    fill_ = Premultiplied(fill);
}

void PixelPen::Put(int x, int y, quint32 colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    auto* pixel = reinterpret_cast<quint32*>(bits_ + y * stride_) + x;
    const quint32 strength = colour >> 24;
    if (strength != 0) *pixel = strength == 255 ? colour : Over(colour, *pixel);
}

void PixelPen::Span(int y, int left, int right, quint32 colour) {
    if (y < 0 || y >= height_) return;
    for (int x = std::max(left, 0); x < std::min(right, width_); ++x) Put(x, y, colour);
}

void PixelPen::Polygon(const QPolygonF& corners, bool smooth) {
    const QRectF box = corners.boundingRect();
    if (box.width() >= kFilled && box.height() >= kFilled) Fill(corners, box);
    for (qsizetype i = 0; i < corners.size(); ++i)
        Line(corners[i], corners[(i + 1) % corners.size()], smooth);
}

// Row by row, the pixels whose centres lie between the row's leftmost and rightmost crossing.
void PixelPen::Fill(const QPolygonF& corners, const QRectF& box) {
    const int top = static_cast<int>(std::floor(box.top())),
              bottom = static_cast<int>(std::ceil(box.bottom()));
    for (int y = top; y < bottom; ++y) {
        const double middle = y + 0.5;  // the row's pixel centres
        double left = box.right(), right = box.left();
        for (qsizetype i = 0; i < corners.size(); ++i) {
            const QPointF a = corners[i], b = corners[(i + 1) % corners.size()];
            if ((a.y() <= middle) == (b.y() <= middle)) continue;  // the edge misses the row
            const double x = a.x() + (middle - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
            left = std::min(left, x);
            right = std::max(right, x);
        }
        if (left < right)
            Span(y, static_cast<int>(std::lround(left)), static_cast<int>(std::lround(right)),
                 fill_);
    }
}

void PixelPen::Line(QPointF from, QPointF to, bool smooth) {
    if (smooth)
        SmoothEdge(from, to);
    else
        Edge(from, to);
}

// Along the longer direction each step lights the two pixels across the line, each as much as
// the line passes near its centre.
void PixelPen::SmoothEdge(QPointF from, QPointF to) {
    const bool steep = std::abs(to.y() - from.y()) > std::abs(to.x() - from.x());
    if (steep) {
        from = from.transposed();
        to = to.transposed();
    }
    if (from.x() > to.x()) std::swap(from, to);
    const double slope = to.x() == from.x() ? 0 : (to.y() - from.y()) / (to.x() - from.x());
    const int first = static_cast<int>(std::lround(from.x()));
    const int last = static_cast<int>(std::lround(to.x()));
    for (int x = first; x <= last; ++x) {
        const double y = from.y() + slope * (x + 0.5 - from.x()) - 0.5;
        const int below = static_cast<int>(std::floor(y));
        const auto weight = static_cast<quint32>((y - below) * 255);
        const quint32 near = Faded(edge_, 255 - weight), far = Faded(edge_, weight);
        if (steep) {
            Put(below, x, near);
            Put(below + 1, x, far);
        } else {
            Put(x, below, near);
            Put(x, below + 1, far);
        }
    }
}

// A pixel for each step of the longer direction, in 16.16 fixed point.
void PixelPen::Edge(QPointF from, QPointF to) {
    const QPointF along = to - from;
    const int steps =
        static_cast<int>(std::ceil(std::max(std::abs(along.x()), std::abs(along.y()))));
    auto fixed = [](double value) { return static_cast<qint64>(std::floor(value * 65536)); };
    qint64 x = fixed(from.x()), y = fixed(from.y());
    const qint64 dx = steps == 0 ? 0 : fixed(along.x() / steps);
    const qint64 dy = steps == 0 ? 0 : fixed(along.y() / steps);
    for (int i = 0; i <= steps; ++i, x += dx, y += dy)
        Put(static_cast<int>(x >> 16), static_cast<int>(y >> 16), edge_);
}

void PixelPen::Dot(QPointF centre, int side) {
    const int left = static_cast<int>(std::floor(centre.x() - side / 2.0));
    const int top = static_cast<int>(std::floor(centre.y() - side / 2.0));
    for (int y = top; y < top + side; ++y) Span(y, left, left + side, edge_);
}

}  // namespace scene
