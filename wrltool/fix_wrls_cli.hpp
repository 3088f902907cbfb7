// vandrel-cli fix-wrls DIR    and    vandrel-cli preview FILE
#pragma once

#include "cli_command.hpp"

CliCommand AddFixWrlsCommand(CLI::App& program);
CliCommand AddPreviewCommand(CLI::App& program);
