// What a run does, told as it goes: the command line lists it (--verbose, --dry-run) and the
// plan of a run is made of it. A dry run tells the same as the run it stands for.
#pragma once

#include <string>

#include "placement.hpp"
#include "step_failures.hpp"

namespace scene {

// What a Duplicate run did at one placement, told in placement order once it is settled.
struct PlacementOutcome {
    enum class Result {
        Written,  // the copy was written
        Failed,   // the copy could not be written: a skipped step
        Ended,    // the run ended here with Message; nothing was written for it
    };
    explicit PlacementOutcome(const Placement& place) : Place(place) {}

    const Placement& Place;
    Result Outcome = Result::Written;
    std::string ModelPath;      // letter case resolved
    std::string CopyPath;       // "" when the run ended before it was formed
    bool Repaired = false;      // its model was repaired in place first
    bool ReplacedFile = false;  // the copy replaced a file
    StepFailures Failures;      // its steps that failed (the copy, point lines, the repair)
    std::string Message;        // Ended: what the run showed, as "TEXT (DETAIL)"
};

class RunRecord {
  public:
    virtual ~RunRecord() = default;
    // A file written or replaced outside a placement's steps: a model Fix WRLs rewrote, the
    // scene index.
    virtual void FileWritten(const std::string& /*path*/) {}
    // A placement's outcome.
    virtual void Placed(const PlacementOutcome& /*outcome*/) {}
    // A record that keeps nothing.
    static RunRecord& None();
};

}  // namespace scene
