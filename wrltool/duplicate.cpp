#include "duplicate.hpp"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "duplicate_copy.hpp"
#include "model_check.hpp"
#include "model_repair.hpp"
#include "number_text.hpp"
#include "ordered_jobs.hpp"
#include "path_syntax.hpp"
#include "placement_sources.hpp"
#include "scene_index.hpp"
#include "strings.hpp"
#include "system.hpp"

namespace scene {

namespace {

// A model whose file keeps changing under the run is, after this many new starts at one
// placement, taken for one that cannot be read. A run that keeps copies between its new starts
// goes on: a model only touched now and then restarts it at most at the copies being read.
constexpr int kMaxRestarts = 8;

// Copies of smaller models are written on the run's own thread: such a copy is little more than
// a few system calls on one folder, which another thread would only wait for.
constexpr uint64_t kThreadedCopyBytes = 4096;
// Copies of models from this size on place their points on two threads when the run has a
// thread to spare for every copy (fewer placements than cores): one large copy then takes both.
constexpr uint64_t kTwoThreadCopyBytes = 256 << 10;

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

// A model's check, kept for the run: each copy makes sure that the file it opened is the one
// checked, so a run of many copies of one model reads it once per copy, not three times.
struct ModelState {
    bool Checked = false;
    platform::ContentStamp Stamp;  // of the file checked
    ModelCheck Check;
    std::string Unreadable;      // why it could not be checked: "PATH: REASON"; "" when it was
    bool RepairSettled = false;  // a repair would leave it as it is
};

// The files the run's copies read and write, by identity: a copy may only run beside copies
// that neither write what it reads nor read or write what it writes.
struct FilesInUse {
    std::unordered_set<std::string> Read, Written;

    bool Conflict(const std::string& model, const std::string& copy) const {
        return Written.contains(model) || Written.contains(copy) || Read.contains(copy);
    }
};

// One Duplicate run from its output folder on: the steps of each placement in list order.
// Copies are written on several threads, but each takes its final name only once every earlier
// placement's copy has taken its own or failed; what ends the run at a placement (a message, a
// stop, a run-time error) so leaves no copy of a later one.
class DuplicateRun {
  public:
    DuplicateRun(RunContext& run, const DuplicateInputs& inputs,
                 const std::vector<Placement>& placements, const DuplicateOptions& options)
        : run_(run),
          inputs_(inputs),
          options_(options),
          placements_(placements),
          total_(static_cast<int>(placements_.size())),
          modelList_(inputs.WRLfolderList),
          twoThreadCopies_(total_ > 0 && total_ <= JobCount(options.Jobs, 64) / 2),
          jobs_(run.Files.System(), JobCount(options.Jobs, total_)) {}

    void Run() {
        for (;;) {
            // Copies done take their turn at once: progress is told before each placement.
            while (std::optional<PreparedCopy> done = jobs_.TakeReady()) Settle(std::move(*done));
            ShowProgress();  // where the user may ask to stop
            if (run_.Stop.stop_requested()) return Stop();
            if (!ended_ && next_ < total_ && !jobs_.Full() && Place(next_)) continue;
            // The placement waits for the copies under way, or all are handed in.
            std::optional<PreparedCopy> done = jobs_.TakeNext();
            if (!done) break;
            Settle(std::move(*done));
        }
        Report();
    }

  private:
    RunFiles& Files() { return run_.Files; }

