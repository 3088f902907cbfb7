// vandrel-cli: the WRL placement tool's commands without a window, for scripts.
#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>
#include <vector>

#include "console_sink.hpp"
#include "duplicate_cli.hpp"
#include "fix_wrls_cli.hpp"
#include "interrupt.hpp"
#include "parse_arguments.hpp"
#include "platform.hpp"
#include "preview_cli.hpp"

int main(int argc, char** argv) {
    using namespace scene;
    EndProgramOnInterrupt();
    CLI::App program("The WRL placement tool's commands without a window.", "vandrel-cli");
    program.require_subcommand(1);
    program.set_version_flag("--version", "vandrel-cli " SCENE_VERSION);
    const std::vector<CliCommand> commands = {
        AddDuplicateCommand(program), AddFixWrlsCommand(program), AddPreviewCommand(program)};
    if (std::optional<int> status = ParseArguments(program, argc, argv)) return *status;

    ConsoleSink sink(std::cout, std::cerr, platform::IsTerminal(stderr));
    for (const CliCommand& command : commands) {
        if (!command.Parser->parsed()) continue;
        sink.ListWrittenFiles(command.Verbose && *command.Verbose);
        return RunReporting(sink, command.Run);
    }
    return kExitUsage;
}
