#include "window_options.hpp"

#include <string_view>

namespace scene {

std::optional<int> AnswerTerminalOptions(int argc, char** argv, const char* name, const char* about,
                                         const char* cli, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            out << "Usage: " << name << " [--help] [--version]\n\n"
                << about
                << "\nOptions:\n"
                   "  -h, --help     print this help and exit\n"
                   "  --version      print the program's name and version and exit\n\n"
                   "Qt's own options, such as -platform NAME, are accepted too. The same commands "
                   "run\nwithout a window from "
                << cli << ".\n";
            return 0;
        }
        if (argument == "--version") {
            out << name << ' ' << SCENE_VERSION << '\n';
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace scene
