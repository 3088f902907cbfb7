#include "plan_painter.hpp"

#include <QPainter>
#include <cmath>
#include <unordered_set>

#include "pixel_pen.hpp"

namespace scene {

namespace {

constexpr double kDot = 3;           // outlines smaller than this (pixels) are dots
constexpr double kSmall = 24;        // outlines smaller than this go straight into the pixels
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
void ToPixels(const std::vector<PlanPoint>& corners, const PlanViewport& viewport, double scale,
              QPolygonF& outline) {
    outline.clear();
    for (const PlanPoint& corner : corners) outline << viewport.ToPixel(corner) * scale;
}

QPolygonF PixelOutline(const std::vector<PlanPoint>& corners, const PlanViewport& viewport) {
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

// What is in sight: small outlines and dots into the pixels, the large ones into batches by
// colour. Returns the placements in sight.
std::vector<int> DrawSmall(QImage& picture, const PlanPicture& plan, const PlanViewport& viewport,
                           std::vector<std::vector<int>>& large) {
    PixelPen pen(picture);
    const double scale = picture.devicePixelRatio();
    std::unordered_set<quint64> drawn;
    std::vector<int> inSight;
    QPolygonF outline;
    int penBatch = -1;
    for (const int i : plan.DrawOrder) {
        const PlanPicture::Item& item = plan.Items[static_cast<size_t>(i)];
        const QRectF box = PixelBox(item.Box, viewport);
        if (!InSight(box, viewport.Size())) continue;
        inSight.push_back(i);
        const int batch = item.Colour * 2 + item.Faded;
        const auto& corners = OutlineIn(plan.Source->Placements[static_cast<size_t>(i)], plan.View);
        const bool dot = (box.width() < kDot && box.height() < kDot) || corners.size() < 2;
        if (!dot && (box.width() >= kSmall || box.height() >= kSmall)) {
            if (!DrawnBefore(drawn, box, batch)) large[static_cast<size_t>(batch)].push_back(i);
            continue;
        }
        if (batch != penBatch) {
            const QColor colour = plan.Colours[static_cast<size_t>(item.Colour)];
            pen.SetColours(Edge(colour, item.Faded), Fill(colour, item.Faded));
            penBatch = batch;
        }
        if (dot) {
            pen.Dot(box.center() * scale, static_cast<int>(kDot * scale));
            continue;
        }
        ToPixels(corners, viewport, scale, outline);
        pen.Polygon(outline);
    }
    return inSight;
}

// One call each: Qt fills one path of many outlines far slower than the outlines one by one.
void PaintLarge(QPainter& painter, const PlanPicture& plan, const PlanViewport& viewport,
                const std::vector<std::vector<int>>& large) {
    for (size_t batch = 0; batch < large.size(); ++batch) {
        if (large[batch].empty()) continue;
        const QColor colour = plan.Colours[batch / 2];
        painter.setPen(QPen(Edge(colour, batch % 2 == 1), 0));  // one pixel at any scale
        painter.setBrush(Fill(colour, batch % 2 == 1));
        for (int i : large[batch]) {
            const auto& corners =
                OutlineIn(plan.Source->Placements[static_cast<size_t>(i)], plan.View);
            if (corners.size() == 2)
                painter.drawLine(viewport.ToPixel(corners[0]), viewport.ToPixel(corners[1]));
            else
                painter.drawConvexPolygon(PixelOutline(corners, viewport));
        }
    }
}

void PaintLabels(QPainter& painter, const PlanPicture& plan, const PlanViewport& viewport,
                 const std::vector<int>& inSight) {
    if (inSight.size() > kMostLabels) return;
    painter.setPen(QColor(0x30, 0x30, 0x30));
    for (int i : inSight) {
        const std::string& label = plan.Source->Placements[static_cast<size_t>(i)].Label;
        if (label.empty()) continue;
        const QRectF box = PixelBox(plan.Items[static_cast<size_t>(i)].Box, viewport);
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
    if (placement < 0 || static_cast<size_t>(placement) >= plan.Items.size()) return;
    painter.setPen(QPen(colour, 2.5));
    painter.setBrush(Qt::NoBrush);
    const QRectF box = PixelBox(plan.Items[static_cast<size_t>(placement)].Box, viewport);
    const auto& corners =
        OutlineIn(plan.Source->Placements[static_cast<size_t>(placement)], plan.View);
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
    std::vector<std::vector<int>> large(plan.Colours.size() * 2);
    const std::vector<int> inSight = DrawSmall(picture, plan, viewport, large);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    PaintLarge(painter, plan, viewport, large);
    PaintLabels(painter, plan, viewport, inSight);
    PaintProblems(painter, plan, viewport, marks.Problem);
    PaintMarked(painter, plan, viewport, marks.Picked, QColor(0xff, 0x8c, 0x00));
    PaintMarked(painter, plan, viewport, marks.Hovered, QColor(0x10, 0x10, 0x10));
    PaintOverlay(painter, plan, viewport);
}

}  // namespace scene
