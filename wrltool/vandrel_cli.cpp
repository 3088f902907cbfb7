// vandrel-cli: the WRL placement tool's commands without a window, for scripts.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <vector>

#include "console_sink.hpp"
#include "duplicate_cli.hpp"
#include "fix_wrls_cli.hpp"
#include "interrupt.hpp"
#include "platform.hpp"
#include "preview_cli.hpp"

int main(int argc, char** argv) {
    EndProgramOnInterrupt();
    CLI::App program("The WRL placement tool's commands without a window.", "vandrel-cli");
    program.require_subcommand(1);
    program.set_version_flag("--version", "vandrel-cli " SCENE_VERSION);
    const std::vector<CliCommand> commands = {
        AddDuplicateCommand(program), AddFixWrlsCommand(program), AddPreviewCommand(program)};

    try {
        // CLI11 takes the arguments after the program's name, last first.
        std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
        arguments.erase(arguments.begin());
        std::reverse(arguments.begin(), arguments.end());
        program.parse(arguments);
    } catch (const CLI::Success& helpOrVersion) {
        return program.exit(helpOrVersion);
    } catch (const CLI::ParseError& error) {
        std::cerr << "vandrel-cli: " << error.what() << "\n\n" << program.help();
        return kExitUsage;
    }

    ConsoleSink sink(std::cout, std::cerr, platform::IsTerminal(stderr));
    for (const CliCommand& command : commands) {
        if (!command.Parser->parsed()) continue;
        sink.ListWrittenFiles(command.Verbose && *command.Verbose);
        return RunReporting(sink, command.Run);
    }
    return kExitUsage;
}
