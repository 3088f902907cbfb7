#include "duplicate.hpp"

#include <algorithm>
#include <deque>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "copy_jobs.hpp"
#include "copy_rewriting.hpp"
#include "duplicate_files.hpp"
#include "failure.hpp"
#include "number_text.hpp"
#include "paths.hpp"
#include "placement_sources.hpp"
#include "platform.hpp"
#include "run_listings.hpp"
#include "scene_index.hpp"
#include "strings.hpp"

namespace scene {

namespace {

// The model list's names by their keys, to find a name ignoring letter case at once.
class ModelList {
  public:
    explicit ModelList(const std::vector<std::string>& names) {
        for (const std::string& name : names) keys_.insert(platform::NameKey(name));
    }
    bool Contains(const std::string& name) const { return keys_.contains(platform::NameKey(name)); }

  private:
    std::unordered_set<std::string> keys_;
};

// A model's check, and whether a repair would leave it as it is, kept while the file is
// unchanged: a run of many copies of one model reads it once per copy, not three times.
struct ModelState {
    std::optional<platform::FileStamp> Stamp;  // empty: to be checked
    ModelCheck Check;
    bool RepairSettled = false;

    void CheckAgainIfChanged(DuplicateFiles& files, const std::string& path) {
        const std::optional<platform::FileStamp> now = platform::StampOf(path);
        if (Stamp && now == Stamp) return;
        *this = ModelState{};
        try {
            Check = files.CheckModel(path);
            Stamp = now;
        } catch (const Failure&) {
            // A model that cannot be read counts as lacking the header.
        }
    }
};

// The files that the run's copies read and write, by identity (so that every spelling that
// may name one file counts): a copy may only run beside copies that neither write what it
// reads nor read or write what it writes.
class FilesInUse {
  public:
    // Notes a model read; true when a copy of this run wrote that file.
    bool Read(RunListings& listings, const std::string& path) {
        std::string key = platform::NameKey(listings.Identity(path));
        const bool written = written_.contains(key);
        read_.insert(std::move(key));
        return written;
    }
    // Notes a copy written; true when the run reads or writes that file elsewhere too.
    bool Written(RunListings& listings, const std::string& path) {
        std::string key = platform::NameKey(listings.Identity(path));
        return !written_.insert(key).second || read_.contains(key);
    }

