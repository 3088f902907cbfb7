#include "cli_program.hpp"

#include <iostream>
#include <optional>

#include "interrupt.hpp"
#include "parse_arguments.hpp"
#include "system.hpp"

namespace scene {

platform::FileSystem& CliSession::Files(bool dryRun, bool verbose, const std::string& fileVerb) {
    if (verbose) Record.ListWritten();
    if (!dryRun) return platform::SystemFileSystem();
    Record.TellDryRun(fileVerb);
    return Recording;
}

int RunCliProgram(int argc, char** argv, CLI::App& program,
                  const std::function<std::vector<CliCommand>(CLI::App&)>& addCommands) {
    EndProgramOnInterrupt();
    program.require_subcommand(1);
    const std::vector<CliCommand> commands = addCommands(program);
    if (std::optional<int> status = ParseArguments(program, argc, argv)) return *status;

    ConsoleSink sink(std::cout, std::cerr, platform::IsTerminal(stderr));
    ConsoleRecord record(sink);
    CliSession session{sink, record};
    for (const CliCommand& command : commands) {
        if (!command.Parser->parsed()) continue;
        RunReported(sink, [&] { command.Run(session); });
        record.PrintWritten();  // also the files written before a failure stopped the command
        return sink.ExitStatus();
    }
    return kExitUsage;
}

}  // namespace scene
