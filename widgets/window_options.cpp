#include "window_options.hpp"

#include <string_view>

std::optional<int> AnswerTerminalOptions(int argc, char** argv, const char* name, const char* usage,
                                         std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            out << usage;
            return 0;
        }
        if (argument == "--version") {
            out << name << ' ' << SCENE_VERSION << '\n';
            return 0;
        }
    }
    return std::nullopt;
}
