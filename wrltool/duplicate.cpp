#include "duplicate.hpp"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "copy_jobs.hpp"
#include "copy_rewriting.hpp"
#include "failure.hpp"
#include "number_text.hpp"
#include "paths.hpp"
#include "placement_sources.hpp"
#include "platform.hpp"
#include "run_listings.hpp"
#include "strings.hpp"

namespace {

// The model list's names in capitals, to find a name ignoring letter case at once.
class ModelList {
  public:
    explicit ModelList(const std::vector<std::string>& names) {
        for (const std::string& name : names) upperNames_.insert(UpperCase(name));
    }
    bool Contains(const std::string& name) const { return upperNames_.contains(UpperCase(name)); }

  private:
    std::unordered_set<std::string> upperNames_;
};

// A model's check, and whether a repair would leave it as it is, kept while the file is
// unchanged: a run of many copies of one model reads it once per copy, not three times.
struct ModelState {
    std::optional<platform::FileStamp> stamp;  // empty: to be checked
    ModelCheck check;
    bool repairSettled = false;

    void CheckAgainIfChanged(const std::string& path) {
        const std::optional<platform::FileStamp> now = platform::StampOf(path);
        if (stamp && now == stamp) return;
        *this = ModelState{};
        try {
            check = CheckModel(path);
            stamp = now;
        } catch (const Failure&) {
            // A model that cannot be read counts as lacking the header.
        }
    }
};

// The files that the run's copies read and write, by identity in capitals (so that every
// spelling that may name one file counts): a copy may only run beside copies that neither
// write what it reads nor read or write what it writes.
class FilesInUse {
  public:
    // Notes a model read; true when a copy of this run wrote that file.
    bool Read(RunListings& listings, const std::string& path) {
        std::string key = UpperCase(listings.Identity(path));
        const bool written = written_.contains(key);
        read_.insert(std::move(key));
        return written;
    }
    // Notes a copy written; true when the run reads or writes that file elsewhere too.
    bool Written(RunListings& listings, const std::string& path) {
        std::string key = UpperCase(listings.Identity(path));
        return !written_.insert(key).second || read_.contains(key);
    }

  private:
    std::unordered_set<std::string> read_, written_;
};

std::string StepFailuresText(const StepFailures& failures) {
    std::string text = "Some steps failed (" + std::to_string(failures.count) + "). First: ";
    text += failures.first->Description();
    if (!failures.first->Path().empty()) text += " (" + failures.first->Path() + ")";
    return text;
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

void RunDuplicate(const DuplicateInputs& inputs, MessageSink& sink, int jobs) {
    if (IsSet(inputs.Check2Value) && IsSet(inputs.Check4Value)) {
        sink.ShowMessage("Use MGP files and Manual Mode cannot both be set", MessageIcon::Error);
        return;
    }
    const std::vector<Placement> placements = ReadPlacements(inputs);
    const int total = static_cast<int>(placements.size());

    RunListings listings;  // letter case resolved against one listing per folder
    const ModelList modelList(inputs.WRLfolderList);
    std::unordered_map<std::string, ModelState> models;  // by the model file's identity
    FilesInUse files;

    // From the output folder on, a failed step is skipped and counted, never fatal. Progress
    // counts the placements finished in order, up to the one the loop has reached.
    StepFailures failures;
    int reached = 0, finished = 0, shown = 0;
    auto showProgress = [&] {
        while (shown <= std::min(finished, reached) && shown < total) sink.Progress(shown++, total);
    };
    CopyJobs copies(CopyJobCount(jobs), [&](const StepFailures& copyFailures) {
        failures.Append(copyFailures);
        ++finished;
        showProgress();
    });

    for (int i = 0; i < total; ++i) {
        reached = i;
        showProgress();
        const Placement& placement = placements[i];
        if (i == 0) {  // once: the folder made for the first placement serves them all
            try {
                platform::CreateFolder(OutputFolder(inputs));
            } catch (const Failure&) {
                // As a rule the folder exists already: nothing to report.
            }
        }
        if (!IsSet(inputs.Check1Value) && !modelList.Contains(placement.Name + ".wrl")) {
            copies.FinishAll();
            sink.ShowMessage("WRL does not exist", MessageIcon::Error);
            break;
        }
        // A model that a copy of this run wrote is read once that copy is written.
        const std::string namedModel = ModelPath(inputs, placement);
        if (files.Read(listings, namedModel)) copies.FinishAll();
        const std::string modelPath = ResolveCase(namedModel);
        ModelState& model = models[listings.Identity(modelPath)];
        model.CheckAgainIfChanged(modelPath);
        if (!model.check.HasHeader) {
            copies.FinishAll();
            sink.ShowMessage("invalid WRL file", MessageIcon::Error);
            break;
        }
        StepFailures placementFailures;
        if (model.check.DefCount >= 2 && !model.repairSettled) {
            try {
                // The repaired model replaces the old one once no copy reads it any more.
                model.repairSettled =
                    !RepairTexCoordBlocks(modelPath, [&copies] { copies.FinishAll(); });
                if (!model.repairSettled) model.stamp.reset();  // to be checked again
            } catch (const Failure& failure) {
                placementFailures.Add(failure);
            }
        }
        // A copy that replaces a model of this run, or another copy, waits for the copies
        // before it.
        const std::string namedCopy = CopyPath(inputs, placement);
        if (files.Written(listings, namedCopy)) copies.FinishAll();
        const std::string copyPath = ResolveCase(namedCopy);
        copies.Add(
            [&inputs, &placement = placements[i], modelPath, copyPath](StepFailures& copyFailures) {
                try {
                    WriteCopy(modelPath, copyPath, placement, CopyTag(inputs, placement),
                              copyFailures);
                } catch (const Failure& failure) {
                    copyFailures.Add(failure);
                }
            },
            std::move(placementFailures));
    }
    copies.FinishAll();
    if (failures.count > 0) sink.ShowMessage(StepFailuresText(failures), MessageIcon::Error);
    sink.ShowMessage("DONE", MessageIcon::None);
}
