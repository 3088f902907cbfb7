// vandrel-cli duplicate --models DIR [--use-selected NAME]
//     (--tso FILE | --mgp FILE [--orientation DEG] | --manual NAME X Y Z ORIENT)
#pragma once

#include "cli_program.hpp"
#include "duplicate_inputs.hpp"

namespace scene {

CliCommand AddDuplicateCommand(CLI::App& program);

}  // namespace scene
