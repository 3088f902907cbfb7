// The outline of a placed copy, computed once per model: the model's points are gathered into
// the vertices of their 3-D hull, and each placement turns and moves only those.
#pragma once

#include <cstddef>
#include <vector>

#include "model_copy.hpp"
#include "plan.hpp"

namespace scene {

// Gathers a model's points a chunk at a time, keeping only the vertices of the hull of those
// seen so far: its memory follows the hull, not the model.
class HullBuilder {
  public:
    // A point with a coordinate that is not finite is left out (the point reader gives none).
    void Add(const Point3& point);
    // The vertices of the hull of every point added (see HullVertices), sorted; valid until the
    // next Add.
    const std::vector<Point3>& Vertices();

  private:
    void Reduce();
    std::vector<Point3> points_;  // the hull's vertices, then the points added since
    size_t vertexCount_ = 0;
};

// A copy's outlines: from above (first and third coordinates) and from the side (first and
// second), as PlannedPlacement::Top and Side hold them.
struct Outlines {
    std::vector<PlanPoint> Top, Side;
};

// The outlines of the copy a placement writes of a model whose hull vertices these are: each
// vertex placed as the copy places it (a coordinate that is not finite is 0, as written), then
// the 2-D hulls. Every corner is a placed vertex, bit for bit.
Outlines PlacedOutlines(const std::vector<Point3>& hullVertices, const PlacementTurn& turn);

// The outlines of copies that share their angles, each with its own move: the vertices that may
// be corners are found once, and each copy places only those. A vertex left out lies deeper
// inside the outline than the rounding of any move can shift it, so the outlines are
// PlacedOutlines' own.
class SharedTurnOutlines {
  public:
    // `hullVertices` must outlive this.
    SharedTurnOutlines(const std::vector<Point3>& hullVertices, const PlacementTurn& turn);
    // The outlines of a copy turned as the one given above, moved as this turn says.
    Outlines For(const PlacementTurn& turn) const;

  private:
    struct View {
        std::vector<Point3> ByDepth;  // the vertices, the least deep inside the outline first
        std::vector<double> Depth;
    };
    static View Ranked(const std::vector<Point3>& vertices, const std::vector<PlanPoint>& turned);
    static std::vector<PlanPoint> PlacedCorners(const View& view, double margin,
                                                const PlacementTurn& turn, int vertical);

    const std::vector<Point3>& vertices_;
    double largest_ = 0;  // of the turned vertices' coordinates; not finite: no sharing
    View top_, side_;
};

}  // namespace scene
