// The corners of a point set in space: the points that can be a corner of its outline seen along
// any direction.
#pragma once

#include <vector>

#include "model_copy.hpp"

namespace scene {

// The vertices of the points' convex hull, each one of the given points bit for bit, sorted. For
// flat input, the corners of the polygon, the two ends of the segment, or the one point they span.
// Points within about 1e-12 of the largest coordinate of the hull may be left out. The coordinates
// must be finite.
std::vector<Point3> HullVertices(const std::vector<Point3>& points);

}  // namespace scene
