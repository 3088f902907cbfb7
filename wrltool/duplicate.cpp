#include "duplicate.hpp"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "duplicate_files.hpp"
#include "failure.hpp"
#include "number_text.hpp"
#include "ordered_jobs.hpp"
#include "paths.hpp"
#include "placement_sources.hpp"
#include "platform.hpp"
#include "run_folders.hpp"
#include "scene_index.hpp"
#include "strings.hpp"

namespace scene {

namespace {

// A model whose file keeps changing under the run is, after this many new starts, taken for
// one that cannot be read.
constexpr int kMaxRestarts = 8;

// Copies of smaller models are written on the run's own thread: such a copy is little more than
// a few system calls on one folder, which another thread would only wait for.
constexpr uint64_t kThreadedCopyBytes = 4096;

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

// A model's check, and whether a repair would leave it as it is, kept for the run: each copy
// makes sure that the file it opened is the one checked (PrepareCopy), so a run of many copies
// of one model reads it once per copy, not three times.
struct ModelState {
    std::optional<platform::FileStamp> Stamp;  // of the file checked; empty: to be checked
    ModelCheck Check;
    std::optional<Failure> Unreadable;  // why it could not be checked
    bool RepairSettled = false;
};

// The files that the run's copies read and write, by identity (so that every spelling that
// may name one file counts): a copy may only run beside copies that neither write what it
// reads nor read or write what it writes.
class FilesInUse {
  public:
    // Notes a model read; true when a copy of this run wrote that file.
    bool Read(RunFolders& folders, const std::string& path) {
        std::string key = platform::NameKey(folders.Identity(path));
        const bool written = written_.contains(key);
        read_.insert(std::move(key));
        return written;
    }
    // Notes a copy written; true when the run reads or writes that file elsewhere too.
    bool Written(RunFolders& folders, const std::string& path) {
        std::string key = platform::NameKey(folders.Identity(path));
        return !written_.insert(key).second || read_.contains(key);
    }

  private:
    std::unordered_set<std::string> read_, written_;
};

std::string StepFailuresText(const StepFailures& failures, const std::optional<Failure>& root) {
    const Failure& first = root ? *root : *failures.First;
    std::string text = "Some steps failed (" + std::to_string(failures.Count) + "). First: ";
    text += first.Description();
    if (!first.Path().empty()) text += " (" + first.Path() + ")";
    return text;
}

// What a problem message says of its model: the path, and why it could not be read.
std::string ProblemDetail(const std::optional<Failure>& unreadable, const std::string& path) {
    return unreadable ? unreadable->PathAndReason() : path;
}

// One Duplicate run from its output folder on. It owns all the run keeps: the model checks,
// the folders' listings, the copies under way and their commits in placement order. Copies
// are written on several threads, but each takes its final name only once every earlier
// placement's copy has taken its own or failed; what ends the run at a placement (a message, a
// stop, a run-time error) so leaves no copy of a later one.
class DuplicateRun {
  public:
    DuplicateRun(const DuplicateInputs& inputs, MessageSink& sink, const DuplicateOptions& options,
                 std::vector<Placement> placements)
        : inputs_(inputs),
          sink_(sink),
          options_(options),
          placements_(std::move(placements)),
          total_(static_cast<int>(placements_.size())),
          files_(options.DryRun ? DryRunFiles(sink, folders_) : RealFiles(sink, folders_)),
          modelList_(inputs.WRLfolderList),
          // A dry run keeps its state on one thread: its copies are "written" at once, in order.
          jobs_(options.DryRun ? 1 : JobCount(options.Jobs, total_),
                [this](PreparedCopy copy) { Finished(std::move(copy)); }) {}

    void Run() {
        for (bool going = true; going;) {
            if (next_ == total_) jobs_.FinishAll();  // the last copies' turns
            if (halt_) {
                going = Resume();
            } else if (next_ == total_) {
                break;
            } else {
                ShowProgress();
                if (sink_.StopRequested()) return Stop();
                if (!folderTried_) CreateOutputFolder();  // made once, it serves every placement
                going = Place(next_);
                if (!halt_) ++next_;
            }
        }
        Report();
    }

