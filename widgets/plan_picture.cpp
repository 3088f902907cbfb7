#include "plan_picture.hpp"

#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>

namespace scene {

namespace {

// The bits of a 16-bit number spread to every second bit.
quint32 Spread(quint32 value) {
    value = (value | value << 8) & 0x00FF00FFu;
    value = (value | value << 4) & 0x0F0F0F0Fu;
    value = (value | value << 2) & 0x33333333u;
    return (value | value << 1) & 0x55555555u;
}

// Items by the Z-order curve of their centres over the plan's box.
std::vector<int> NeighbourOrder(const PlanPicture& picture) {
    const PlanBox& all = picture.Box;
    const double width = std::max(all.HalfWidth(), all.HalfHeight());
    std::vector<std::pair<quint32, int>> keyed;
    keyed.reserve(picture.Items.size());
    for (size_t i = 0; i < picture.Items.size(); ++i) {
        const PlanPoint centre = picture.Items[i].Box.Centre();
        auto cell = [&](double value, double low) {
            const double part = width > 0 ? (value / 2 - low / 2) / width : 0;
            return static_cast<quint32>(std::clamp(part, 0.0, 1.0) * 65535);
        };
        keyed.emplace_back(Spread(cell(centre[0], all.MinA)) | Spread(cell(centre[1], all.MinB))
                                                                   << 1,
                           static_cast<int>(i));
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<int> order;
    order.reserve(keyed.size());
    for (const auto& entry : keyed) order.push_back(entry.second);
    return order;
}

}  // namespace

PlanPicture MakePlanPicture(std::shared_ptr<const Plan> plan, PlanView view) {
    PlanPicture picture;
    picture.View = view;
    const int models = static_cast<int>(plan->Models.size());
    for (int model = 0; model <= models; ++model) {
        const unsigned rgb = ModelColour(model < models ? model : -1);
        picture.Colours.emplace_back(QRgb(0xFF000000u | rgb));
    }
    picture.Items.reserve(plan->Placements.size());
    for (const PlannedPlacement& placement : plan->Placements) {
        PlanPicture::Item item;
        item.Box = BoxOf(placement, view);
        item.Colour = placement.Model >= 0 && placement.Model < models ? placement.Model : models;
        item.Faded = placement.Action == PlannedAction::NotWritten;
        picture.NotWritten += item.Faded;
        picture.Box.Add(item.Box);
        picture.Items.push_back(item);
    }
    picture.Source = std::move(plan);
    picture.DrawOrder = NeighbourOrder(picture);
    return picture;
}

namespace {

bool Holds(const PlannedPlacement& placement, PlanView view, const PlanPoint& point) {
    const std::vector<PlanPoint>& corners = OutlineIn(placement, view);
    if (corners.size() < 3) return false;
    QPolygonF outline;
    for (const PlanPoint& corner : corners) outline << QPointF(corner[0], corner[1]);
    return outline.containsPoint(QPointF(point[0], point[1]), Qt::OddEvenFill);
}

// How far the point lies outside the box, in plan units (0 inside).
double DistanceOutside(const PlanBox& box, const PlanPoint& point) {
    const double da = std::max({box.MinA - point[0], 0.0, point[0] - box.MaxA});
    const double db = std::max({box.MinB - point[1], 0.0, point[1] - box.MaxB});
    return std::hypot(da, db);
}

}  // namespace

int PlacementAt(const PlanPicture& picture, const PlanViewport& viewport, QPointF pixel,
                double tolerance) {
    const PlanPoint point = viewport.ToPlan(pixel);
    const double reach = tolerance / viewport.Scale();
    int best = -1;
    double bestArea = std::numeric_limits<double>::infinity(), bestDistance = reach;
    for (size_t i = 0; i < picture.Items.size(); ++i) {
        const PlanBox& box = picture.Items[i].Box;
        const double distance = DistanceOutside(box, point);
        if (distance > reach) continue;
        const double area = box.HalfWidth() * box.HalfHeight();
        if (distance == 0 && area < bestArea &&
            Holds(picture.Source->Placements[i], picture.View, point)) {
            best = static_cast<int>(i);
            bestArea = area;
            bestDistance = 0;
        } else if (bestArea == std::numeric_limits<double>::infinity() &&
                   distance <= bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

bool ProblemSpot(const PlanPicture& picture, const PlanProblem& problem, PlanPoint& spot) {
    if (problem.Placement < 0 || static_cast<size_t>(problem.Placement) >= picture.Items.size())
        return false;
    spot = picture.Items[static_cast<size_t>(problem.Placement)].Box.Centre();
    return true;
}

}  // namespace scene
