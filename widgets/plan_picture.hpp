// A plan made ready to draw in one view: each placement's box and colour, and what lies under a
// point of the picture. It holds no widget, so it may be made on any thread.
#pragma once

#include <QColor>
#include <QPointF>
#include <memory>
#include <vector>

#include "plan.hpp"
#include "plan_geometry.hpp"
#include "plan_viewport.hpp"

namespace scene {

struct PlanPicture {
    struct Item {
        PlanBox Box;         // around its outline in plan coordinates (its origin without one)
        int Colour = 0;      // into Colours
        bool Faded = false;  // the run does not reach it
    };

    std::shared_ptr<const Plan> Source;
    PlanView View = PlanView::Top;
    std::vector<Item> Items;  // one per placement, in plan order
    // The items in the order they are drawn: neighbours on the plan one after the other, so
    // that drawing them touches the picture's memory in few places at a time.
    std::vector<int> DrawOrder;
    std::vector<QColor> Colours;  // one per model, then the grey of placements without one
    PlanBox Box;                  // around every placement
    long NotWritten = 0;          // placements the run does not reach
};

PlanPicture MakePlanPicture(std::shared_ptr<const Plan> plan, PlanView view);

// The placement drawn at `pixel` (within `tolerance` pixels): the smallest whose outline holds
// it, else the nearest; -1 when none is that near.
int PlacementAt(const PlanPicture& picture, const PlanViewport& viewport, QPointF pixel,
                double tolerance = 4);

// Where a problem is marked: the centre of its placement's box; false when it concerns none.
bool ProblemSpot(const PlanPicture& picture, const PlanProblem& problem, PlanPoint& spot);

}  // namespace scene
