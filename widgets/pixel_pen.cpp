#include "pixel_pen.hpp"

#include <algorithm>
#include <cmath>

namespace scene {

namespace {

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
    *pixel = qAlpha(colour) == 255 ? colour : Over(colour, *pixel);
}

void PixelPen::Span(int y, int left, int right, quint32 colour) {
    if (y < 0 || y >= height_) return;
    for (int x = std::max(left, 0); x < std::min(right, width_); ++x) Put(x, y, colour);
}

void PixelPen::Polygon(const QPolygonF& corners) {
    const QRectF box = corners.boundingRect();
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
    for (qsizetype i = 0; i < corners.size(); ++i)
        Edge(corners[i], corners[(i + 1) % corners.size()]);
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
