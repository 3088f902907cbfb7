// vandrel-cli fix-wrls DIR
#pragma once

#include "cli_program.hpp"

namespace scene {

CliCommand AddFixWrlsCommand(CLI::App& program);

}  // namespace scene
