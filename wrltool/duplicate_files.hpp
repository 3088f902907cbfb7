// The steps of Duplicate that touch files: done for real, or, in a dry run, only told.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "copy_rewriting.hpp"
#include "messages.hpp"
#include "placement.hpp"
#include "platform.hpp"
#include "text_writer.hpp"

namespace scene {

class RunFolders;

// A model's check and the stamp of the very file that was checked.
struct CheckedModel {
    ModelCheck Check;
    std::optional<platform::FileStamp> Stamp;
};

// One placement's copy as the run asks for it.
struct CopyOrder {
    int Index = 0;                                  // the placement's position in the list
    std::string ModelPath;                          // letter case resolved
    std::optional<platform::FileStamp> ModelStamp;  // of the model file that passed the check
    std::string CopyPath;
    const Placement* Place = nullptr;
    std::string Tag;
};

// A copy written to its temporary file, waiting for its placement's turn to take its final
// name; or what kept it from being written.
struct PreparedCopy {
    enum class Outcome {
        Written,           // ready to commit (in a dry run: nothing to commit)
        Failed,            // not written; the failure is in Failures
        ModelInvalid,      // the model opened is not the one checked and fails the check
        ModelNeedsRepair,  // the model opened is not the one checked and must be repaired first
    };
    int Index = 0;
    std::string ModelPath, CopyPath;  // as the order gave them
    Outcome State = Outcome::Written;
    std::unique_ptr<TextFileWriter> Copy;  // a real run's written copy
    StepFailures Failures;                 // steps of this placement that failed
    std::optional<Failure> ModelFailure;   // ModelInvalid: why the model could not be read
};

// Whether a check lets a model be copied: the converter header, and lines ending in CR LF.
inline bool IsCopyable(const ModelCheck& check) {
    return check.HasHeader && !check.LfLineEnds;
}

class DuplicateFiles {
  public:
    virtual ~DuplicateFiles() = default;
    // Throws the failure when the folder cannot be created (also when it exists).
    virtual void CreateFolder(const std::string& path) = 0;
    // Throws the failure when the model cannot be opened or read.
    virtual CheckedModel CheckModel(const std::string& modelPath) = 0;
    // RepairTexCoordBlocks; true when the model was repaired (false when the repair would leave
    // it as it is). Throws the failure when the model cannot be written back.
    virtual bool RepairModel(const std::string& modelPath) = 0;
    // Writes the copy to its temporary file from the model the order names, which must be the
    // one checked: a model opened with another stamp is checked again first. Real files may be
    // prepared on several threads at once; throws nothing but what is no Failure.
    virtual PreparedCopy PrepareCopy(const CopyOrder& order) = 0;
    // Gives a written copy its final name; on the run's thread, in placement order. Throws the
    // failure when it cannot.
    virtual void Commit(PreparedCopy& copy) = 0;
    // Writes the text as the whole file; throws the failure when it cannot.
    virtual void WriteFile(const std::string& path, std::string_view text) = 0;
};

// Files created and written; the sink hears of each file written.
std::unique_ptr<DuplicateFiles> RealFiles(MessageSink& sink, RunFolders& run);

// Nothing created or written. The sink hears, as a dry run's lines, of each file that would be
// written and each step that would fail. Later steps see the folders and the repaired models
// that earlier ones would have made.
std::unique_ptr<DuplicateFiles> DryRunFiles(MessageSink& sink, RunFolders& run);

}  // namespace scene
