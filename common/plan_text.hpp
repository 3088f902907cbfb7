// Placements of a plan in words, as the pictures name them.
#pragma once

#include <string>

#include "plan.hpp"

namespace scene {

// The shortest text that reads back (strtod) to the same double: 0.1 gives "0.1", 1e300
// gives "1e+300".
void AppendShortest(std::string& out, double value);
std::string ShortestText(double value);

// Its list line, name and copy, and what the run does there when it is not a plain write:
// "line 3: house → house_1.wrl", "line 9: barn → barn_7.wrl, not written".
std::string PlacementTitle(const PlannedPlacement& placement);

// The title, then its numbers on two lines: "X 10  Y 0  Z 2.5", "orientation 90  angle Z 0
// angle X 0".
std::string PlacementDetails(const PlannedPlacement& placement);

// A problem as the command line prints it: "line N: TEXT", or the text alone without a line.
std::string ProblemText(const PlanProblem& problem);

}  // namespace scene