  private:
    // A copy that came back from the jobs ends the run at its placement, or starts it again
    // there (its model changed and must be repaired first).
    struct Halt {
        int At = 0;
        bool Restart = false;
        std::string ModelPath;
        std::optional<Failure> Unreadable;
    };

    void CreateOutputFolder() {
        folderTried_ = true;
        try {
            files_->CreateFolder(OutputFolder(inputs_));
        } catch (const Failure& failure) {
            // As a rule the folder exists already: nothing to report. Any other reason is the
            // root of the copies' failures.
            if (!platform::IsDirectory(failure.Path())) folderFailure_ = failure;
        }
    }

    // The steps of one placement up to handing its copy to the jobs; false when a message
    // ended the loop.
    bool Place(int i) {
        const Placement& placement = placements_[static_cast<size_t>(i)];
        const std::string modelPath = ModelPath(inputs_, placement);
        if (!UsesSelectedModel(inputs_) && !modelList_.Contains(placement.Name + ".wrl"))
            return EndWith("WRL does not exist", modelPath);
        // A model that a copy of this run wrote is read once that copy is committed.
        if (filesInUse_.Read(folders_, modelPath) && !FinishJobs()) return true;
        const std::string resolved = ResolveCase(modelPath, &folders_);
        ModelState& model = models_[folders_.Identity(resolved)];
        if (!IsCopyable(model, resolved))
            return EndWith("invalid WRL file", ProblemDetail(model.Unreadable, resolved));
        StepFailures placementFailures;
        if (model.Check.DefCount >= 2 && !model.RepairSettled) {
            if (!FinishJobs()) return true;  // no copy reads the model while it is rewritten
            Repair(model, modelPath, placementFailures);
            if (!IsCopyable(model, resolved))
                return EndWith("invalid WRL file", ProblemDetail(model.Unreadable, resolved));
        }
        const std::string copyPath = CopyPath(inputs_, placement);
        // A copy that replaces a model of this run, or another copy, waits for those before it.
        if (filesInUse_.Written(folders_, copyPath) && !FinishJobs()) return true;
        HandIn({i, resolved, model.Stamp, copyPath, &placement, CopyTag(inputs_, placement)},
               std::move(placementFailures), model.Check.Bytes >= kThreadedCopyBytes);
        return true;
    }

    // Whether the model, checked when it was not yet or has changed since, may be copied.
    bool IsCopyable(ModelState& model, const std::string& path) {
        if (!model.Stamp) {
            model = ModelState{};
            try {
                CheckedModel checked = files_->CheckModel(path);
                model.Check = checked.Check;
                model.Stamp = checked.Stamp;
            } catch (const Failure& failure) {
                model.Unreadable = failure;  // counts as lacking the header
            }
        }
        return !model.Unreadable && scene::IsCopyable(model.Check);
    }

    void Repair(ModelState& model, const std::string& modelPath, StepFailures& failures) {
        try {
            model.RepairSettled = !files_->RepairModel(modelPath);
            if (!model.RepairSettled) model.Stamp.reset();  // to be checked again
        } catch (const Failure& failure) {
            failures.Add(failure);
        }
    }

    void HandIn(CopyOrder order, StepFailures before, bool threaded) {
        auto job = [this, order = std::move(order), before = std::move(before)]() mutable {
            PreparedCopy copy = files_->PrepareCopy(order);
            before.Append(copy.Failures);
            copy.Failures = std::move(before);
            return copy;
        };
        if (threaded)
            jobs_.Add(std::move(job));
        else
            jobs_.RunHere(std::move(job));
    }

