#include "model_hull.hpp"

#include <algorithm>
#include <cmath>

#include "hull_2d.hpp"
#include "hull_3d.hpp"

namespace scene {

namespace {

// Points gathered before the hull is taken again. At least as many as the hull has vertices,
// so that a model with most of its points on its hull still costs O(n log n) in all.
constexpr size_t kChunkPoints = 64 * 1024;

std::vector<PlanPoint> Corners(const std::vector<PlanPoint>& points) {
    std::vector<PlanPoint> corners;
    for (size_t i : ConvexHull2D(points)) corners.push_back(points[i]);
    return corners;
}

}  // namespace

void HullBuilder::Add(const Point3& point) {
    if (!std::all_of(point.V, point.V + 3, [](double v) { return std::isfinite(v); })) return;
    points_.push_back(point);
    if (points_.size() - vertexCount_ >= std::max(kChunkPoints, vertexCount_)) Reduce();
}

const std::vector<Point3>& HullBuilder::Vertices() {
    if (points_.size() > vertexCount_) Reduce();
    return points_;
}

void HullBuilder::Reduce() {
    points_ = HullVertices(points_);
    vertexCount_ = points_.size();
}

Outlines PlacedOutlines(const std::vector<Point3>& hullVertices, const PlacementTurn& turn) {
    std::vector<PlanPoint> top, side;
    top.reserve(hullVertices.size());
    side.reserve(hullVertices.size());
    for (const Point3& vertex : hullVertices) {
        Point3 placed = PlacePoint(turn, vertex);
        for (double& v : placed.V)
            if (!std::isfinite(v)) v = 0;  // what the copy writes for it
        top.push_back({placed.V[0], placed.V[2]});
        side.push_back({placed.V[0], placed.V[1]});
    }
    return {Corners(top), Corners(side)};
}

}  // namespace scene
