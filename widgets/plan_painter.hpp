// Drawing a plan: the placements' outlines in their model's colours, the problems' rings, and
// over them grid, axes, scale bar, extent and legend. The same drawing serves the plan window,
// its PNG pictures and the paint benchmark.
#pragma once

#include <QImage>

#include "plan_picture.hpp"
#include "plan_viewport.hpp"

class QPainter;

namespace scene {

// What the user singled out: placements (into Plan::Placements) and a problem (into
// Plan::Problems); -1 for none.
struct PlanMarks {
    int Hovered = -1;
    int Picked = -1;
    int Problem = -1;
};

// Everything, on a white ground, into an ARGB32 premultiplied picture of the viewport's size
// (times its device pixel ratio). Outlines are lightly filled in their model's colour, faded
// where the run does not reach; small ones go straight into the pixels (a dot when smaller than
// a few pixels), large ones are drawn smoothly; what lies outside is left out, and of outlines
// on the same pixels one is drawn.
void PaintPlan(QImage& picture, const PlanPicture& plan, const PlanViewport& viewport,
               const PlanMarks& marks = {});

// The grid's lines under the placements.
void PaintGrid(QPainter& painter, const PlanViewport& viewport);

// Over them: the grid's values, the axes with their names, the scale bar, the extent in
// numbers, the legend.
void PaintOverlay(QPainter& painter, const PlanPicture& plan, const PlanViewport& viewport);

}  // namespace scene
