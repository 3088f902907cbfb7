// A model's hull vertices and the outlines of its placed copies, against every placed point.
#include "model_hull.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <random>
#include <set>

#include "hull_3d.hpp"

namespace scene {

namespace {

using Bits = std::array<uint64_t, 2>;

double Cross(const PlanPoint& a, const PlanPoint& b, const PlanPoint& c) {
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

// How far p lies outside the outline (0 inside): an independent check of containment.
double Outside(const std::vector<PlanPoint>& outline, const PlanPoint& p) {
    const size_t n = outline.size();
    bool inside = n >= 3;
    double distance = INFINITY;
    for (size_t i = 0; i < n; ++i) {
        const PlanPoint &a = outline[i], &b = outline[(i + 1) % n];
        inside = inside && Cross(a, b, p) >= 0;
        const double dx = b[0] - a[0], dy = b[1] - a[1], length = dx * dx + dy * dy;
        double t = length == 0 ? 0 : ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length;
        t = std::clamp(t, 0.0, 1.0);
        distance = std::min(distance, std::hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy));
    }
    return inside ? 0 : distance;
}

// The outline is convex and counter-clockwise, holds every placed point, and each corner is one
// of them bit for bit.
void ExpectOutline(std::vector<PlanPoint> outline, std::vector<PlanPoint> placed) {
    ASSERT_EQ(outline.empty(), placed.empty());
    std::set<Bits> held;
    double largest = 0;
    for (const PlanPoint& p : placed) {
        held.insert(std::bit_cast<Bits>(p));
        largest = std::max({largest, std::fabs(p[0]), std::fabs(p[1])});
    }
    for (const PlanPoint& p : outline) EXPECT_TRUE(held.count(std::bit_cast<Bits>(p)));
    // Checked at a scale where no product overflows (a power of two: exact).
    const int exponent = largest == 0 ? 0 : std::ilogb(largest);
    for (auto* points : {&outline, &placed})
        for (PlanPoint& p : *points) p = {std::ldexp(p[0], -exponent), std::ldexp(p[1], -exponent)};
    const size_t n = outline.size();
    for (size_t i = 0; i < n && n >= 3; ++i)
        EXPECT_GT(Cross(outline[i], outline[(i + 1) % n], outline[(i + 2) % n]), 0);
    for (const PlanPoint& p : placed) ASSERT_LE(Outside(outline, p), 1e-9);
}

// Every vertex is a model point; the outlines of random placements hold every placed point.
void ExpectHullOfModel(const std::vector<Point3>& model, std::mt19937_64& random) {
    HullBuilder builder;
    for (const Point3& p : model) builder.Add(p);
    std::uniform_real_distribution<double> angle(-360, 360), offset(-1000, 1000);
    for (int k = 0; k < 12; ++k) {
        const PlacementTurn turn(Placement{"m", offset(random), offset(random), offset(random),
                                           angle(random), k % 3 ? angle(random) : 0,
                                           k % 2 ? angle(random) : 0, 0, 0});
        const Outlines outlines = PlacedOutlines(builder.Vertices(), turn);
        std::vector<PlanPoint> top, side;
        for (const Point3& p : model) {
            const Point3 o = PlacePoint(turn, p);
            top.push_back({o.V[0], o.V[2]});
            side.push_back({o.V[0], o.V[1]});
        }
        ExpectOutline(outlines.Top, top);
        ExpectOutline(outlines.Side, side);
        // Copies turned alike share the search for their corners: the outlines stay the same,
        // bit for bit, near the origin and far from it.
        PlacementTurn far = turn;
        far.X = 3e12 + turn.X, far.Z = -7e15;
        const SharedTurnOutlines shared(builder.Vertices(), far);
        for (const PlacementTurn& moved : {turn, far}) {
            const Outlines alone = PlacedOutlines(builder.Vertices(), moved);
            const Outlines again = shared.For(moved);
            EXPECT_TRUE(again.Top == alone.Top && again.Side == alone.Side) << model.size();
        }
    }
}

std::vector<Point3> RandomModel(std::mt19937_64& random, size_t count, double scale,
                                const std::array<double, 3>& spread) {
    std::normal_distribution<double> normal;
    std::vector<Point3> model(count);
    for (Point3& p : model)
        for (int k = 0; k < 3; ++k) p.V[k] = scale * (5 + spread[k] * normal(random));
    return model;
}

TEST(ModelHull, RandomAndDegenerateModelsGiveOutlinesHoldingEveryPlacedPoint) {
    std::mt19937_64 random(7);
    ExpectHullOfModel(RandomModel(random, 3000, 1, {1, 2, 3}), random);
    ExpectHullOfModel(RandomModel(random, 500, 1e300, {1, 1, 1}), random);
    ExpectHullOfModel(RandomModel(random, 500, 1e-300, {1, 1, 1}), random);
    ExpectHullOfModel(RandomModel(random, 9, 1, {0, 0, 0}), random);  // one point, repeated
    ExpectHullOfModel({}, random);
    std::vector<Point3> tilted = RandomModel(random, 800, 1, {1, 1, 0}), quad, line;
    for (Point3& p : tilted) p.V[2] = 0.3 * p.V[0] - 0.7 * p.V[1];
    for (int i = 0; i <= 40; ++i) {
        line.push_back({{2.0 * i, 1.0 * i, -0.5 * i}});
        for (int j = 0; j <= 40; ++j) quad.push_back({{0.25 * i, 0, 0.5 * j}});  // flat ground
    }
    quad.insert(quad.end(), quad.begin(), quad.end());  // each point twice
    for (const auto* model : {&tilted, &quad, &line}) ExpectHullOfModel(*model, random);
    EXPECT_EQ(HullVertices(quad).size(), 4u);
    EXPECT_EQ(HullVertices(line).size(), 2u);
}

TEST(ModelHull, ChunkedFeedingKeepsTheVerticesOfTheWhole) {
    std::mt19937_64 random(11);
    std::vector<Point3> model = RandomModel(random, 100'000, 1, {1, 0, 1});  // flat, then solid
    for (const Point3& p : RandomModel(random, 200'000, 1, {1, 1, 1})) model.push_back(p);
    HullBuilder builder;
    for (const Point3& p : model) builder.Add(p);
    const std::vector<Point3> whole = HullVertices(model), &chunked = builder.Vertices();
    ASSERT_EQ(chunked.size(), whole.size());
    EXPECT_EQ(std::memcmp(chunked.data(), whole.data(), whole.size() * sizeof whole[0]), 0);
}

}  // namespace

}  // namespace scene
