#include "duplicate.hpp"

#include <vector>

#include "copy_rewriting.hpp"
#include "duplicate_files.hpp"
#include "failure.hpp"
#include "number_text.hpp"
#include "paths.hpp"
#include "placement_sources.hpp"
#include "platform.hpp"
#include "scene_index.hpp"
#include "strings.hpp"

namespace {

std::string StepFailuresText(const StepFailures& failures) {
    std::string text = "Some steps failed (" + std::to_string(failures.count) + "). First: ";
    text += failures.first->Description();
    if (!failures.first->Path().empty()) text += " (" + failures.first->Path() + ")";
    return text;
}

// The scene index beside the copies; one that would replace a copy of the run (and so inline
// itself) is a failed step.
void WriteScene(const DuplicateInputs& inputs, const DuplicateOptions& options,
                const SceneIndex& scene, DuplicateFiles& files, StepFailures& failures) {
    const std::string fileName = options.sceneName + ".wrl";
    const std::string path = JoinPath(OutputFolder(inputs), fileName);
    try {
        if (scene.Holds(fileName)) throw Failure(FailureKind::AccessFailure, path);
        files.WriteFile(path, scene.Text());
    } catch (const Failure& failure) {
        failures.Add(failure);
    }
}

}  // namespace

std::string IndexText(const Placement& placement) {
    return std::string(Trim(NumberText(placement.Index)));
}

std::string OutputFolder(const DuplicateInputs& inputs) {
    return JoinPath(inputs.WRLfolderPath, kOutputFolderName);
}

std::string ModelPath(const DuplicateInputs& inputs, const Placement& placement) {
    if (IsSet(inputs.Check1Value)) return JoinPath(inputs.WRLfolderPath, inputs.WRLfolderFileName);
    return JoinPath(inputs.WRLfolderPath, placement.Name + ".wrl");
}

std::string CopyPath(const DuplicateInputs& inputs, const Placement& placement) {
    const bool ownName = !IsSet(inputs.Check1Value) || IsSet(inputs.Check4Value);
    const std::string name = ownName ? placement.Name : BaseName(inputs.WRLfolderFileName);
    return JoinPath(OutputFolder(inputs), name + "_" + IndexText(placement) + ".wrl");
}

std::string CopyTag(const DuplicateInputs& inputs, const Placement& placement) {
    const std::string name =
        IsSet(inputs.Check1Value) ? BaseName(inputs.WRLfolderFileName) : placement.Name;
    return name + "_" + IndexText(placement);
}

bool IsModelListed(const DuplicateInputs& inputs, const Placement& placement) {
    const std::string wanted = platform::NameKey(placement.Name + ".wrl");
    for (const std::string& entry : inputs.WRLfolderList)
        if (platform::NameKey(entry) == wanted) return true;
    return false;
}

void RunDuplicate(const DuplicateInputs& inputs, MessageSink& sink,
                  const DuplicateOptions& options) {
    if (IsSet(inputs.Check2Value) && IsSet(inputs.Check4Value)) {
        sink.ShowMessage("Use MGP files and Manual Mode cannot both be set", MessageIcon::Error);
        return;
    }
    const std::vector<Placement> placements = ReadPlacements(inputs);
    const int total = static_cast<int>(placements.size());
    const std::unique_ptr<DuplicateFiles> files =
        options.dryRun ? DryRunFiles(sink) : RealFiles(sink);
    SceneIndex scene;

    // From the output folder on, a failed step is skipped and counted, never fatal.
    StepFailures failures;
    for (int i = 0; i < total; ++i) {
        sink.Progress(i, total);
        const Placement& placement = placements[i];
        const std::string modelPath = ModelPath(inputs, placement);
        try {
            files->CreateFolder(OutputFolder(inputs));
        } catch (const Failure&) {
            // As a rule the folder exists already: nothing to report.
        }
        const std::string copyPath = CopyPath(inputs, placement);

        if (!IsSet(inputs.Check1Value) && !IsModelListed(inputs, placement)) {
            sink.ShowMessage("WRL does not exist", MessageIcon::Error);
            break;
        }
        ModelCheck check;
        try {
            check = files->CheckModel(modelPath);
        } catch (const Failure&) {
            // A model that cannot be read counts as lacking the header.
        }
        if (!check.HasHeader || check.LfLineEnds) {
            sink.ShowMessage("invalid WRL file", MessageIcon::Error);
            break;
        }
        if (check.DefCount >= 2) {
            try {
                files->RepairModel(modelPath);
            } catch (const Failure& failure) {
                failures.Add(failure);
            }
        }
        try {
            files->WriteCopy(modelPath, copyPath, placement, CopyTag(inputs, placement), failures);
            if (!options.sceneName.empty()) scene.Add(NameOf(ResolveCase(copyPath)));
        } catch (const Failure& failure) {
            failures.Add(failure);
        }
    }
    if (!options.sceneName.empty() && total > 0)
        WriteScene(inputs, options, scene, *files, failures);
    if (failures.count > 0) sink.ShowMessage(StepFailuresText(failures), MessageIcon::Error);
    sink.ShowMessage("DONE", MessageIcon::None);
}
