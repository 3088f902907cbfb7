#include "copy_jobs.hpp"

namespace scene {

int CopyJobCount(int requested) {
    if (requested > 0) return requested;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

CopyJobs::CopyJobs(int jobs, Finished finished)
    : finished_(std::move(finished)), window_(2 * static_cast<size_t>(jobs)) {
    if (jobs > 1)
        for (int i = 0; i < jobs; ++i) threads_.emplace_back([this] { Work(); });
}

CopyJobs::~CopyJobs() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void CopyJobs::Add(Copy copy, StepFailures failures) {
    if (threads_.empty()) {
        copy(failures);
        finished_(failures);
        return;
    }
    while (pending_.size() >= window_) FinishOldest();
    std::packaged_task<StepFailures()> task(
        [copy = std::move(copy), failures = std::move(failures)]() mutable {
            copy(failures);
            return std::move(failures);
        });
    pending_.push_back(task.get_future());
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void CopyJobs::FinishOldest() {
    std::future<StepFailures> oldest = std::move(pending_.front());
    pending_.pop_front();
    finished_(oldest.get());  // also passes on what the copy threw
}

void CopyJobs::FinishAll() {
    while (!pending_.empty()) FinishOldest();
}

void CopyJobs::Work() {
    for (;;) {
        std::packaged_task<StepFailures()> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task();
    }
}

}  // namespace scene
