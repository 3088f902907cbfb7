// One placement's copy, written to its new file on any thread, waiting for its placement's
// turn to take its final name.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "file_system.hpp"
#include "placement.hpp"
#include "run_files.hpp"
#include "step_failures.hpp"
#include "text_writer.hpp"

namespace scene {

// One placement's copy as the run asks for it.
struct CopyOrder {
    int Index = 0;  // the placement's position in the list
    const Placement* Place = nullptr;
    std::string ModelPath;              // letter case resolved
    std::string ModelKey;               // the model file's identity
    platform::ContentStamp ModelStamp;  // of the model file that passed the check
    std::string CopyPath;
    std::string Tag;
    bool Repaired = false;    // the run repaired the model for this placement
    bool TwoThreads = false;  // its point lines placed on two threads
    StepFailures Failures;    // steps of the placement that failed before the copy
};

// A copy written to its new file, or what kept it from being written.
struct PreparedCopy {
    CopyOrder Order;
    std::unique_ptr<TextFileWriter> Copy;  // null when it could not be written
    StepFailures Failures;                 // the order's, and the copy's own
    // The model is not as it was checked, and would not be copied as it is now (it fails the
    // check or asks for the repair), or it changed while it was read: the run takes the
    // placement again from its check.
    bool ModelChanged = false;
    platform::ContentStamp ModelStamp;  // of the model file copied
    // Open until the copy is kept: a writer that paused for the whole read shows then.
    std::unique_ptr<platform::ReadableFile> Model;
};

// What a dry run's copies need of a model's points: the copy's failed point lines, counted once
// per model. Several threads may use it.
class PointCensus {
  public:
    // The point lines a copy of the open model for the placement would count as failed.
    int FailedLines(platform::ReadableFile& model, const Placement& placement);

  private:
    struct Count {
        int Unread = 0;      // lines whose numbers could not all be read
        double Largest = 0;  // the largest magnitude of a point's number
    };
    std::mutex mutex_;
    std::map<std::string, Count> counts_;  // by the model's path and stamp
};

// Writes the order's copy from the model it names, which must be the one checked: a model
// opened in another state is checked again first. A copy whose new file keeps no content (a dry
// run's) is not made: its failed lines are counted. Throws nothing but what is no Failure.
PreparedCopy PrepareCopy(RunFiles& files, PointCensus& census, CopyOrder order);

}  // namespace scene
