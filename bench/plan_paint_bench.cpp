// One paint of the plan window's drawing of 20,000 placements into an offscreen picture of
// 1000 x 700 pixels: fitted (every outline in sight, a few pixels each), zoomed in 8 times
// (most of them culled) and zoomed out (each a dot).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <random>

#include "plan_painter.hpp"

namespace scene {

namespace {

// Houses turned every way on a site 1,400 units square, five models, one in ten not written,
// fifty problems.
std::shared_ptr<const Plan> Village(int placements) {
    auto plan = std::make_shared<Plan>();
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> where(0, 1400), turn(0, 6.283185307179586);
    for (const char* model : {"house.wrl", "barn.wrl", "shed.wrl", "tower.wrl", "mill.wrl"})
        plan->Models.push_back({model, 0});
    for (int i = 0; i < placements; ++i) {
        PlannedPlacement p;
        p.Index = i;
        p.Model = i % 5;
        p.Action = i % 10 == 9 ? PlannedAction::NotWritten : PlannedAction::Write;
        const double x = where(random), z = where(random), angle = turn(random);
        for (auto [u, v] : {std::pair{-4, -3}, {4, -3}, {4, 3}, {-4, 3}})
            p.Top.push_back({x + u * std::cos(angle) - v * std::sin(angle),
                             z + u * std::sin(angle) + v * std::cos(angle)});
        plan->Placements.push_back(std::move(p));
    }
    for (int i = 0; i < 50; ++i)
        plan->Problems.push_back({ProblemKind::Doubled, i, i * 400, "doubled"});
    return plan;
}

void BM_PaintPlan(benchmark::State& state) {
    const PlanPicture picture = MakePlanPicture(Village(20000), PlanView::Top);
    QImage image(1000, 700, QImage::Format_ARGB32_Premultiplied);
    PlanViewport viewport(PlanView::Top, image.size());
    viewport.Fit(picture.Box);
    const double zoom[] = {1, 8, 0.25};
    viewport.ZoomAbout({500, 350}, zoom[state.range(0)]);
    for (auto _ : state) PaintPlan(image, picture, viewport);
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_PaintPlan)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace scene

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);  // the fonts of the painter
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
