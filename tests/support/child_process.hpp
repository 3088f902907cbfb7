// Running a piece of work in a child process, so that limits (a maximum file size, no root
// rights) and a kill after a hang touch only that work and not the test; and starting a built
// program that a test then interrupts or kills.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace scene {

struct ChildLimits {
    // Files may not grow beyond this; a write past it fails with EFBIG instead of killing.
    rlim_t MaxFileBytes = RLIM_INFINITY;
    // Run as the user "nobody" when the tests run as root, so that permissions count.
    bool Unprivileged = false;
    // The child is killed after this many seconds: a hang fails the test, never stalls it.
    unsigned Seconds = 60;
};

struct ChildResult {
    bool Finished = false;  // ended by itself (not killed, not crashed)
    bool Failed = false;    // the work threw a Failure
    // What the work returned, or the run-time error report of its Failure with " (PATH)".
    std::string Text;
};

ChildResult RunInChild(const ChildLimits& limits, const std::function<std::string()>& work);

// Starts the program (args[0]) with the signals at their defaults, as a terminal starts it;
// its standard output and error both go to `outputFile`.
pid_t StartProgram(const std::vector<std::string>& args, const std::string& outputFile);
// Waits for the program's end: its exit status, or -1 when a signal ended it.
int ExitStatusOf(pid_t program);

}  // namespace scene
