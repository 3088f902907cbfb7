// Steps that failed under the skip-on-failure regime: counted, the first one kept for the report.
#pragma once

#include <optional>

#include "failure.hpp"

namespace scene {

struct StepFailures {
    int Count = 0;
    std::optional<Failure> First;

    void Add(const Failure& failure) {
        ++Count;
        if (!First) First = failure;
    }
    // The failures of later steps, after these.
    void Append(const StepFailures& later) {
        Count += later.Count;
        if (!First) First = later.First;
    }
};

}  // namespace scene
