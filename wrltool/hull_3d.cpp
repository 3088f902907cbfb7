#include "hull_3d.hpp"

#include <libqhull_r/libqhull_r.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

#include "hull_2d.hpp"
#include "system.hpp"

namespace scene {

namespace {

using Vec = std::array<double, 3>;

// Points whose distance from a line or plane stays below this (after scaling, so relative to
// the largest coordinate) are taken as lying on it: Qhull refuses flat input.
constexpr double kFlat = 1e-12;

Vec Sub(const Vec& a, const Vec& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
double Dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec Cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The points scaled by one power of two so that the largest coordinate lies in [1, 2): exact,
// the same shape, and no square or product overflows.
std::vector<Vec> Scaled(const std::vector<Point3>& points) {
    double largest = 0;
    for (const Point3& p : points)
        for (double v : p.V) largest = std::max(largest, std::fabs(v));
    const int exponent = largest == 0 ? 0 : std::ilogb(largest);
    std::vector<Vec> scaled(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        for (size_t k = 0; k < 3; ++k) scaled[i][k] = std::ldexp(points[i].V[k], -exponent);
    return scaled;
}

// The index of the point where `measure` is largest, and that value.
template <typename Measure>
std::pair<size_t, double> Farthest(const std::vector<Vec>& points, Measure measure) {
    std::pair<size_t, double> best{0, measure(points[0])};
    for (size_t i = 1; i < points.size(); ++i)
        if (const double m = measure(points[i]); m > best.second) best = {i, m};
    return best;
}

// The two points farthest apart along `direction` (one when they are the same point).
std::vector<size_t> LineEnds(const std::vector<Vec>& points, const Vec& direction) {
    const auto along = [&](const Vec& p) { return Dot(p, direction); };
    const size_t last = Farthest(points, along).first;
    const size_t first = Farthest(points, [&](const Vec& p) { return -along(p); }).first;
    if (first == last) return {first};
    return {first, last};
}

// The corners of the points' polygon in the plane through `origin` spanned by `u` and `v`.
std::vector<size_t> PlaneCorners(const std::vector<Vec>& points, const Vec& origin, const Vec& u,
                                 const Vec& v) {
    std::vector<PlanPoint> flat(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        const Vec p = Sub(points[i], origin);
        flat[i] = {Dot(p, u), Dot(p, v)};
    }
    return ConvexHull2D(flat);
}

// Where Qhull's messages go: nowhere (its failures are handled, not shown).
std::FILE* QuietFile() {
    static std::FILE* const quiet = std::fopen(platform::kNullDevice, "w");
    return quiet ? quiet : stderr;
}

// The indices of the vertices of the points' 3-D hull; nothing when Qhull fails, as it does on
// points flat within its rounding. Throws std::bad_alloc when it runs out of memory.
std::optional<std::vector<size_t>> QhullVertices(const std::vector<Vec>& points) {
    if (points.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        throw std::length_error("too many points for one hull");
    std::vector<coordT> coordinates(3 * points.size());
    for (size_t i = 0; i < points.size(); ++i)
        std::copy(points[i].begin(), points[i].end(),
                  coordinates.begin() + static_cast<std::ptrdiff_t>(3 * i));
    // Qhull's state is large: kept off the small stacks of worker threads.
    const auto state = std::make_unique<qhT>();
    qhT* const qh = state.get();
    std::FILE* const quiet = QuietFile();
    qh_zero(qh, quiet);
    char command[] = "qhull";
    const int status = qh_new_qhull(qh, 3, static_cast<int>(points.size()), coordinates.data(),
                                    False, command, nullptr, quiet);
    std::vector<size_t> vertices;
    if (status == qh_ERRnone) {
        vertexT* vertex;
        FORALLvertices {
            const int id = qh_pointid(qh, vertex->point);
            if (id >= 0) vertices.push_back(static_cast<size_t>(id));
        }
    }
    qh_freeqhull(qh, !qh_ALL);
    int stillLong = 0, totalLong = 0;
    qh_memfreeshort(qh, &stillLong, &totalLong);
    if (status == qh_ERRmem) throw std::bad_alloc();
    if (status != qh_ERRnone) return std::nullopt;
    return vertices;
}

// The indices of the points that can be corners: finds the dimension the points span (from the
// first point, the point farthest from it, from their line, from the plane of the three).
std::vector<size_t> CornerIndices(const std::vector<Vec>& points) {
    const Vec& origin = points[0];
    const auto [far, farSquared] =
        Farthest(points, [&](const Vec& p) { return Dot(Sub(p, origin), Sub(p, origin)); });
    if (farSquared == 0) return {0};
    const Vec d = Sub(points[far], origin);
    const auto offLine = [&](const Vec& p) {
        const Vec c = Cross(Sub(p, origin), d);
        return Dot(c, c);
    };
    const auto [side, sideSquared] = Farthest(points, offLine);
    if (sideSquared <= kFlat * kFlat * Dot(d, d)) return LineEnds(points, d);
    const Vec normal = Cross(d, Sub(points[side], origin));
    const Vec across = Cross(normal, d);
    const auto offPlane = [&](const Vec& p) { return std::fabs(Dot(Sub(p, origin), normal)); };
    if (Farthest(points, offPlane).second > kFlat * std::sqrt(Dot(normal, normal)))
        if (auto vertices = QhullVertices(points)) return *vertices;
    return PlaneCorners(points, origin, d, across);
}

}  // namespace

std::vector<Point3> HullVertices(const std::vector<Point3>& points) {
    if (points.empty()) return {};
    std::vector<Point3> vertices;
    for (size_t i : CornerIndices(Scaled(points))) vertices.push_back(points[i]);
    std::sort(vertices.begin(), vertices.end(), [](const Point3& a, const Point3& b) {
        return std::lexicographical_compare(a.V, a.V + 3, b.V, b.V + 3);
    });
    return vertices;
}

}  // namespace scene