    // Steps b to h of one placement, up to handing its copy in. False when the placement must
    // wait for the copies under way to be settled first, or when the run ends here.
    bool Place(int i) {
        const Placement& placement = placements_[static_cast<size_t>(i)];
        const std::string modelPath = ModelPath(inputs_, placement);
        if (!folderTried_) CreateOutputFolder();
        if (!UsesSelectedModel(inputs_) && !modelList_.Contains(placement.Name + ".wrl"))
            return EndAt(i, "WRL does not exist", modelPath);
        const std::string resolved = Files().ResolveCase(modelPath);
        const std::string modelKey = Files().Identity(resolved);
        ModelState& model = Checked(modelKey, resolved);
        if (!IsCopyable(model.Check)) return EndAt(i, "invalid WRL file", Detail(model, resolved));
        const bool repair = NeedsRepair(model.Check) && !model.RepairSettled;
        const std::string copyPath = CopyPath(inputs_, placement);
        const std::string copyKey = Files().Identity(copyPath);
        // No copy reads a model while it is rewritten, nor a file another copy writes.
        if (!jobs_.Empty() && (repair || inUse_.Conflict(modelKey, copyKey))) return false;
        CopyOrder order;
        order.Index = i;
        order.Place = &placement;
        order.ModelPath = resolved;
        order.ModelKey = modelKey;
        order.CopyPath = copyPath;
        order.Tag = CopyTag(inputs_, placement);
        if (repair) {
            order.Repaired = Repair(model, resolved, order.Failures);
            if (!IsCopyable(Checked(modelKey, resolved).Check))
                return EndAt(i, "invalid WRL file", Detail(model, resolved));
        }
        order.ModelStamp = model.Stamp;
        inUse_.Read.insert(modelKey);
        inUse_.Written.insert(copyKey);
        order.TwoThreads = twoThreadCopies_ && model.Check.Bytes >= kTwoThreadCopyBytes;
        const bool small = model.Check.Bytes < kThreadedCopyBytes;
        jobs_.Add([this, order = std::move(order)] { return PrepareCopy(Files(), census_, order); },
                  small);
        ++next_;
        return true;
    }

    // The model's state, checked when it was not yet.
    ModelState& Checked(const std::string& key, const std::string& path) {
        ModelState& model = models_[key];
        if (model.Checked) return model;
        model = ModelState{};
        model.Checked = true;
        try {
            std::unique_ptr<platform::ReadableFile> file = Files().OpenForReading(path);
            model.Stamp = file->Stamp();
            model.Check = CheckModel(*file);
        } catch (const Failure& failure) {
            model.Unreadable = failure.PathAndReason();  // counts as lacking the header
        }
        return model;
    }

    static std::string Detail(const ModelState& model, const std::string& path) {
        return model.Unreadable.empty() ? path : model.Unreadable;
    }

    // True when the model was rewritten; it is to be checked again then.
    bool Repair(ModelState& model, const std::string& path, StepFailures& failures) {
        try {
            const bool repaired = RepairTexCoordBlocks(Files(), path);
            model.RepairSettled = !repaired;
            model.Checked = !repaired;
            return repaired;
        } catch (const Failure& failure) {
            failures.Add(failure);
            return false;
        }
    }

    void CreateOutputFolder() {
        folderTried_ = true;
        try {
            Files().CreateFolder(OutputFolder(inputs_));
        } catch (const Failure& failure) {
            // As a rule the folder exists already: nothing to report. Any other reason is the
            // root of the copies' failures.
            // It is named first in the report, though not counted.
            if (!Files().System().StateOf(failure.Path()).Folder) failures_.First = failure;
        }
    }

    // A copy's turn, in placement order: it takes its final name, or the run takes its
    // placement again when its model changed.
    void Settle(PreparedCopy copy) {
        const CopyOrder& order = copy.Order;
        if (ChangedSinceRead(copy)) return Restart(order.Index);
        PlacementOutcome outcome{*order.Place};
        outcome.Outcome = PlacementOutcome::Result::Failed;
        outcome.ModelPath = order.ModelPath;
        outcome.CopyPath = order.CopyPath;
        outcome.Repaired = order.Repaired;
        if (copy.Copy) {
            try {
                outcome.ReplacedFile = copy.Copy->ReplacesFile();
                copy.Copy->Commit();
                outcome.Outcome = PlacementOutcome::Result::Written;
                ++written_;
                scene_.Add(NameOf(copy.Copy->Target()));
            } catch (const Failure& failure) {
                copy.Failures.Add(failure);
            }
        }
        // A model found in another state than checked is checked again for the next copy.
        ModelState& model = models_[order.ModelKey];
        if (copy.ModelStamp != model.Stamp) model.Checked = false;
        failures_.Append(copy.Failures);
        outcome.Failures = std::move(copy.Failures);
        run_.Record.Placed(outcome);
        ++settled_;
        ShowProgress();
    }

    // The model's content is not what the copy read: it changed while it was read, or another
    // program went on writing it after a pause that spanned the whole read.
    static bool ChangedSinceRead(PreparedCopy& copy) {
        if (copy.ModelChanged || !copy.Model) return copy.ModelChanged;
        try {
            return copy.Model->Stamp() != copy.ModelStamp;
        } catch (const Failure&) {
            return true;
        }
    }

