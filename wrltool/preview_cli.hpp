// vandrel-cli preview FILE
#pragma once

#include "cli_command.hpp"

namespace scene {

CliCommand AddPreviewCommand(CLI::App& program);

}  // namespace scene
