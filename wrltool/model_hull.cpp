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

namespace {

// Turned and moved coordinates are shared only within these magnitudes: there the rounding of a
// move is relative to its size, and no product below overflows or vanishes.
constexpr double kShareLargest = 0x1p500, kShareSmallest = 0x1p-900;
constexpr double kEpsilon = 0x1p-52;

// How far inside the hull (counter-clockwise corners) each point lies: its least distance from
// the lines of the edges, negative outside.
std::vector<double> DepthsInside(const std::vector<PlanPoint>& hull,
                                 const std::vector<PlanPoint>& points) {
    std::vector<double> depths(points.size(), HUGE_VAL);
    for (size_t k = 0; k < hull.size(); ++k) {
        const PlanPoint& a = hull[k];
        const PlanPoint& b = hull[(k + 1) % hull.size()];
        const double length = std::hypot(b[0] - a[0], b[1] - a[1]);
        const double dx = (b[0] - a[0]) / length, dy = (b[1] - a[1]) / length;
        for (size_t i = 0; i < points.size(); ++i)
            depths[i] =
                std::min(depths[i], dx * (points[i][1] - a[1]) - dy * (points[i][0] - a[0]));
    }
    return depths;
}

}  // namespace

SharedTurnOutlines::SharedTurnOutlines(const std::vector<Point3>& hullVertices,
                                       const PlacementTurn& turn)
    : vertices_(hullVertices) {
    PlacementTurn unmoved = turn;
    unmoved.X = unmoved.Y = unmoved.Z = 0;
    std::vector<PlanPoint> top, side;
    for (const Point3& vertex : hullVertices) {
        const Point3 turned = PlacePoint(unmoved, vertex);  // the copy's turn, bit for bit
        for (double v : turned.V) largest_ = std::max(largest_, std::fabs(v));  // NaN stays out
        if (!std::all_of(turned.V, turned.V + 3, [](double v) { return std::isfinite(v); }))
            largest_ = HUGE_VAL;
        top.push_back({turned.V[0], turned.V[2]});
        side.push_back({turned.V[0], turned.V[1]});
    }
    if (largest_ >= kShareLargest || largest_ < kShareSmallest) {
        largest_ = HUGE_VAL;
        return;
    }
    top_ = Ranked(hullVertices, top);
    side_ = Ranked(hullVertices, side);
}

SharedTurnOutlines::View SharedTurnOutlines::Ranked(const std::vector<Point3>& vertices,
                                                    const std::vector<PlanPoint>& turned) {
    const std::vector<PlanPoint> hull = Corners(turned);
    const std::vector<double> depths =
        hull.size() < 3 ? std::vector<double>(turned.size(), 0.0) : DepthsInside(hull, turned);
    std::vector<std::pair<double, size_t>> ranks;
    for (size_t i = 0; i < turned.size(); ++i) ranks.push_back({depths[i], i});
    std::sort(ranks.begin(), ranks.end());
    View view;
    for (const auto& [depth, i] : ranks) {
        view.ByDepth.push_back(vertices[i]);
        view.Depth.push_back(depth);
    }
    return view;
}

std::vector<PlanPoint> SharedTurnOutlines::PlacedCorners(const View& view, double margin,
                                                         const PlacementTurn& turn, int vertical) {
    std::vector<PlanPoint> placed;
    for (size_t i = 0; i < view.ByDepth.size() && view.Depth[i] <= margin; ++i) {
        const Point3 p = PlacePoint(turn, view.ByDepth[i]);
        placed.push_back({p.V[0], p.V[vertical]});
    }
    return Corners(placed);
}

Outlines SharedTurnOutlines::For(const PlacementTurn& turn) const {
    const double move = std::max({std::fabs(turn.X), std::fabs(turn.Y), std::fabs(turn.Z)});
    if (!(move < kShareLargest) || largest_ == HUGE_VAL) return PlacedOutlines(vertices_, turn);
    // A placed coordinate is the turned one plus the move, rounded: off by at most an epsilon of
    // their sizes, and the depths are as close. A vertex deeper than many times that stays inside
    // the hull of the placed corners.
    const double margin = 64 * kEpsilon * (largest_ + move);
    return {PlacedCorners(top_, margin, turn, 2), PlacedCorners(side_, margin, turn, 1)};
}

}  // namespace scene
