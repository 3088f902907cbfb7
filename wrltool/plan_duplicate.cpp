#include "plan_duplicate.hpp"

#include "duplicate.hpp"
#include "path_syntax.hpp"
#include "placement_sources.hpp"
#include "plan_outlines.hpp"
#include "plan_problems.hpp"
#include "recording_file_system.hpp"

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
    PlanRecord(Plan& plan, PlanOutlines& outlines) : plan_(plan), outlines_(outlines) {}

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
        if (written) outlines_.Add(i, outcome.Place, outcome.ModelPath);
    }

    void ShowMessage(const std::string&, MessageIcon icon) override {
        if (icon == MessageIcon::Error) plan_.ExitStatus = std::max(plan_.ExitStatus, 1);
    }
    void ReportFailure(const Failure& failure) override {
        plan_.ExitStatus = 3;
        plan_.Problems.push_back({ProblemKind::RunEnds, 0, -1, RunTimeErrorLine(failure)});
    }

  private:
    void Problem(ProblemKind kind, size_t i, std::string text) {
        plan_.Problems.push_back(
            {kind, plan_.Placements[i].Line, static_cast<int>(i), std::move(text)});
    }

    Plan& plan_;
    PlanOutlines& outlines_;
    const Placement* first_ = nullptr;
};

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
    RunFiles files(recording);
    PlanOutlines outlines(plan, files, stop);
    PlanRecord record(plan, outlines);
    RunContext run(recording, record, stop, ProgressDisplay::None(), record);
    RunReported(record, [&] {
        if (RejectsBothModes(run, inputs)) return;
        list = ReadPlacements(run.Files, inputs);
        record.Follow(list.Placements, inputs);
        AddUnreadNumbers(plan, list.UnreadNumberLines);
        RunDuplicate(run, inputs, list.Placements, DuplicateOptions{});
    });
    outlines.Finish();
    AddPlacementProblems(plan);
    plan.Stopped = stop.stop_requested();
    return plan;
}

}  // namespace scene
