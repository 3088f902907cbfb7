#include "parse_arguments.hpp"

#include <algorithm>
#include <functional>
#include <iostream>

#include "console_sink.hpp"
#include "system.hpp"

namespace scene {

namespace {

// No option of the command or of its subcommands begins with "/" (the parser's Windows style):
// "/scenes/models" is a folder.
void TakeSlashAsValue(CLI::App& command) {
    command.allow_windows_style_options(false);
    for (CLI::App* sub : command.get_subcommands([](CLI::App*) { return true; }))
        TakeSlashAsValue(*sub);
}

// Up to a "/?": the arguments that name the subcommands before it, then "--help".
std::vector<std::string> AskingForTheUsage(CLI::App& program, std::vector<std::string> arguments) {
    const auto ask = std::find(arguments.begin(), arguments.end(), "/?");
    if (ask == arguments.end()) return arguments;
    std::vector<std::string> request;
    CLI::App* command = &program;
    for (auto it = arguments.begin(); it != ask; ++it) {
        const std::string& name = *it;
        std::vector<CLI::App*> named = command->get_subcommands(
            [&](CLI::App* sub) { return !sub->get_name().empty() && sub->check_name(name); });
        if (named.empty()) continue;
        command = named.front();
        request.push_back(name);
    }
    request.push_back("--help");
    return request;
}

}  // namespace

std::optional<int> ParseArguments(CLI::App& program, std::vector<std::string> arguments,
                                  bool windowsArguments) {
    TakeSlashAsValue(program);
    if (windowsArguments) arguments = AskingForTheUsage(program, std::move(arguments));
    try {
        std::reverse(arguments.begin(), arguments.end());  // CLI11 takes them last first
        program.parse(arguments);
    } catch (const CLI::Success& helpOrVersion) {
        return program.exit(helpOrVersion);
    } catch (const CLI::ParseError& error) {
        std::cerr << program.get_name() << ": " << error.what() << "\n\n" << program.help();
        return kExitUsage;
    }
    return std::nullopt;
}

std::optional<int> ParseArguments(CLI::App& program, int argc, char** argv) {
    std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
    arguments.erase(arguments.begin());  // the program's name
    return ParseArguments(program, std::move(arguments), platform::kWindowsArguments);
}

}  // namespace scene
