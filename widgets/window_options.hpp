// The two options a window program answers on the terminal instead of opening its window.
#pragma once

#include <optional>
#include <ostream>

// With --help (or -h) prints `usage`; with --version prints "NAME VERSION". Gives the exit
// status when it printed, nothing when the window is to open.
std::optional<int> AnswerTerminalOptions(int argc, char** argv, const char* name, const char* usage,
                                         std::ostream& out);
