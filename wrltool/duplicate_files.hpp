// The steps of Duplicate that touch files: done for real, or, in a dry run, only told.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "copy_rewriting.hpp"
#include "messages.hpp"
#include "placement.hpp"

namespace scene {

class DuplicateFiles {
  public:
    virtual ~DuplicateFiles() = default;
    // Throws the failure when the folder cannot be created (also when it exists).
    virtual void CreateFolder(const std::string& path) = 0;
    virtual ModelCheck CheckModel(const std::string& modelPath) = 0;
    // RepairTexCoordBlocks, `beforeReplacing` and all; true when the model was repaired (false
    // when the repair would leave it as it is). Throws the failure when the model cannot be
    // written back.
    virtual bool RepairModel(const std::string& modelPath,
                             const std::function<void()>& beforeReplacing) = 0;
    // WriteCopy, failures and all. Real files may be written on several threads at once.
    virtual void WriteCopy(const std::string& modelPath, const std::string& copyPath,
                           const Placement& placement, std::string_view copyTag,
                           StepFailures& failures) = 0;
    // Called on the run's thread, in placement order, for each copy WriteCopy wrote.
    virtual void CopyWritten(const std::string& copyPath) = 0;
    // Writes the text as the whole file; throws the failure when it cannot.
    virtual void WriteFile(const std::string& path, std::string_view text) = 0;
};

// Files created and written; the sink hears of each file written.
std::unique_ptr<DuplicateFiles> RealFiles(MessageSink& sink);

// Nothing created or written. The sink hears, as a dry run's lines, of each file that would be
// written and each step that would fail. Later steps see the folders and the repaired models
// that earlier ones would have made.
std::unique_ptr<DuplicateFiles> DryRunFiles(MessageSink& sink);

}  // namespace scene
