// What both command-line programs share: their subcommands, parsed from the arguments as the
// system gives them, run and reported, and the exit status they add up to.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <vector>

#include "console_record.hpp"
#include "console_sink.hpp"
#include "recording_file_system.hpp"

namespace scene {

// What a subcommand reports through: messages and progress, and the record of what it wrote.
struct CliSession {
    ConsoleSink& Messages;
    ConsoleRecord& Record;
    RecordingFileSystem Recording{platform::SystemFileSystem()};

    // The file system the subcommand works on: the system's; with `dryRun` Recording, whose run
    // the record prints as a dry run (a file written outside a placement as `fileVerb` PATH).
    // With `verbose` the record lists every file written.
    platform::FileSystem& Files(bool dryRun, bool verbose, const std::string& fileVerb);
};

// One subcommand: its parser, and its work once parsed, which throws the failure that stops it.
struct CliCommand {
    CLI::App* Parser = nullptr;
    std::function<void(CliSession&)> Run;
};

// The whole of a command-line program: interrupts watched, the arguments parsed, the parsed
// subcommand run with its failure reported, the files it wrote listed when asked; gives the
// exit status. `commands` are added to `program` by `addCommands`, after the interrupts are
// watched and before anything is parsed.
int RunCliProgram(int argc, char** argv, CLI::App& program,
                  const std::function<std::vector<CliCommand>(CLI::App&)>& addCommands);

}  // namespace scene
