// The plan of a run on the command line: one line per problem ("line N: TEXT"), a count per
// kind, the SVG picture written, and the exit status the run itself would have.
#pragma once

#include <string>

#include "cli_program.hpp"
#include "plan.hpp"

namespace scene {

// Prints the plan's problems and writes its picture to `svgPath` (replacing a file there
// safely); throws the failure when the picture cannot be written.
void PrintPlan(CliSession& session, const Plan& plan, const std::string& svgPath);

}  // namespace scene