    // A copy's turn, on the run's thread in placement order.
    void Finished(PreparedCopy copy) {
        if (halt_ && copy.Index > halt_->At) return;  // dropped: its temporary file goes
        using Outcome = PreparedCopy::Outcome;
        if (copy.State == Outcome::ModelInvalid || copy.State == Outcome::ModelNeedsRepair) {
            halt_ = Halt{copy.Index, copy.State == Outcome::ModelNeedsRepair, copy.ModelPath,
                         copy.ModelFailure};
            return;
        }
        failures_.Append(copy.Failures);
        if (copy.State == Outcome::Written) {
            try {
                files_->Commit(copy);
                ++written_;
                if (!options_.SceneName.empty())
                    scene_.Add(NameOf(ResolveCase(copy.CopyPath, &folders_)));
            } catch (const Failure& failure) {
                failures_.Add(failure);
            }
        }
        ++finished_;
        ShowProgress();
    }

    // Waits for every copy handed in; false when one of them halted the run.
    bool FinishJobs() {
        jobs_.FinishAll();
        return !halt_;
    }

    bool EndWith(const std::string& message, const std::string& detail) {
        if (!FinishJobs()) return true;  // an earlier placement ends or restarts the run
        sink_.ShowFileProblem(message, detail);
        return false;
    }

    // After a halt: the copies of later placements are dropped. False when the run ends.
    bool Resume() {
        const Halt halt = std::move(*halt_);
        jobs_.DropQueued();
        jobs_.FinishAll();
        halt_.reset();
        if (halt.Restart && ++restarts_ <= kMaxRestarts) {
            next_ = halt.At;
            models_.clear();  // a model changed under the run: each is checked again
            return true;
        }
        sink_.ShowFileProblem("invalid WRL file", ProblemDetail(halt.Unreadable, halt.ModelPath));
        return false;
    }

    // The copies under way finish; none is begun after them.
    void Stop() {
        jobs_.DropQueued();
        jobs_.FinishAll();
        sink_.ShowMessage(StoppedText(Work::WritingCopies, written_, total_), MessageIcon::None);
    }

    void ShowProgress() {
        while (shown_ <= std::min(finished_, next_) && shown_ < total_)
            sink_.Progress(Work::WritingCopies, shown_++, total_);
    }

    // The scene index beside the copies; one that would replace a copy of the run (and so
    // inline itself) is a failed step.
    void WriteScene() {
        const std::string fileName = options_.SceneName + ".wrl";
        const std::string path = JoinPath(OutputFolder(inputs_), fileName);
        try {
            if (scene_.Holds(fileName)) throw Failure(FailureKind::AccessFailure, path);
            files_->WriteFile(path, scene_.Text());
        } catch (const Failure& failure) {
            failures_.Add(failure);
        }
    }

    void Report() {
        if (!options_.SceneName.empty() && total_ > 0) WriteScene();
        if (failures_.Count > 0)
            sink_.ShowMessage(StepFailuresText(failures_, folderFailure_), MessageIcon::Error);
        sink_.ShowMessage("DONE", MessageIcon::None);
    }

    const DuplicateInputs& inputs_;
    MessageSink& sink_;
    const DuplicateOptions& options_;
    const std::vector<Placement> placements_;
    const int total_;
    RunFolders folders_;  // letter case resolved against one listing per folder
    std::unique_ptr<DuplicateFiles> files_;
    const ModelList modelList_;
    std::unordered_map<std::string, ModelState> models_;  // by the model file's identity
    FilesInUse filesInUse_;
    SceneIndex scene_;
    StepFailures failures_;
    bool folderTried_ = false;
    std::optional<Failure> folderFailure_;  // the output folder could not be made
    std::optional<Halt> halt_;
    int next_ = 0;      // the placement the loop has reached
    int finished_ = 0;  // placements whose copies took their turn
    int shown_ = 0;     // progress steps shown
    int written_ = 0;   // copies committed
    int restarts_ = 0;
    OrderedJobs<PreparedCopy> jobs_;  // last: its threads end before what they use goes
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
    DuplicateRun run(inputs, sink, options, ReadPlacements(inputs));
    run.Run();
}

}  // namespace scene
