// vandrel-cli plan: the plan of a Duplicate run, its problems printed and its picture written.
#pragma once

#include "cli_program.hpp"

namespace scene {

CliCommand AddPlanCommand(CLI::App& program);

}  // namespace scene
