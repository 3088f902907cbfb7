#include "plan_duplicate.hpp"

#include <array>
#include <bit>
#include <cstdint>
#include <map>

#include "duplicate.hpp"
#include "every_core.hpp"
#include "model_check.hpp"
#include "model_copy.hpp"
#include "model_hull.hpp"
#include "path_syntax.hpp"
#include "placement_sources.hpp"
#include "plan_problems.hpp"
#include "recording_file_system.hpp"
#include "text_reader.hpp"

namespace scene {

namespace {

PlannedPlacement Planned(const Placement& place, const DuplicateInputs& inputs) {
    PlannedPlacement planned;
    planned.Line = static_cast<int>(place.Line);
    planned.Index = static_cast<int>(place.Index);
    planned.Name = place.Name;
    planned.X = place.X;
    planned.Y = place.Y;
    planned.Z = place.Z;
    planned.Orientation = place.Orientation;
    planned.AngleZ = place.AngleZ;
    planned.AngleX = place.AngleX;
    planned.CopyName = NameOf(CopyPath(inputs, place));
    planned.Action = PlannedAction::NotWritten;
    return planned;
}

// What the recorded run says, turned into the plan: each placement's outcome in turn, its
// messages and how it ended.
class PlanRecord : public RunRecord, public MessageSink {
  public:
    explicit PlanRecord(Plan& plan) : plan_(plan) {}

    // The placements the run's outcomes are of, each planned as not written until then.
    void Follow(const std::vector<Placement>& placements, const DuplicateInputs& inputs) {
        first_ = placements.data();
        for (const Placement& place : placements)
            plan_.Placements.push_back(Planned(place, inputs));
    }

    void Placed(const PlacementOutcome& outcome) override {
        const size_t i = static_cast<size_t>(&outcome.Place - first_);
        PlannedPlacement& planned = plan_.Placements[i];
        planned.Message = outcome.Message;
        modelPaths_[i] = outcome.ModelPath;
        if (outcome.Outcome == PlacementOutcome::Result::Ended) {
            planned.Action = PlannedAction::End;
            return Problem(ProblemKind::RunEnds, i, outcome.Message);
        }
        const bool written = outcome.Outcome == PlacementOutcome::Result::Written;
        planned.Action = !written           ? PlannedAction::Fail
                         : outcome.Repaired ? PlannedAction::RepairFirst
                                            : PlannedAction::Write;
        if (outcome.Repaired) Problem(ProblemKind::Repaired, i, "repairs " + outcome.ModelPath);
        if (outcome.ReplacedFile)
            Problem(ProblemKind::ReplacesFile, i, "replaces " + outcome.CopyPath);
        if (outcome.Failures.Count > 0) {
            const Failure& first = *outcome.Failures.First;
            planned.Message = WithDetail(first.Description(), first.PathAndReason());
            Problem(ProblemKind::FailedStep, i,
                    std::to_string(outcome.Failures.Count) + " step(s) fail: " + planned.Message);
        }
    }

    void ShowMessage(const std::string&, MessageIcon icon) override {
        if (icon == MessageIcon::Error) plan_.ExitStatus = std::max(plan_.ExitStatus, 1);
    }
    void ReportFailure(const Failure& failure) override {
        plan_.ExitStatus = 3;
        plan_.Problems.push_back({ProblemKind::RunEnds, 0, -1, RunTimeErrorLine(failure)});
    }

    // The model each placement copies, as the run resolved it; "" where the run did not reach.
    const std::map<size_t, std::string>& ModelPaths() const { return modelPaths_; }

  private:
    void Problem(ProblemKind kind, size_t i, std::string text) {
        plan_.Problems.push_back(
            {kind, plan_.Placements[i].Line, static_cast<int>(i), std::move(text)});
    }

