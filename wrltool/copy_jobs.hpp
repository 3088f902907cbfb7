// Copies written on several threads and finished in the order they were handed in: the
// failures of copy k reach `finished` only after those of copies 0 to k-1, and always on the
// caller's thread. With one job each copy is written at once on the caller's thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "failure.hpp"

namespace scene {

// Copies written at once for a requested count: 0 gives one per core.
int CopyJobCount(int requested);

class CopyJobs {
  public:
    using Copy = std::function<void(StepFailures&)>;
    using Finished = std::function<void(const StepFailures&)>;

    CopyJobs(int jobs, Finished finished);
    // Waits for the copies being written (they finish or fail whole: no temporary file is
    // left); copies not yet begun are dropped.
    ~CopyJobs();
    CopyJobs(const CopyJobs&) = delete;
    CopyJobs& operator=(const CopyJobs&) = delete;

    // Hands in a copy with the failures its placement met before it. Waits while twice as many
    // copies as there are jobs are under way.
    void Add(Copy copy, StepFailures failures);
    // Waits for every copy handed in and finishes each.
    void FinishAll();

  private:
    void FinishOldest();
    void Work();

    Finished finished_;
    size_t window_;
    std::deque<std::future<StepFailures>> pending_;  // in the order handed in
    std::deque<std::packaged_task<StepFailures()>> queue_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace scene
