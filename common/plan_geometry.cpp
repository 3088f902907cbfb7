#include "plan_geometry.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace scene {

const std::vector<PlanPoint>& OutlineIn(const PlannedPlacement& placement, PlanView view) {
    return view == PlanView::Top ? placement.Top : placement.Side;
}

PlanPoint OriginIn(const PlannedPlacement& placement, PlanView view) {
    return view == PlanView::Top ? PlanPoint{placement.X, -placement.Z}
                                 : PlanPoint{placement.X, placement.Y};
}

const char* SecondAxisName(PlanView view) {
    return view == PlanView::Top ? "Z" : "Y";
}

void PlanBox::Add(const PlanPoint& point) {
    if (!std::isfinite(point[0]) || !std::isfinite(point[1])) return;
    if (Empty) {
        MinA = MaxA = point[0];
        MinB = MaxB = point[1];
        Empty = false;
        return;
    }
    MinA = std::min(MinA, point[0]);
    MaxA = std::max(MaxA, point[0]);
    MinB = std::min(MinB, point[1]);
    MaxB = std::max(MaxB, point[1]);
}

void PlanBox::Add(const PlanBox& box) {
    if (box.Empty) return;
    Add(PlanPoint{box.MinA, box.MinB});
    Add(PlanPoint{box.MaxA, box.MaxB});
}

PlanPoint PlanBox::Centre() const {
    return {MinA / 2 + MaxA / 2, MinB / 2 + MaxB / 2};
}

PlanBox BoxOf(const PlannedPlacement& placement, PlanView view) {
    PlanBox box;
    for (const PlanPoint& corner : OutlineIn(placement, view)) box.Add(corner);
    if (box.Empty) box.Add(OriginIn(placement, view));
    return box;
}

PlanBox BoxOf(const Plan& plan, PlanView view) {
    PlanBox box;
    for (const PlannedPlacement& placement : plan.Placements) box.Add(BoxOf(placement, view));
    return box;
}

double ShownHalfSide(const PlanBox& box) {
    if (box.Empty) return 1;
    const PlanPoint centre = box.Centre();
    // A double holds about 16 digits: a picture far narrower than 1e-9 of its distance from
    // the origin could no longer place its pixels.
    const double magnitude = std::max(std::abs(centre[0]), std::abs(centre[1]));
    const double half = std::max(box.HalfWidth(), box.HalfHeight());
    if (half == 0) return std::max(1.0, magnitude * 1e-9);  // a lone point: a unit around it
    return std::max(half, magnitude * 1e-9);
}

double RoundStep(double least) {
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= least) return std::isfinite(factor * power) ? factor * power : least;
    return least;  // rounding made `power` a little too small: no round step above it
}

std::vector<double> GridValues(double low, double high, double step, size_t most) {
    std::vector<double> values;
    for (double k = std::ceil(low / step); values.size() < most; ++k) {
        const double value = k * step + 0.0;  // + 0.0: no -0
        if (!std::isfinite(value) || value > high) break;
        values.push_back(value);
    }
    return values;
}

unsigned ModelColour(int model) {
    static constexpr std::array<unsigned, 10> kFirst = {0x1f77b4, 0x2ca02c, 0xff7f0e, 0x9467bd,
                                                        0x8c564b, 0x17becf, 0xe377c2, 0xbcbd22,
                                                        0x393b79, 0x637939};
    if (model < 0) return 0x606060;
    if (static_cast<size_t>(model) < kFirst.size()) return kFirst[static_cast<size_t>(model)];
    // Further models: hues a golden angle apart, darkened enough to show on white.
    const double hue = std::fmod(model * 0.618033988749895, 1.0) * 6;
    const double x = 1 - std::abs(std::fmod(hue, 2.0) - 1);
    const std::array<std::array<double, 3>, 6> sextants = {
        {{1, x, 0}, {x, 1, 0}, {0, 1, x}, {0, x, 1}, {x, 0, 1}, {1, 0, x}}};
    const std::array<double, 3>& rgb = sextants[static_cast<size_t>(hue) % 6];
    unsigned colour = 0;
    for (double channel : rgb) colour = colour << 8 | static_cast<unsigned>(40 + channel * 150);
    return colour;
}

}  // namespace scene
