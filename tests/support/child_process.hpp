// Running a piece of work in a child process, so that limits (a maximum file size, no root
// rights) and a kill after a hang touch only that work and not the test.
#pragma once

#include <sys/resource.h>

#include <functional>
#include <string>

struct ChildLimits {
    // Files may not grow beyond this; a write past it fails with EFBIG instead of killing.
    rlim_t maxFileBytes = RLIM_INFINITY;
    // Run as the user "nobody" when the tests run as root, so that permissions count.
    bool unprivileged = false;
    // The child is killed after this many seconds: a hang fails the test, never stalls it.
    unsigned seconds = 60;
};

struct ChildResult {
    bool finished = false;  // ended by itself (not killed, not crashed)
    bool failed = false;    // the work threw a Failure
    // What the work returned, or the run-time error report of its Failure with " (PATH)".
    std::string text;
};

ChildResult RunInChild(const ChildLimits& limits, const std::function<std::string()>& work);
