// Parsing a command-line program's arguments, with one reply to --help, --version and misuse.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

namespace scene {

// Parses the arguments as the system gave them (on Windows from the wide command line, so that
// every name arrives as UTF-8). Empty when a command is to run; else the exit status: 0 after
// printing the help or the version, kExitUsage after printing the misuse with the program's name
// and the help.
std::optional<int> ParseArguments(CLI::App& program, int argc, char** argv);

// The same for the arguments after the program's name. An argument that begins with "/" is
// always a value (a path), never an option; with `windowsArguments`, "/?" anywhere prints the
// usage of the command named before it, as --help would there.
std::optional<int> ParseArguments(CLI::App& program, std::vector<std::string> arguments,
                                  bool windowsArguments);

}  // namespace scene
