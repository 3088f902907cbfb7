// The repair of a model's texture index blocks: the lines after each block's closer are blanked
// and a block closed at the end of the file gets its closing lines, rewritten in place.
#pragma once

#include <string>

#include "run_files.hpp"

namespace scene {

// Rewrites the model in place with its texture index blocks repaired, when what it holds still
// asks for it: the converter header, two named nodes or more, and a repair that changes it.
// From its reading to its replacing the model is locked against other rewrites, and a model
// another program changed while it was read is read again, so that the repair is decided from
// the content it replaces. True when the model was rewritten; it is either replaced whole or
// left as it was. Throws the failure when it cannot be read or written back, or keeps changing.
bool RepairTexCoordBlocks(RunFiles& files, const std::string& modelPath);

// Whether what the open model holds asks for the repair: the converter header, two named nodes
// or more, and a repair that would change it. Reads it from its start.
bool RepairWanted(platform::ReadableFile& model);

}  // namespace scene