    // A model changed under the run: the copies from placement `at` on are dropped and the run
    // goes on from there, checking every model again.
    void Restart(int at) {
        jobs_.DropAll();
        models_.clear();
        next_ = settled_ = at;
        if (at != restartedAt_) restartedAt_ = at, restarts_ = 0;
        if (++restarts_ <= kMaxRestarts) return;
        const Placement& placement = placements_[static_cast<size_t>(at)];
        const std::string path = Files().ResolveCase(ModelPath(inputs_, placement));
        EndAt(at, "invalid WRL file", path + ": changed while it was read");
    }

    // Ends the run at the placement with a problem message, once the copies before it are
    // settled. False either way: no copy is handed in.
    bool EndAt(int i, const std::string& text, const std::string& detail) {
        if (!jobs_.Empty()) return false;
        run_.Messages.ShowFileProblem(text, detail);
        const Placement& placement = placements_[static_cast<size_t>(i)];
        PlacementOutcome outcome{placement};
        outcome.Outcome = PlacementOutcome::Result::Ended;
        outcome.ModelPath = ModelPath(inputs_, placement);
        outcome.Message = WithDetail(text, detail);
        run_.Record.Placed(outcome);
        ended_ = true;
        return false;
    }

    // The copies under way finish; none is begun after them.
    void Stop() {
        jobs_.DropQueued();
        while (std::optional<PreparedCopy> done = jobs_.TakeNext())
            if (!ChangedSinceRead(*done)) Settle(std::move(*done));
        run_.Messages.ShowMessage(StoppedText(Work::WritingCopies, written_, total_),
                                  MessageIcon::None);
    }

    void ShowProgress() {
        while (shown_ <= std::min(settled_, next_) && shown_ < total_)
            run_.Progress.Show(Work::WritingCopies, shown_++, total_);
    }

    // The scene index beside the copies; one that would replace a copy of the run (and so
    // inline itself) is a failed step.
    void WriteScene() {
        const std::string path = JoinPath(OutputFolder(inputs_), options_.SceneName + ".wrl");
        try {
            if (scene_.Holds(NameOf(path))) throw Failure(FailureKind::AccessFailure, path);
            TextFileWriter out(Files(), path, platform::Durability::Replaceable);
            out.Write(scene_.Text());
            out.Commit();
            run_.Record.FileWritten(path);
        } catch (const Failure& failure) {
            failures_.Add(failure);
        }
    }

    void Report() {
        if (!options_.SceneName.empty() && total_ > 0) WriteScene();
        if (failures_.Count > 0) {
            const Failure& first = *failures_.First;
            std::string text = "Some steps failed (" + std::to_string(failures_.Count) +
                               "). First: " + first.Description();
            if (!first.Path().empty()) text = WithDetail(text, first.Path());
            run_.Messages.ShowMessage(text, MessageIcon::Error);
        }
        run_.Messages.ShowMessage("DONE", MessageIcon::None);
    }

    RunContext& run_;
    const DuplicateInputs& inputs_;
    const DuplicateOptions& options_;
    const std::vector<Placement>& placements_;
    const int total_;
    const ModelList modelList_;
    std::unordered_map<std::string, ModelState> models_;  // by the model file's identity
    FilesInUse inUse_;
    PointCensus census_;
    SceneIndex scene_;
    StepFailures failures_;
    bool folderTried_ = false;
    bool ended_ = false;
    int next_ = 0;          // the placement the loop has reached
    int settled_ = 0;       // placements whose copies took their turn
    int shown_ = 0;         // progress steps shown
    int written_ = 0;       // copies committed
    int restartedAt_ = -1;  // the placement of the latest new starts, and how many
    int restarts_ = 0;
    const bool twoThreadCopies_;      // threads enough for two per copy
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

bool RejectsBothModes(RunContext& run, const DuplicateInputs& inputs) {
    if (!UsesMgpFile(inputs) || !IsManualMode(inputs)) return false;
    run.Messages.ShowMessage("Use MGP files and Manual Mode cannot both be set",
                             MessageIcon::Error);
    return true;
}

void RunDuplicate(RunContext& run, const DuplicateInputs& inputs,
                  const std::vector<Placement>& placements, const DuplicateOptions& options) {
    DuplicateRun(run, inputs, placements, options).Run();
}

void RunDuplicate(RunContext& run, const DuplicateInputs& inputs, const DuplicateOptions& options) {
    if (RejectsBothModes(run, inputs)) return;
    RunDuplicate(run, inputs, ReadPlacements(run.Files, inputs).Placements, options);
}

}  // namespace scene
