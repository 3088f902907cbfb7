// A plan made ready to draw in one view: each placement's box, outline and colour, laid out in
// the order they are drawn, and what lies under a point of the picture. It holds no widget, so
// it may be made on any thread.
#pragma once

#include <QColor>
#include <QPointF>
#include <memory>
#include <span>
#include <vector>

#include "plan.hpp"
#include "plan_geometry.hpp"
#include "plan_viewport.hpp"

namespace scene {

struct PlanPicture {
    struct Item {
        PlanBox Box;         // around its outline in plan coordinates (its origin without one)
        int Placement = 0;   // into Plan::Placements
        int Colour = 0;      // into Colours
        bool Faded = false;  // the run does not reach it
        unsigned FirstCorner = 0, CornerCount = 0;  // its outline, in Corners
    };

    std::shared_ptr<const Plan> Source;
    PlanView View = PlanView::Top;
    // One per placement, neighbours on the plan one after the other, and their outlines' corners
    // in the same order: drawing them reads memory straight on and writes the picture in few
    // places at a time.
    std::vector<Item> Items;
    std::vector<PlanPoint> Corners;
    std::vector<int> ItemOf;      // per placement, its item
    std::vector<QColor> Colours;  // one per model, then the grey of placements without one
    PlanBox Box;                  // around every placement
    long NotWritten = 0;          // placements the run does not reach

    std::span<const PlanPoint> Outline(const Item& item) const {
        return {Corners.data() + item.FirstCorner, item.CornerCount};
    }
    // The item of a placement; nullptr for an index outside the plan.
    const Item* ItemFor(int placement) const {
        if (placement < 0 || static_cast<size_t>(placement) >= ItemOf.size()) return nullptr;
        return &Items[static_cast<size_t>(ItemOf[static_cast<size_t>(placement)])];
    }
};

PlanPicture MakePlanPicture(std::shared_ptr<const Plan> plan, PlanView view);

// The placement drawn at `pixel` (within `tolerance` pixels): the smallest whose outline holds
// it, else the nearest; -1 when none is that near.
int PlacementAt(const PlanPicture& picture, const PlanViewport& viewport, QPointF pixel,
                double tolerance = 4);

// Where a problem is marked: the centre of its placement's box; false when it concerns none.
bool ProblemSpot(const PlanPicture& picture, const PlanProblem& problem, PlanPoint& spot);

}  // namespace scene
