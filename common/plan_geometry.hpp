// What every picture of a plan shares: the two views, where a placement lies in each, the box
// around them, round steps for grids and scale bars, and one colour per model.
#pragma once

#include <vector>

#include "plan.hpp"

namespace scene {

// From above: the first coordinate to the right, the third downward (the vertical axis toward
// the viewer). From the side: the first to the right, the second (vertical) upward.
enum class PlanView { Top, Side };

const std::vector<PlanPoint>& OutlineIn(const PlannedPlacement& placement, PlanView view);

// Where the copy's own origin lands: (X, -Z) from above, (X, Y) from the side.
PlanPoint OriginIn(const PlannedPlacement& placement, PlanView view);

// The name of the view's second axis: "Z" from above, "Y" from the side.
const char* SecondAxisName(PlanView view);

// A box around points; A is the first coordinate of a PlanPoint, B the second. Points that are
// not finite are left out.
struct PlanBox {
    double MinA = 0, MaxA = 0, MinB = 0, MaxB = 0;
    bool Empty = true;

    void Add(const PlanPoint& point);
    void Add(const PlanBox& box);
    // Computed in halves, so that no sum or difference of two finite doubles overflows.
    PlanPoint Centre() const;
    double HalfWidth() const { return MaxA / 2 - MinA / 2; }
    double HalfHeight() const { return MaxB / 2 - MinB / 2; }
};

// Around the placement's outline in the view; its origin when it has no outline.
PlanBox BoxOf(const PlannedPlacement& placement, PlanView view);
// Around every placement of the plan.
PlanBox BoxOf(const Plan& plan, PlanView view);

// Half the side of the square a picture shows around the box's centre: half the box's larger
// side, a unit for a box around one point, and wide enough against the centre's magnitude that
// a picture's arithmetic in doubles stays exact to a small part of a pixel.
double ShownHalfSide(const PlanBox& box);

// The smallest 1, 2 or 5 times a power of ten that is at least `least` (least > 0).
double RoundStep(double least);

// The multiples of `step` from `low` to `high`, finite ones only, at most `most` of them: where
// grid lines go.
std::vector<double> GridValues(double low, double high, double step, size_t most);

// A colour for model `model` (0xRRGGBB): distinct for the first ones, the same in every
// picture; a grey for -1 (a placement that copies no model).
unsigned ModelColour(int model);

}  // namespace scene
