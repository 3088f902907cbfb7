// The plan of a camera file: its cameras where the file will start them, before it is written.
#pragma once

#include <stop_token>
#include <string>

#include "plan.hpp"

namespace scene {

// The cameras that "Create File" would write for the point file folder + separator + fileName:
// one placement per camera, numbered as the file numbers them, at its start position (the point
// negated). Reads what the command reads and writes nothing.
Plan PlanCameraFile(const std::string& folder, const std::string& fileName,
                    std::stop_token stop = {});

}  // namespace scene
