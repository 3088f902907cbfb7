// The parts of a plan's drawing that are no placement: grid, axes, scale bar, extent, legend.
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "messages.hpp"
#include "native_text.hpp"
#include "plan_painter.hpp"

namespace scene {

namespace {

constexpr int kLegendModels = 12;  // models named in the legend; the rest are counted

QString Rounded(double value) {
    return QString::number(value + 0.0, 'g', 6);  // + 0.0: never "-0"
}

// Text on a white card, so that it stays readable over the placements.
void CardText(QPainter& painter, QPointF baseline, const QString& text) {
    const QFontMetricsF metrics(painter.font());
    const QRectF card(baseline.x() - 3, baseline.y() - metrics.ascent() - 2,
                      metrics.horizontalAdvance(text) + 6, metrics.height() + 4);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawRect(card);
    painter.restore();
    painter.drawText(baseline, text);
}

void Arrow(QPainter& painter, QPointF from, QPointF to, const QString& name, QPointF nameAt) {
    painter.drawLine(from, to);
    const QPointF along = (to - from) / std::hypot((to - from).x(), (to - from).y());
    const QPointF across(-along.y(), along.x());
    painter.drawPolygon(QPolygonF{to, to - along * 8 + across * 4, to - along * 8 - across * 4});
    CardText(painter, nameAt, name);
}

// Bottom left: X to the right; Z down seen from above, Y up seen from the side.
void PaintAxes(QPainter& painter, PlanView view, QSizeF size) {
    const bool top = view == PlanView::Top;
    const QPointF origin(20, size.height() - (top ? 88 : 38));
    const QPointF second = origin + QPointF(0, top ? 50 : -50);
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
    painter.setBrush(QColor(0x20, 0x20, 0x20));
    Arrow(painter, origin, origin + QPointF(50, 0), "X", origin + QPointF(56, 4));
    Arrow(painter, origin, second, SecondAxisName(view), second + QPointF(6, top ? 0 : 8));
    CardText(painter, QPointF(16, size.height() - 10),
             top ? "Seen from above: Y toward you" : "Seen from the side: Z toward you");
}

void PaintScaleBar(QPainter& painter, const PlanViewport& viewport) {
    const double length = RoundStep(100 / viewport.Scale());
    const double right = viewport.Size().width() - 20, y = viewport.Size().height() - 20;
    const QPointF left(right - length * viewport.Scale(), y);
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 3, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(left, QPointF(right, y));
    painter.setPen(QColor(0x20, 0x20, 0x20));
    const QString text = Rounded(length) + " units";
    const double textWidth = QFontMetricsF(painter.font()).horizontalAdvance(text);
    CardText(painter, QPointF((left.x() + right - textWidth) / 2, y - 8), text);
}

void PaintExtent(QPainter& painter, const PlanPicture& picture) {
    const PlanBox& box = picture.Box;
    const long placements = static_cast<long>(picture.Items.size());
    const QString count = QString::fromStdString(GroupedCount(placements)) +
                          (placements == 1 ? " placement" : " placements");
    const QString text =
        box.Empty ? count
                  : QString("X %1 to %2    %3 %4 to %5    %6")
                        .arg(Rounded(box.MinA), Rounded(box.MaxA), SecondAxisName(picture.View),
                             Rounded(box.MinB), Rounded(box.MaxB), count);
    painter.setPen(QColor(0x20, 0x20, 0x20));
    CardText(painter, QPointF(12, 18), text);
}

// One line of the legend: a swatch of the colour (a problem's ring when none), then the text.
struct LegendLine {
    QString Text;
    QColor Colour;
    bool Faded = false;
};

std::vector<LegendLine> LegendLines(const PlanPicture& picture) {
    const Plan& plan = *picture.Source;
    std::vector<LegendLine> lines;
    const int models = static_cast<int>(plan.Models.size());
    for (int model = 0; model < std::min(models, kLegendModels); ++model) {
        const PlannedModel& entry = plan.Models[static_cast<size_t>(model)];
        lines.push_back({QFileInfo(ShownText(entry.Path)).fileName() + " (" +
                             QString::number(entry.Placements) + ")",
                         picture.Colours[static_cast<size_t>(model)]});
    }
    if (models > kLegendModels)
        lines.push_back({QString("and %1 more models").arg(models - kLegendModels), Qt::white});
    const long withoutModel = static_cast<long>(std::count_if(
        plan.Placements.begin(), plan.Placements.end(), [](const PlannedPlacement& placement) {
            return placement.Model < 0 && placement.Action != PlannedAction::NotWritten;
        }));
    if (withoutModel > 0)
        lines.push_back({QString(models == 0 ? "placements (%1)" : "no model (%1)")
                             .arg(QString::fromStdString(GroupedCount(withoutModel))),
                         picture.Colours.back()});
    if (picture.NotWritten > 0)
        lines.push_back(
            {QString("not written (%1)").arg(picture.NotWritten), picture.Colours.back(), true});
    if (!plan.Problems.empty())
        lines.push_back({QString("problems (%1)").arg(plan.Problems.size()), QColor()});
    if (!plan.Note.empty()) lines.push_back({ShownText(plan.Note), Qt::white});
    return lines;
}

void PaintSwatch(QPainter& painter, const LegendLine& line, QRectF swatch) {
    if (!line.Colour.isValid()) {
        painter.setPen(QPen(QColor(0xd6, 0x27, 0x28), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(swatch.center(), 5.0, 5.0);
    } else if (line.Colour != Qt::white) {
        QColor fill = line.Colour;
        fill.setAlpha(line.Faded ? 40 : 110);
        painter.setPen(line.Faded ? QColor(0xb8, 0xb8, 0xb8) : line.Colour);
        painter.setBrush(fill);
        painter.drawRect(swatch);
    }
}

// Top right, on a white card: a line per model with its colour and count, then the faded
// placements, the problems' ring and the plan's note.
void PaintLegend(QPainter& painter, const PlanPicture& picture, QSizeF size) {
    const std::vector<LegendLine> lines = LegendLines(picture);
    if (lines.empty()) return;
    const QFontMetricsF metrics(painter.font());
    double width = 0;
    for (const LegendLine& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line.Text));
    const double rowHeight = std::max(metrics.height(), 14.0) + 2;
    const QRectF card(size.width() - width - 44, 8, width + 36,
                      rowHeight * static_cast<double>(lines.size()) + 10);
    painter.setPen(QColor(0xc8, 0xc8, 0xc8));
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawRect(card);
    for (size_t i = 0; i < lines.size(); ++i) {
        const double top = card.top() + 5 + rowHeight * static_cast<double>(i);
        PaintSwatch(painter, lines[i], QRectF(card.left() + 8, top + rowHeight / 2 - 6, 12, 12));
        painter.setPen(QColor(0x20, 0x20, 0x20));
        painter.drawText(QRectF(card.left() + 26, top, width + 4, rowHeight),
                         Qt::AlignVCenter | Qt::AlignLeft, lines[i].Text);
    }
}

// Each grid line: its axis (0 for the first coordinate), value and a pixel on it. Lines a round
// step apart, 70 pixels at the least.
template <typename Line>
void ForGridLines(const PlanViewport& viewport, Line line) {
    const double step = RoundStep(70 / viewport.Scale());
    const QSizeF size = viewport.Size();
    const PlanPoint corner1 = viewport.ToPlan({0, 0}),
                    corner2 = viewport.ToPlan({size.width(), size.height()});
    for (int axis = 0; axis < 2; ++axis) {
        const double low = std::min(corner1[axis], corner2[axis]);
        const double high = std::max(corner1[axis], corner2[axis]);
        for (double value : GridValues(low, high, step, 60))
            line(axis, value,
                 viewport.ToPixel(axis == 0 ? PlanPoint{value, 0} : PlanPoint{0, value}));
    }
}

// The grid's values along the top and the left, clear of the corner they share, over the
// placements.
void PaintGridValues(QPainter& painter, const PlanViewport& viewport) {
    painter.setPen(QColor(0x70, 0x70, 0x70));
    ForGridLines(viewport, [&](int axis, double value, QPointF pixel) {
        const QPointF at = axis == 0 ? QPointF(pixel.x() + 3, 40) : QPointF(3, pixel.y() - 3);
        if ((axis == 0 && at.x() >= 40) || (axis == 1 && at.y() >= 54))
            CardText(painter, at, Rounded(value));
    });
}

}  // namespace

void PaintGrid(QPainter& painter, const PlanViewport& viewport) {
    const QSizeF size = viewport.Size();
    painter.setRenderHint(QPainter::Antialiasing, false);
    ForGridLines(viewport, [&](int axis, double value, QPointF pixel) {
        painter.setPen(value == 0 ? QColor(0xb0, 0xb0, 0xb0) : QColor(0xe6, 0xe6, 0xe6));
        if (axis == 0)
            painter.drawLine(QPointF(pixel.x(), 0), QPointF(pixel.x(), size.height()));
        else
            painter.drawLine(QPointF(0, pixel.y()), QPointF(size.width(), pixel.y()));
    });
}

void PaintOverlay(QPainter& painter, const PlanPicture& picture, const PlanViewport& viewport) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    PaintGridValues(painter, viewport);
    PaintAxes(painter, picture.View, viewport.Size());
    PaintScaleBar(painter, viewport);
    PaintExtent(painter, picture);
    PaintLegend(painter, picture, viewport.Size());
}

}  // namespace scene
