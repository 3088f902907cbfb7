// The failure a piece of work throws, for tests that look at its kind, number and path.
#pragma once

#include <gtest/gtest.h>

#include "failure.hpp"

namespace scene {

// The failure `work` throws; the test fails when it throws none.
template <typename Work>
Failure FailureOf(Work work) {
    try {
        work();
    } catch (const Failure& failure) {
        return failure;
    }
    ADD_FAILURE() << "no failure";
    return Failure(FailureKind::InvalidArgument);
}

// The number of the failure `work` throws; 0 when it throws none.
template <typename Work>
int FailureNumberOf(Work work) {
    try {
        work();
    } catch (const Failure& failure) {
        return failure.Number();
    }
    return 0;
}

}  // namespace scene
