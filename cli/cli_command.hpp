// One subcommand of a command-line program: its CLI11 parser and what it runs once parsed.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>

#include "messages.hpp"

namespace scene {

struct CliCommand {
    CLI::App* Parser = nullptr;
    // Runs with the parsed arguments; throws the failure that stops the command.
    std::function<void(MessageSink&)> Run;
    // Set by --verbose where the command has it: list every file written after the messages.
    std::shared_ptr<bool> Verbose = nullptr;
};

}  // namespace scene
