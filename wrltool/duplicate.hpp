// The Duplicate command: one placed copy of a model for every placement, written into the
// folder "newwrls" beneath the model folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base_name.hpp"
#include "duplicate_inputs.hpp"
#include "placement.hpp"
#include "run_context.hpp"

namespace scene {

inline constexpr std::string_view kOutputFolderName = "newwrls";

// The placement's Index as NumberText without blanks: 3 gives "3".
std::string IndexText(const Placement& placement);

std::string OutputFolder(const DuplicateInputs& inputs);
// The selected model with "Use selected WRL", else the model the placement names.
std::string ModelPath(const DuplicateInputs& inputs, const Placement& placement);
std::string CopyPath(const DuplicateInputs& inputs, const Placement& placement);
// The name the copy's top node carries. In manual mode with "Use selected WRL" the copy file
// is named after the manual Name while its node is named after the model file.
std::string CopyTag(const DuplicateInputs& inputs, const Placement& placement);

// What the command-line program adds to the window's command.
struct DuplicateOptions {
    // When set, the run also writes OUTPUT_FOLDER/NAME.wrl inlining every copy it wrote.
    std::string SceneName;
    // Copies written at once (0: one per core); files, messages and progress are the same for
    // every count.
    int Jobs = 1;
};

// Runs the command and shows its messages; tells the run's record each placement's outcome in
// placement order. Throws the failure when the placements cannot be read (nothing is made
// then); from the output folder on, failed steps are counted and reported in one message
// before "DONE". A stop lets the copies under way finish, begins none after them and ends with
// "Stopped: N of M copies written". Whatever ends the run at a placement leaves no copy of a
// later one. Over a recording file system this is the dry run.
void RunDuplicate(RunContext& run, const DuplicateInputs& inputs,
                  const DuplicateOptions& options = {});
// The run from its output folder on, over placements read before.
void RunDuplicate(RunContext& run, const DuplicateInputs& inputs,
                  const std::vector<Placement>& placements, const DuplicateOptions& options);
// Shows the error message and gives true when the inputs set both MGP and manual mode, which
// the window never lets happen.
bool RejectsBothModes(RunContext& run, const DuplicateInputs& inputs);

}  // namespace scene