    Plan& plan_;
    const Placement* first_ = nullptr;
    std::map<size_t, std::string> modelPaths_;
};

// The vertices of the hull of a model's points, read once, as its copies read them; none when
// it cannot be read.
std::vector<Point3> ModelHull(RunFiles& files, const std::string& path) {
    HullBuilder hull;
    try {
        TextFileReader model(files, path);
        ReadModelPoints(model, [&](const Point3& p, bool) { hull.Add(p); });
    } catch (const Failure&) {
        return {};
    }
    return hull.Vertices();
}

// A model and the bits of a turn's sines and cosines: the placements that share them share the
// search for their outlines' corners.
using TurnKey = std::array<uint64_t, 7>;

TurnKey KeyOf(int model, const PlacementTurn& t) {
    TurnKey key{static_cast<uint64_t>(model)};
    const double angles[] = {t.CosX, t.SinX, t.CosZ, t.SinZ, t.CosO, t.SinO};
    for (size_t i = 0; i < 6; ++i) key[i + 1] = std::bit_cast<uint64_t>(angles[i]);
    return key;
}

// Computes each placement's outlines on every core: the placements are independent, and their
// 2-D hulls are most of a plan's work.
void PlaceOutlines(Plan& plan, platform::FileSystem& system,
                   const std::vector<Placement>& placements,
                   const std::vector<std::vector<Point3>>& hulls, const std::vector<size_t>& work,
                   std::stop_token stop) {
    struct Group {
        size_t First;  // into work
        int Count = 0;
        std::unique_ptr<SharedTurnOutlines> Shared;
    };
    std::vector<PlacementTurn> turns;
    std::vector<size_t> groupOf;
    std::vector<Group> groups;
    std::map<TurnKey, size_t> groupIndex;
    for (size_t k = 0; k < work.size(); ++k) {
        turns.emplace_back(placements[work[k]]);
        const TurnKey key = KeyOf(plan.Placements[work[k]].Model, turns.back());
        auto [at, added] = groupIndex.try_emplace(key, groups.size());
        if (added) groups.push_back({k, 0, nullptr});
        ++groups[at->second].Count;
        groupOf.push_back(at->second);
    }
    const auto hullOf = [&](size_t k) -> const std::vector<Point3>& {
        return hulls[static_cast<size_t>(plan.Placements[work[k]].Model)];
    };
    platform::OnEveryCore(system, groups.size(), stop, [&](size_t g) {
        Group& group = groups[g];
        if (group.Count > 1)
            group.Shared =
                std::make_unique<SharedTurnOutlines>(hullOf(group.First), turns[group.First]);
    });
    platform::OnEveryCore(system, work.size(), stop, [&](size_t k) {
        const Group& group = groups[groupOf[k]];
        Outlines outlines =
            group.Shared ? group.Shared->For(turns[k]) : PlacedOutlines(hullOf(k), turns[k]);
        PlannedPlacement& planned = plan.Placements[work[k]];
        planned.Top = std::move(outlines.Top);
        planned.Side = std::move(outlines.Side);
    });
}

// Each written placement's outlines, from its model's hull, and the models with their counts.
void AddOutlines(Plan& plan, RunFiles& files, platform::FileSystem& system,
                 const std::vector<Placement>& placements,
                 const std::map<size_t, std::string>& modelPaths, std::stop_token stop) {
    std::map<std::string, int> models;  // path: index into plan.Models
    std::vector<std::vector<Point3>> hulls;
    std::vector<size_t> work;  // the placements to outline
    for (const auto& [i, path] : modelPaths) {
        PlannedPlacement& planned = plan.Placements[i];
        if (stop.stop_requested()) return;
        if (planned.Action == PlannedAction::End || planned.Action == PlannedAction::Fail) continue;
        auto [at, added] = models.try_emplace(path, static_cast<int>(plan.Models.size()));
        if (added) {
            plan.Models.push_back({path, 0});
            hulls.push_back(ModelHull(files, path));
        }
        planned.Model = at->second;
        ++plan.Models[static_cast<size_t>(planned.Model)].Placements;
        work.push_back(i);
    }
    PlaceOutlines(plan, system, placements, hulls, work, stop);
}

void AddUnreadNumbers(Plan& plan, const std::vector<long>& lines) {
    for (long line : lines)
        plan.Problems.push_back({ProblemKind::UnreadableNumber, static_cast<int>(line), -1,
                                 "a number that is no number, read as 0"});
}

}  // namespace

Plan PlanDuplicate(const DuplicateInputs& inputs, std::stop_token stop) {
    Plan plan;
    plan.Source = IsManualMode(inputs) ? "manual" : SourcePath(inputs);
    RecordingFileSystem recording(platform::SystemFileSystem());
    PlacementList list;
    PlanRecord record(plan);
    RunContext run(recording, record, stop, ProgressDisplay::None(), record);
    RunReported(record, [&] {
        if (RejectsBothModes(run, inputs)) return;
        list = ReadPlacements(run.Files, inputs);
        record.Follow(list.Placements, inputs);
        AddUnreadNumbers(plan, list.UnreadNumberLines);
        RunDuplicate(run, inputs, list.Placements, DuplicateOptions{});
    });
    AddOutlines(plan, run.Files, recording, list.Placements, record.ModelPaths(), stop);
    AddPlacementProblems(plan);
    plan.Stopped = stop.stop_requested();
    return plan;
}

}  // namespace scene
