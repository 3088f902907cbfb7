// One target for a copy of a model.
#pragma once

#include <string>

namespace scene {

struct Placement {
    std::string Name;
    double X = 0;
    double Y = 0;            // the vertical offset
    double Z = 0;            // subtracted from the third coordinate
    double Orientation = 0;  // degrees, about the vertical axis
    double AngleZ = 0;       // degrees, about the third axis
    double AngleX = 0;       // degrees, about the first axis
    double Index = 0;        // position in the placement list, written into the copy's names
    double Extra = 0;        // an eighth value of a point line; never used
    long Line = 0;           // the list line it was read from, from 1; 0 when typed in
};

}  // namespace scene
