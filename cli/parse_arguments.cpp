#include "parse_arguments.hpp"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "console_sink.hpp"
#include "platform.hpp"

namespace scene {

std::optional<int> ParseArguments(CLI::App& program, int argc, char** argv) {
    try {
        // CLI11 takes the arguments after the program's name, last first.
        std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
        arguments.erase(arguments.begin());
        std::reverse(arguments.begin(), arguments.end());
        program.parse(arguments);
    } catch (const CLI::Success& helpOrVersion) {
        return program.exit(helpOrVersion);
    } catch (const CLI::ParseError& error) {
        std::cerr << program.get_name() << ": " << error.what() << "\n\n" << program.help();
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace scene
