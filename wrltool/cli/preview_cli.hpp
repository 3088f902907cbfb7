// vandrel-cli preview FILE
#pragma once

#include "cli_program.hpp"

namespace scene {

CliCommand AddPreviewCommand(CLI::App& program);

}  // namespace scene
