// The plan of a run as an SVG picture: one element per placement (id "placement-I", I as in the
// copy's name) holding its outline's corners in the copy's own coordinates, inside a group whose
// transform places them in the picture; a colour per model with its legend, the problems marked
// and listed, axes, grid and scale bar.
#pragma once

#include <string>

#include "plan.hpp"
#include "plan_geometry.hpp"

namespace scene {

// The whole SVG document (UTF-8) of the plan seen in `view`. Every corner is written as the
// shortest text that reads back to the same double; a placement without an outline is a point
// at its origin. Placements the run does not reach carry class="not-written".
std::string PlanSvg(const Plan& plan, PlanView view = PlanView::Top);

}  // namespace scene
