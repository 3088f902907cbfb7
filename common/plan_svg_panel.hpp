// The panel beside the plan in its SVG picture: what it shows and from where, its extent, a
// legend of the models with their counts, and the problems.
#pragma once

#include <string>

#include "plan.hpp"
#include "plan_geometry.hpp"

namespace scene {

// Writes the panel's lines from (left, top) down; returns where the last line ends.
double WritePlanPanel(std::string& out, const Plan& plan, PlanView view, double left, double top);

}  // namespace scene
