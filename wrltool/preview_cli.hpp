// vandrel-cli preview FILE
#pragma once

#include "cli_command.hpp"

CliCommand AddPreviewCommand(CLI::App& program);
