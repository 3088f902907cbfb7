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

// The placements along the Z-order curve of their centres over the box.
std::vector<int> NeighbourOrder(const std::vector<PlanBox>& boxes, const PlanBox& all) {
    const double width = std::max(all.HalfWidth(), all.HalfHeight());
    auto cell = [&](double value, double low) {
        const double part = width > 0 ? (value / 2 - low / 2) / width : 0;
        return static_cast<quint32>(std::clamp(part, 0.0, 1.0) * 65535);
    };
    std::vector<std::pair<quint32, int>> keyed;
    keyed.reserve(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        const PlanPoint centre = boxes[i].Centre();
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

void AddItem(PlanPicture& picture, int placement, const PlanBox& box) {
    const PlannedPlacement& planned = picture.Source->Placements[static_cast<size_t>(placement)];
    const int models = static_cast<int>(picture.Source->Models.size());
    PlanPicture::Item item;
    item.Box = box;
    item.Placement = placement;
    item.Colour = planned.Model >= 0 && planned.Model < models ? planned.Model : models;
    item.Faded = planned.Action == PlannedAction::NotWritten;
    const std::vector<PlanPoint>& outline = OutlineIn(planned, picture.View);
    item.FirstCorner = static_cast<unsigned>(picture.Corners.size());
    item.CornerCount = static_cast<unsigned>(outline.size());
    picture.Corners.insert(picture.Corners.end(), outline.begin(), outline.end());
    picture.NotWritten += item.Faded;
    picture.ItemOf[static_cast<size_t>(placement)] = static_cast<int>(picture.Items.size());
    picture.Items.push_back(item);
}

}  // namespace

PlanPicture MakePlanPicture(std::shared_ptr<const Plan> plan, PlanView view) {
    PlanPicture picture;
    picture.View = view;
    picture.Source = std::move(plan);
    const std::vector<PlannedPlacement>& placements = picture.Source->Placements;
    const int models = static_cast<int>(picture.Source->Models.size());
    for (int model = 0; model <= models; ++model)
        picture.Colours.emplace_back(QRgb(0xFF000000u | ModelColour(model < models ? model : -1)));
    std::vector<PlanBox> boxes;
    boxes.reserve(placements.size());
    for (const PlannedPlacement& placement : placements) {
        boxes.push_back(BoxOf(placement, view));
        picture.Box.Add(boxes.back());
    }
    picture.ItemOf.resize(placements.size());
    picture.Items.reserve(placements.size());
    for (int placement : NeighbourOrder(boxes, picture.Box))
        AddItem(picture, placement, boxes[static_cast<size_t>(placement)]);
    return picture;
}

namespace {

bool Holds(std::span<const PlanPoint> corners, const PlanPoint& point) {
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
    for (const PlanPicture::Item& item : picture.Items) {
        const double distance = DistanceOutside(item.Box, point);
        if (distance > reach) continue;
        const double area = item.Box.HalfWidth() * item.Box.HalfHeight();
        if (distance == 0 && area < bestArea && Holds(picture.Outline(item), point)) {
            best = item.Placement;
            bestArea = area;
            bestDistance = 0;
        } else if (bestArea == std::numeric_limits<double>::infinity() &&
                   distance <= bestDistance) {
            best = item.Placement;
            bestDistance = distance;
        }
    }
    return best;
}

bool ProblemSpot(const PlanPicture& picture, const PlanProblem& problem, PlanPoint& spot) {
    const PlanPicture::Item* item = picture.ItemFor(problem.Placement);
    if (!item) return false;
    spot = item->Box.Centre();
    return true;
}

}  // namespace scene
