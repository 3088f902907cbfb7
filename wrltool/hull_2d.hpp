// The convex hull of points in a plane, as corners picked from the points themselves.
#pragma once

#include <cstddef>
#include <vector>

#include "plan.hpp"

namespace scene {

// Indices of the hull's corners into `points`, counter-clockwise (in the coordinates' own
// orientation) from the one with the least first coordinate. Each corner once; points on an
// edge are no corners. One index for points that are all equal, two for points on a line.
// The coordinates must be finite.
std::vector<size_t> ConvexHull2D(const std::vector<PlanPoint>& points);

}  // namespace scene
