// The plan's own costs: a model's hull, the outlines of many placements, their problems.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "model_hull.hpp"
#include "plan_problems.hpp"

namespace scene {

namespace {

// Points of a rough solid: a box with a bumpy top, as converted buildings are.
std::vector<Point3> Building(size_t count) {
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Point3> points(count);
    for (Point3& p : points) {
        const double x = 20 * unit(random), z = 10 * unit(random);
        p = {{x, 8 * unit(random) + std::sin(x) + std::cos(z), z}};
    }
    return points;
}

void ModelHullOfPoints(benchmark::State& state) {
    const std::vector<Point3> points = Building(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        HullBuilder builder;
        for (const Point3& p : points) builder.Add(p);
        benchmark::DoNotOptimize(builder.Vertices().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ModelHullOfPoints)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void OutlinesOfPlacements(benchmark::State& state) {
    HullBuilder builder;
    for (const Point3& p : Building(100'000)) builder.Add(p);
    const std::vector<Point3>& vertices = builder.Vertices();
    state.counters["vertices"] = static_cast<double>(vertices.size());
    for (auto _ : state)
        for (int i = 0; i < state.range(0); ++i) {
            Placement placement;
            placement.X = i % 150 * 30.0;
            placement.Z = i / 150 * 30.0;
            placement.Orientation = i % 360;
            benchmark::DoNotOptimize(PlacedOutlines(vertices, PlacementTurn(placement)));
        }
}
BENCHMARK(OutlinesOfPlacements)->Arg(20'000)->Unit(benchmark::kMillisecond);

void ProblemsOfPlacements(benchmark::State& state) {
    Plan plan;
    for (int i = 0; i < state.range(0); ++i) {
        PlannedPlacement& p = plan.Placements.emplace_back();
        p.Line = i + 1;
        p.Model = i % 7;
        p.X = i % 150 * 30.0;
        p.Z = i / 150 * 30.0;
    }
    for (auto _ : state) {
        plan.Problems.clear();
        AddPlacementProblems(plan);
        benchmark::DoNotOptimize(plan.Problems.size());
    }
}
BENCHMARK(ProblemsOfPlacements)->Arg(20'000)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace scene
