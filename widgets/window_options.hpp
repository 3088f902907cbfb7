// The two options a window program answers on the terminal instead of opening its window.
#pragma once

#include <optional>
#include <ostream>

namespace scene {

// With --help (or -h) prints the usage: what the window does (`about`, whole lines), the two
// options, and the command-line program `cli` that runs the same commands. With --version
// prints "NAME VERSION". Gives the exit status when it printed, nothing when the window is to
// open.
std::optional<int> AnswerTerminalOptions(int argc, char** argv, const char* name, const char* about,
                                         const char* cli, std::ostream& out);

}  // namespace scene