  private:
    std::unordered_set<std::string> read_, written_;
};

std::string StepFailuresText(const StepFailures& failures) {
    std::string text = "Some steps failed (" + std::to_string(failures.Count) + "). First: ";
    text += failures.First->Description();
    if (!failures.First->Path().empty()) text += " (" + failures.First->Path() + ")";
    return text;
}

// The scene index beside the copies; one that would replace a copy of the run (and so inline
// itself) is a failed step.
void WriteScene(const DuplicateInputs& inputs, const DuplicateOptions& options,
                const SceneIndex& scene, DuplicateFiles& files, StepFailures& failures) {
    const std::string fileName = options.SceneName + ".wrl";
    const std::string path = JoinPath(OutputFolder(inputs), fileName);
    try {
        if (scene.Holds(fileName)) throw Failure(FailureKind::AccessFailure, path);
        files.WriteFile(path, scene.Text());
    } catch (const Failure& failure) {
        failures.Add(failure);
    }
}

// A copy handed to the jobs, as its placement's turn to finish comes: whether it was written.
struct PendingCopy {
    std::string Path;
    bool Written = false;  // set by the job; read once the job has finished
};

}  // namespace

std::string IndexText(const Placement& placement) {
    return std::string(Trim(NumberText(placement.Index)));
}

std::string OutputFolder(const DuplicateInputs& inputs) {
    return JoinPath(inputs.WRLfolderPath, kOutputFolderName);
}

std::string ModelPath(const DuplicateInputs& inputs, const Placement& placement) {
    if (UsesSelectedModel(inputs)) return JoinPath(inputs.WRLfolderPath, inputs.WRLfolderFileName);
    return JoinPath(inputs.WRLfolderPath, placement.Name + ".wrl");
}

std::string CopyPath(const DuplicateInputs& inputs, const Placement& placement) {
    const bool ownName = !UsesSelectedModel(inputs) || IsManualMode(inputs);
    const std::string name = ownName ? placement.Name : BaseName(inputs.WRLfolderFileName);
    return JoinPath(OutputFolder(inputs), name + "_" + IndexText(placement) + ".wrl");
}

std::string CopyTag(const DuplicateInputs& inputs, const Placement& placement) {
    const std::string name =
        UsesSelectedModel(inputs) ? BaseName(inputs.WRLfolderFileName) : placement.Name;
    return name + "_" + IndexText(placement);
}

bool IsModelListed(const DuplicateInputs& inputs, const Placement& placement) {
    return ModelList(inputs.WRLfolderList).Contains(placement.Name + ".wrl");
}

void RunDuplicate(const DuplicateInputs& inputs, MessageSink& sink,
                  const DuplicateOptions& options) {
    if (UsesMgpFile(inputs) && IsManualMode(inputs)) {
        sink.ShowMessage("Use MGP files and Manual Mode cannot both be set", MessageIcon::Error);
        return;
    }
    const std::vector<Placement> placements = ReadPlacements(inputs);
    const int total = static_cast<int>(placements.size());
    const std::unique_ptr<DuplicateFiles> files =
        options.DryRun ? DryRunFiles(sink) : RealFiles(sink);
    SceneIndex scene;

    RunListings listings;  // letter case resolved against one listing per folder
    const ModelList modelList(inputs.WRLfolderList);
    std::unordered_map<std::string, ModelState> models;  // by the model file's identity
    FilesInUse filesInUse;

    // From the output folder on, a failed step is skipped and counted, never fatal. Progress,
    // failures, the files written and the scene index follow the placements finished in order,
    // up to the one the loop has reached.
    StepFailures failures;
    std::deque<PendingCopy> pending;  // its elements stay in place while the jobs use them
    int reached = 0, finished = 0, shown = 0, written = 0;
    auto showProgress = [&] {
        while (shown <= std::min(finished, reached) && shown < total)
            sink.Progress(Work::WritingCopies, shown++, total);
    };
    // A dry run keeps its state on one thread: its copies are "written" at once, in order.
    CopyJobs copies(options.DryRun ? 1 : CopyJobCount(options.Jobs),
                    [&](const StepFailures& copyFailures) {
                        failures.Append(copyFailures);
                        const PendingCopy copy = std::move(pending.front());
                        pending.pop_front();
                        if (copy.Written) {
                            ++written;
                            files->CopyWritten(copy.Path);
                            if (!options.SceneName.empty())
                                scene.Add(NameOf(ResolveCase(copy.Path)));
                        }
                        ++finished;
                        showProgress();
                    });

    for (int i = 0; i < total; ++i) {
        reached = i;
        showProgress();
        if (sink.StopRequested()) {  // the copies in flight finish; nothing more is started
            copies.FinishAll();
            sink.ShowMessage(StoppedText(Work::WritingCopies, written, total), MessageIcon::None);
            return;
        }
        const Placement& placement = placements[static_cast<size_t>(i)];
        if (i == 0) {  // once: the folder made for the first placement serves them all
            try {
                files->CreateFolder(OutputFolder(inputs));
            } catch (const Failure&) {
                // As a rule the folder exists already: nothing to report.
            }
        }
        if (!UsesSelectedModel(inputs) && !modelList.Contains(placement.Name + ".wrl")) {
            copies.FinishAll();
            sink.ShowMessage("WRL does not exist", MessageIcon::Error);
            break;
        }
        // A model that a copy of this run wrote is read once that copy is written.
        const std::string modelPath = ModelPath(inputs, placement);
        if (filesInUse.Read(listings, modelPath)) copies.FinishAll();
        const std::string resolvedModel = ResolveCase(modelPath);
        ModelState& model = models[listings.Identity(resolvedModel)];
        model.CheckAgainIfChanged(*files, resolvedModel);
        if (!model.Check.HasHeader || model.Check.LfLineEnds) {
            copies.FinishAll();
            sink.ShowMessage("invalid WRL file", MessageIcon::Error);
            break;
        }
        StepFailures placementFailures;
        if (model.Check.DefCount >= 2 && !model.RepairSettled) {
            try {
                // The repaired model replaces the old one once no copy reads it any more.
                model.RepairSettled =
                    !files->RepairModel(modelPath, [&copies] { copies.FinishAll(); });
                if (!model.RepairSettled) model.Stamp.reset();  // to be checked again
            } catch (const Failure& failure) {
                placementFailures.Add(failure);
            }
        }
        // A copy that replaces a model of this run, or another copy, waits for the copies
        // before it.
        const std::string copyPath = CopyPath(inputs, placement);
        if (filesInUse.Written(listings, copyPath)) copies.FinishAll();
        PendingCopy& copy = pending.emplace_back(PendingCopy{copyPath});
        copies.Add(
            [&inputs, &placement, &files, &copy, modelPath](StepFailures& copyFailures) {
                try {
                    files->WriteCopy(modelPath, copy.Path, placement, CopyTag(inputs, placement),
                                     copyFailures);
                    copy.Written = true;
                } catch (const Failure& failure) {
                    copyFailures.Add(failure);
                }
            },
            std::move(placementFailures));
    }
    copies.FinishAll();
    if (!options.SceneName.empty() && total > 0)
        WriteScene(inputs, options, scene, *files, failures);
    if (failures.Count > 0) sink.ShowMessage(StepFailuresText(failures), MessageIcon::Error);
    sink.ShowMessage("DONE", MessageIcon::None);
}

}  // namespace scene
