// The plan of a Duplicate run: the run itself, over a file system that reads through and writes
// nothing, recorded placement by placement.
#pragma once

#include <stop_token>

#include "duplicate_inputs.hpp"
#include "plan.hpp"

namespace scene {

// What the run these inputs start would do, reading what it reads and writing nothing. A stop
// requested through `stop` ends the computation early, with Plan::Stopped set.
Plan PlanDuplicate(const DuplicateInputs& inputs, std::stop_token stop = {});

}  // namespace scene
