// The Duplicate command: one placed copy of a model for every placement, written into the
// folder "newwrls" beneath the model folder.
#pragma once

#include <string>
#include <string_view>

#include "base_name.hpp"
#include "duplicate_inputs.hpp"
#include "messages.hpp"
#include "placement.hpp"

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

// True when Name & ".wrl" equals an entry of the model list ignoring letter case.
bool IsModelListed(const DuplicateInputs& inputs, const Placement& placement);

// What the command-line program adds to the window's command.
struct DuplicateOptions {
    // Nothing is created or written: the sink hears of each file the run would write and each
    // step that would fail, among the same messages. A dry run works on one thread.
    bool DryRun = false;
    // When set, the run also writes OUTPUT_FOLDER/NAME.wrl inlining every copy it wrote.
    std::string SceneName;
    // Copies written at once (0: one per core); files, messages and progress are the same for
    // every count.
    int Jobs = 1;
};

// Runs the command and shows its messages. Throws the failure when the placements cannot be
// read (nothing is made then); from the output folder on, failed steps are counted and
// reported in one message before "DONE". A stop (MessageSink::StopRequested) lets the copies
// under way finish, begins none after them and ends with "Stopped: N of M copies written".
// Whatever ends the run at a placement leaves no copy of a later one.
void RunDuplicate(const DuplicateInputs& inputs, MessageSink& sink,
                  const DuplicateOptions& options = {});

}  // namespace scene
