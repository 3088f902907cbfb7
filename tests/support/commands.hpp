// The commands as tests call them: over the system's files, each call a run of its own, its
// messages told to the sink given.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "camera_file.hpp"
#include "duplicate.hpp"
#include "file_check.hpp"
#include "fix_wrls.hpp"
#include "list_preview.hpp"
#include "model_check.hpp"
#include "model_copy.hpp"
#include "model_repair.hpp"
#include "paths.hpp"
#include "placement_sources.hpp"

namespace scene {

void RunDuplicate(const DuplicateInputs& inputs, MessageSink& sink,
                  const DuplicateOptions& options = {});
void RunFixWrls(const FixInputs& inputs, MessageSink& sink);
void GenerateCameraFile(const std::string& folder, const std::string& name, MessageSink& sink);
std::optional<FileCheckResult> CheckPointFile(const std::string& folder, const std::string& name,
                                              MessageSink& sink);
std::vector<std::string> PreviewListFile(const std::string& folder, const std::string& name);
std::vector<Placement> ReadPlacements(const DuplicateInputs& inputs);
std::vector<std::string> ListMatchingFiles(const std::string& folder, std::string_view pattern);

ModelCheck CheckModel(const std::string& modelPath);
bool RepairTexCoordBlocks(const std::string& modelPath);
// The copy of the model at the copy path, committed.
void WriteCopy(const std::string& modelPath, const std::string& copyPath,
               const Placement& placement, std::string_view copyTag, StepFailures& failures);
// The whole text of a file.
std::string ReadWholeText(const std::string& path);

}  // namespace scene
