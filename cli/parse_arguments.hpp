// Parsing a command-line program's arguments, with one reply to --help, --version and misuse.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>

namespace scene {

// Parses the arguments as the system gave them (on Windows from the wide command line, so that
// every name arrives as UTF-8). Empty when a command is to run; else the exit status: 0 after
// printing the help or the version, kExitUsage after printing the misuse with the program's name
// and the help.
std::optional<int> ParseArguments(CLI::App& program, int argc, char** argv);

}  // namespace scene
