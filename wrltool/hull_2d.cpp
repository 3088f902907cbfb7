#include "hull_2d.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace scene {

namespace {

// Positive when a, b, c turn counter-clockwise, 0 when they lie on a line.
double Turn(const PlanPoint& a, const PlanPoint& b, const PlanPoint& c) {
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

// One chain of the monotone chain hull, appended to `hull`: each point of `order` in turn,
// dropping earlier ones that no longer turn left. `keep` corners at the end of `hull` are final.
void AddChain(const std::vector<PlanPoint>& points, const std::vector<size_t>& order,
              std::vector<size_t>& hull, size_t keep) {
    for (size_t i : order) {
        while (hull.size() >= keep + 2 &&
               Turn(points[hull[hull.size() - 2]], points[hull.back()], points[i]) <= 0)
            hull.pop_back();
        hull.push_back(i);
    }
}

// The points scaled by one power of two so that the largest coordinate lies in [1, 2): exact,
// the same shape, and no product of Turn overflows.
std::vector<PlanPoint> Scaled(const std::vector<PlanPoint>& points, double largest) {
    const int exponent = std::ilogb(largest);
    std::vector<PlanPoint> scaled(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        scaled[i] = {std::ldexp(points[i][0], -exponent), std::ldexp(points[i][1], -exponent)};
    return scaled;
}

// So few points are sorted at once faster than they are sifted.
constexpr size_t kFewPoints = 48;

// The points that may be corners: all but those strictly inside the octagon of the points
// lying farthest in eight directions, which no corner can be (a cheap first cut before sorting).
std::vector<std::pair<PlanPoint, size_t>> Candidates(const std::vector<PlanPoint>& points) {
    std::vector<std::pair<PlanPoint, size_t>> kept;
    if (points.size() <= kFewPoints) {
        for (size_t i = 0; i < points.size(); ++i) kept.push_back({points[i], i});
        return kept;
    }
    // Around the octagon: lowest, then farthest right-down, right, right-up, up, ...
    size_t extreme[8] = {};
    double best[8];
    std::fill(best, best + 8, -HUGE_VAL);
    for (size_t i = 0; i < points.size(); ++i) {
        const double x = points[i][0], y = points[i][1];
        const double measure[8] = {-y, x - y, x, x + y, y, y - x, -x, -x - y};
        for (int k = 0; k < 8; ++k)
            if (measure[k] > best[k]) best[k] = measure[k], extreme[k] = i;
    }
    // A box inside the octagon (right of its left corners, left of its right ones, and so on):
    // a point strictly inside it is no corner, found with four comparisons.
    const auto at = [&](int k, int axis) { return points[extreme[k]][static_cast<size_t>(axis)]; };
    const double left = std::max({at(5, 0), at(6, 0), at(7, 0)});
    const double right = std::min({at(1, 0), at(2, 0), at(3, 0)});
    const double bottom = std::max({at(7, 1), at(0, 1), at(1, 1)});
    const double top = std::min({at(3, 1), at(4, 1), at(5, 1)});
    PlanPoint corner[9];  // the octagon's distinct corners in turn, the first again at the end
    int corners = 0;
    for (size_t index : extreme)
        if (corners == 0 || points[index] != corner[corners - 1]) corner[corners++] = points[index];
    if (corners > 1 && corner[0] == corner[corners - 1]) --corners;
    corner[corners] = corner[0];
    for (size_t i = 0; i < points.size(); ++i) {
        const PlanPoint& p = points[i];
        if (p[0] > left && p[0] < right && p[1] > bottom && p[1] < top) continue;
        bool inside = corners >= 3;
        for (int k = 0; k < corners && inside; ++k)
            inside = Turn(corner[k], corner[k + 1], points[i]) > 0;
        if (!inside) kept.push_back({points[i], i});
    }
    return kept;
}

// The hull of points whose coordinates are neither so large nor so small that the products of
// Turn overflow or vanish.
std::vector<size_t> HullOf(const std::vector<PlanPoint>& points) {
    // Sorted as values (faster than through indices); of equal points the first one given
    // stands for them all.
    std::vector<std::pair<PlanPoint, size_t>> sorted = Candidates(points);
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        if (a.first[0] != b.first[0]) return a.first[0] < b.first[0];
        return a.first[1] != b.first[1] ? a.first[1] < b.first[1] : a.second < b.second;
    });
    std::vector<size_t> order;
    for (size_t i = 0; i < sorted.size(); ++i)
        if (i == 0 || sorted[i].first != sorted[i - 1].first) order.push_back(sorted[i].second);
    if (order.size() <= 2) return order;

    std::vector<size_t> hull;
    AddChain(points, order, hull, 0);  // the lower chain, left to right
    const size_t lower = hull.size() - 1;
    std::vector<size_t> back(order.rbegin() + 1, order.rend());
    AddChain(points, back, hull, lower);  // the upper chain, right to left
    hull.pop_back();                      // the first corner again
    return hull;
}

}  // namespace

std::vector<size_t> ConvexHull2D(const std::vector<PlanPoint>& points) {
    double largest = 0;
    for (const PlanPoint& p : points)
        largest = std::max({largest, std::fabs(p[0]), std::fabs(p[1])});
    const bool fits = largest == 0 || (largest > 0x1p-500 && largest < 0x1p500);
    return fits ? HullOf(points) : HullOf(Scaled(points, largest));
}

}  // namespace scene
