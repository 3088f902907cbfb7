#include "plan_painter.hpp"

#include <QPainter>
#include <cmath>
#include <unordered_set>

#include "pixel_pen.hpp"

namespace scene {

namespace {

constexpr double kDot = 3;           // outlines smaller than this (pixels) are dots
constexpr double kPoint = 5;         // the dot of a placement the size of a point
constexpr double kSmall = 24;        // outlines from this size on have smooth edges
constexpr size_t kMostLabels = 400;  // labels are written when no more are in sight
const QColor kProblem(0xd6, 0x27, 0x28);

QColor Edge(QColor colour, bool faded) {
    colour.setAlpha(faded ? 70 : 255);
    return colour;
}

QColor Fill(QColor colour, bool faded) {
    colour.setAlpha(faded ? 20 : 60);
    return colour;
}

// The corners in pixels, into `outline` (whose room is kept from one outline to the next).
void ToPixels(std::span<const PlanPoint> corners, const PlanViewport& viewport, double scale,
              QPolygonF& outline) {
    outline.clear();
    for (const PlanPoint& corner : corners) outline << viewport.ToPixel(corner) * scale;
}

QPolygonF PixelOutline(std::span<const PlanPoint> corners, const PlanViewport& viewport) {
    QPolygonF outline;
    ToPixels(corners, viewport, 1, outline);
    return outline;
}

QRectF PixelBox(const PlanBox& box, const PlanViewport& viewport) {
    return QRectF(viewport.ToPixel({box.MinA, box.MinB}), viewport.ToPixel({box.MaxA, box.MaxB}))
        .normalized();
}

bool InSight(const QRectF& box, QSizeF size) {
    return box.right() >= -kDot && box.bottom() >= -kDot && box.left() <= size.width() + kDot &&
           box.top() <= size.height() + kDot;
}

// Whether an outline of that colour was drawn on these pixels already (a list with one line
// many times, or every number unreadable, puts thousands on the same pixels).
bool DrawnBefore(std::unordered_set<quint64>& drawn, const QRectF& box, int batch) {
    quint64 key = 0;
    for (double edge : {box.left(), box.top(), box.right(), box.bottom()})
        key = key << 14 | (static_cast<quint64>(static_cast<qint64>(std::floor(edge))) & 0x3FFF);
    return !drawn.insert(key ^ static_cast<quint64>(batch) * 0x9E3779B97F4A7C15u).second;
}

// What is in sight into the pixels: large outlines smoothed, those on the pixels of one already
// drawn left out; small ones crisp; the tiniest as dots. Returns the placements in sight.
std::vector<int> DrawPlacements(QImage& picture, const PlanPicture& plan,
                                const PlanViewport& viewport) {
    PixelPen pen(picture);
    const double scale = picture.devicePixelRatio();
    std::unordered_set<quint64> drawn;
    std::vector<int> inSight;
    QPolygonF outline;
    for (const PlanPicture::Item& item : plan.Items) {
        const QRectF box = PixelBox(item.Box, viewport);
        if (!InSight(box, viewport.Size())) continue;
        inSight.push_back(item.Placement);
        const std::span<const PlanPoint> corners = plan.Outline(item);
        const bool dot = (box.width() < kDot && box.height() < kDot) || corners.size() < 2;
        const bool large = !dot && (box.width() >= kSmall || box.height() >= kSmall);
        if (large && DrawnBefore(drawn, box, item.Colour * 2 + item.Faded)) continue;
        const QColor colour = plan.Colours[static_cast<size_t>(item.Colour)];
        pen.SetColours(Edge(colour, item.Faded), Fill(colour, item.Faded));
        if (dot) {  // a placement the size of a point shows larger than a tiny outline
            const double side = corners.size() == 1 ? kPoint : kDot;
            pen.Dot(box.center() * scale, static_cast<int>(side * scale));
            continue;
        }
        ToPixels(corners, viewport, scale, outline);
        if (corners.size() == 2)
            pen.Line(outline[0], outline[1], large);
        else
            pen.Polygon(outline, large);
    }
    return inSight;
}

void PaintLabels(QPainter& painter, const PlanPicture& plan, const PlanViewport& viewport,
                 const std::vector<int>& inSight) {
    if (inSight.size() > kMostLabels) return;
    painter.setPen(QColor(0x30, 0x30, 0x30));
    for (int i : inSight) {
        const std::string& label = plan.Source->Placements[static_cast<size_t>(i)].Label;
        if (label.empty()) continue;
        const QRectF box = PixelBox(plan.ItemFor(i)->Box, viewport);
        painter.drawText(box.topRight() + QPointF(4, -2), QString::fromStdString(label));
    }
}

void PaintProblems(QPainter& painter, const PlanPicture& plan, const PlanViewport& viewport,
                   int marked) {
    painter.setBrush(Qt::NoBrush);
    const std::vector<PlanProblem>& problems = plan.Source->Problems;
    for (size_t i = 0; i < problems.size(); ++i) {
        PlanPoint spot;
        if (!ProblemSpot(plan, problems[i], spot)) continue;
        const QPointF at = viewport.ToPixel(spot);
        if (!InSight(QRectF(at, at), viewport.Size())) continue;
        const bool chosen = static_cast<int>(i) == marked;
        painter.setPen(QPen(kProblem, chosen ? 3 : 2));
        painter.drawEllipse(at, chosen ? 14.0 : 9.0, chosen ? 14.0 : 9.0);
    }
}

void PaintMarked(QPainter& painter, const PlanPicture& plan, const PlanViewport& viewport,
                 int placement, QColor colour) {
    const PlanPicture::Item* item = plan.ItemFor(placement);
    if (!item) return;
    painter.setPen(QPen(colour, 2.5));
    painter.setBrush(Qt::NoBrush);
    const QRectF box = PixelBox(item->Box, viewport);
    const std::span<const PlanPoint> corners = plan.Outline(*item);
    if (corners.size() >= 3 && (box.width() >= kDot || box.height() >= kDot))
        painter.drawPolygon(PixelOutline(corners, viewport));
    else
        painter.drawEllipse(box.center(), 6.0, 6.0);
}

}  // namespace

void PaintPlan(QImage& picture, const PlanPicture& plan, const PlanViewport& viewport,
               const PlanMarks& marks) {
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        PaintGrid(painter, viewport);
    }
    if (!plan.Source) return;
    const std::vector<int> inSight = DrawPlacements(picture, plan, viewport);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    PaintLabels(painter, plan, viewport, inSight);
    PaintProblems(painter, plan, viewport, marks.Problem);
    PaintMarked(painter, plan, viewport, marks.Picked, QColor(0xff, 0x8c, 0x00));
    PaintMarked(painter, plan, viewport, marks.Hovered, QColor(0x10, 0x10, 0x10));
    PaintOverlay(painter, plan, viewport);
}

}  // namespace scene
