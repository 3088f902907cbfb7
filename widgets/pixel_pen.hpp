// Outlines drawn straight into a picture's pixels: tens of thousands of them cost less than a
// thousand QPainter calls, which fill large shapes on a pool of threads, a wait for each. The
// picture is ARGB32 premultiplied; coordinates are its device pixels.
#pragma once

#include <QImage>
#include <QPolygonF>

namespace scene {

class PixelPen {
  public:
    explicit PixelPen(QImage& image);

    void SetColours(QColor edge, QColor fill);
    // A convex polygon: the pixels whose centres it holds in the fill colour (unless it is a few
    // pixels small), then its edges, smoothed (antialiased) or not.
    void Polygon(const QPolygonF& corners, bool smooth);
    // A line in the edge colour.
    void Line(QPointF from, QPointF to, bool smooth);
    // A square of `side` pixels around the point, in the edge colour.
    void Dot(QPointF centre, int side);

  private:
    void Fill(const QPolygonF& corners, const QRectF& box);
    void Span(int y, int left, int right, quint32 colour);
    void Edge(QPointF from, QPointF to);
    void SmoothEdge(QPointF from, QPointF to);
    void Put(int x, int y, quint32 colour);

    uchar* bits_;
    qsizetype stride_;
    int width_, height_;
    quint32 edge_ = 0, fill_ = 0;
};

}  // namespace scene
