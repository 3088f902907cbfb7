// vandrel-cli fix-wrls DIR
#pragma once

#include "cli_command.hpp"

CliCommand AddFixWrlsCommand(CLI::App& program);
