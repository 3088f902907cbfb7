// The plan of a run: what it would do at each placement and where its output would land, seen
// before anything is written. Both tools compute one; the plan window and the SVG picture show it.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace scene {

// Two coordinates of a point, exactly as the written file holds them: (first, third) seen from
// above, (first, second) seen from the side. The second coordinate is the vertical one.
using PlanPoint = std::array<double, 2>;

// What the run does at a placement.
enum class PlannedAction {
    Write,        // writes the copy
    RepairFirst,  // repairs its model in place, then writes the copy
    Fail,         // the copy cannot be made: the step is skipped and the run goes on
    End,          // the run ends here with its message; nothing is written for it
    NotWritten,   // the run ended at an earlier placement
};

struct PlannedPlacement {
    int Line = 0;   // the list line it was read from, from 1; 0 for a placement typed in
    int Index = 0;  // its position, as in the copy's name
    std::string Name;
    double X = 0, Y = 0, Z = 0;  // as read; the copy adds X and Y and subtracts Z
    double Orientation = 0, AngleZ = 0, AngleX = 0;  // degrees
    std::string CopyName;  // the copy's file name without its folder; "" in a camera plan
    std::string Label;     // written beside it in the picture ("" for none; a camera's number)
    PlannedAction Action = PlannedAction::Write;
    std::string Message;  // End and Fail: what the run says, as the command line prints it
    int Model = -1;       // into Plan::Models; -1 when it copies no model
    // The outline of what lands there: corners in order around it (counter-clockwise in the
    // coordinates' own orientation), each a point the written file holds. One corner for a
    // placement the size of a point; none when nothing is written.
    std::vector<PlanPoint> Top, Side;
};

enum class ProblemKind {
    RunEnds,           // the run ends at this line, or stops before its first placement
    Doubled,           // the same model at the same numbers as an earlier line
    FarFromRest,       // more than 10 times the median distance from the median centre
    Repaired,          // its model is repaired in place first
    ReplacesFile,      // its copy replaces a file already in the output folder
    UnreadableNumber,  // a number of the list that could not be read (taken as 0)
    FailedStep,        // a step the run skips (a copy that cannot be made, a point line)
};

struct PlanProblem {
    ProblemKind Kind = ProblemKind::RunEnds;
    int Line = 0;        // the list line it concerns; 0 when none
    int Placement = -1;  // into Plan::Placements; -1 when it concerns none
    std::string Text;    // printed as "line N: TEXT"
};

struct PlannedModel {
    std::string Path;    // the model file
    int Placements = 0;  // the placements that copy it
};

struct Plan {
    std::string Source;  // what the placements come from: the list's path, or "manual"
    // Said in the legend: how positions relate to the list (a camera plan: "start positions
    // are the points negated").
    std::string Note;
    std::vector<PlannedPlacement> Placements;
    std::vector<PlannedModel> Models;
    std::vector<PlanProblem> Problems;  // in list order
    // How the run would end, as the command line's exit status tells it: 0 when it shows only
    // completion messages, 1 after a problem message, 3 after a run-time error.
    int ExitStatus = 0;
    bool Stopped = false;  // the computation was stopped before its end: the plan is partial
};

}  // namespace scene
