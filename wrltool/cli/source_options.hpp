// The options that say what a Duplicate run reads, shared by `duplicate` and `plan`: the model
// folder, the selected model and the placement source.
#pragma once

#include <CLI/CLI.hpp>
#include <array>
#include <string>

#include "duplicate_inputs.hpp"
#include "file_system.hpp"

namespace scene {

struct SourceOptions {
    std::string Models;
    std::string Selected;
    std::string Tso;
    std::string Mgp;
    std::string Orientation;
    std::array<std::string, 5> Manual;  // NAME X Y Z ORIENT
    CLI::Option* SelectedOption = nullptr;
    CLI::Option* MgpOption = nullptr;
    CLI::Option* OrientationOption = nullptr;
    CLI::Option* ManualOption = nullptr;
};

// Adds --models, --use-selected, --tso | --mgp [--orientation] | --manual to the subcommand.
void AddSourceOptions(CLI::App& command, SourceOptions& options);

// The control values the window would hold; listing the model folder may fail.
DuplicateInputs ToInputs(platform::FileSystem& files, const SourceOptions& options);

}  // namespace scene
