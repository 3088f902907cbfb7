// The placed copy of a converter-written model: every line as it stands, but its renamable
// node lines, which carry the copy's name, and its points, turned and moved to the placement.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <string_view>

#include "placement.hpp"
#include "step_failures.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace scene {

// Degrees to radians as the converter's models have always been placed: the ten-digit
// decimal 0.0174532925, not pi/180 (so cos of 90 degrees is about 1.79E-09, not 0).
inline constexpr double kPointScale = 0.0174532925;

// Sines and cosines of a placement's three angles, computed once per copy.
struct PlacementTurn {
    explicit PlacementTurn(const Placement& placement);
    double CosX, SinX, CosZ, SinZ, CosO, SinO;
    double X, Y, Z;
};

struct Point3 {
    double V[3];
};

// Turns about the first, the third and then the vertical axis, and moves. Inline, as the next
// one: they are part of every placed point line.
inline Point3 PlacePoint(const PlacementTurn& t, const Point3& p) {
    // Each product and sum is its own double, in this order (built without FP contraction).
    const double r0 = p.V[0];
    const double r1 = t.CosX * p.V[1] - t.SinX * p.V[2];
    const double r2 = t.CosX * p.V[2] + t.SinX * p.V[1];
    const double s0 = t.CosZ * r0 - t.SinZ * r1;
    const double s1 = t.CosZ * r1 + t.SinZ * r0;
    const double s2 = r2;
    Point3 o;
    o.V[0] = (t.CosO * s0 + t.SinO * s2) + t.X;
    o.V[2] = (t.CosO * s2 - t.SinO * s0) - t.Z;
    o.V[1] = s1 + t.Y;
    return o;
}
// The point as the copy writes it: a placed coordinate beyond the double range is 0. False when
// one was.
inline bool KeepInRange(Point3& placed) {
    bool ok = true;
    for (double& value : placed.V) {
        if (!std::isfinite(value)) {  // beyond the double range: overflow
            value = 0;
            ok = false;
        }
    }
    return ok;
}

// The tag as a legal VRML name: each character VRML does not allow in a name becomes "_".
std::string VrmlName(std::string_view tag);

// Writes the copy of the model, read from where it stands, to `copy`: renamable node lines
// carry the tag as a VrmlName, points are placed. Point lines with a missing or rejected
// number are written with 0 for it and counted in `failures`, once per line, as are those with
// a coordinate placed beyond the double range. Throws the failure when the model cannot be
// read or the copy cannot be written. With `twoThreads`, large point lists are placed on two
// threads, the second started by that file system: the same bytes, sooner.
void WriteCopy(TextFileReader& model, TextFileWriter& copy, const Placement& placement,
               std::string_view copyTag, StepFailures& failures,
               platform::FileSystem* twoThreads = nullptr);

// The points of the model, read from where it stands as a copy reads them (a missing or
// rejected number is 0), handed to `point` in order with whether all its numbers were read.
void ReadModelPoints(TextFileReader& model,
                     const std::function<void(const Point3& point, bool read)>& point);

}  // namespace scene
