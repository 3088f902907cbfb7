// The problems a plan's placements show by themselves, whatever the files they read.
#pragma once

#include "plan.hpp"

namespace scene {

// Adds to plan.Problems the problems of the placements that are written (Write, RepairFirst),
// keeping the list in line order (problems of no line, 0, first; on one line, those already
// there first). O(n log n) in the placements.
// - Doubled: the same model (or, copying none, the same name) at the same six numbers as an
//   earlier line.
// - FarFromRest, once per axis (X, Y, Z as read): a coordinate farther from that axis's median
//   than 10 times its median distance (the median of every placement's distance from the
//   median). An axis whose placements barely differ (the height of a scene on flat ground with
//   a hill) is measured by a tenth of the widest axis's median distance instead: a placement is
//   then far only when it also lies farther than the scene's typical spread. None is far when
//   every axis's median distance is 0 (most placements stand at one spot), nor among fewer than
//   25 written placements (too few to tell a typical spread).
void AddPlacementProblems(Plan& plan);

// What a kind of problem is called where problems are counted: "run ends", "doubled", ...
const char* ProblemKindText(ProblemKind kind);

}  // namespace scene
