// Work done on several threads and finished in the order it was handed in: the result of job k
// reaches `finished` only after those of jobs 0 to k-1, and always on the caller's thread.
// The caller's thread is one of the threads: while it waits for a result it does queued work
// itself. Without other threads (one job, or none could be started) each job runs at once on
// the caller's thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace scene {

// Threads worth starting for `requested` jobs (0: one per core) over `work` pieces of work: no
// more than there are pieces, nor than a sane maximum.
int JobCount(int requested, int work);

// Starts a thread; tests hand in one that fails.
using StartThread = std::function<std::thread(std::function<void()>)>;
std::thread StartSystemThread(std::function<void()> body);

template <typename Result>
class OrderedJobs {
  public:
    using Job = std::function<Result()>;
    using Finished = std::function<void(Result)>;

    // `jobs` threads at most, the caller's among them. A thread that cannot be started is no
    // failure: the jobs run on those that could (on the caller's thread when none could).
    OrderedJobs(int jobs, Finished finished, const StartThread& start = StartSystemThread)
        : finished_(std::move(finished)), window_(2 * static_cast<size_t>(jobs)) {
        for (int i = 1; i < jobs; ++i) {
            try {
                threads_.push_back(start([this] { Work(); }));
            } catch (const std::system_error&) {
                break;
            }
        }
    }
    // Drops the jobs not yet begun and waits for those under way; no result of either is
    // finished.
    ~OrderedJobs() {
        DropQueued();
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& thread : threads_) thread.join();
    }
    OrderedJobs(const OrderedJobs&) = delete;
    OrderedJobs& operator=(const OrderedJobs&) = delete;

    // The threads started besides the caller's.
    int Threads() const { return static_cast<int>(threads_.size()); }

    // Hands in a job. Waits, finishing the oldest, while twice as many jobs as there are
    // threads are under way. What a job throws is thrown here or by FinishAll, once the jobs
    // before it are finished.
    void Add(Job job) {
        if (threads_.empty()) {
            finished_(job());
            return;
        }
        while (pending_.size() >= window_) FinishOldest();
        std::packaged_task<Result()> task(std::move(job));
        pending_.push_back(task.get_future());
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(task));
        }
        wake_.notify_one();
    }

    // Runs the job on the caller's thread, once every job handed in before it is finished: for
    // work too small to gain from another thread.
    void RunHere(Job job) {
        FinishAll();
        finished_(job());
    }

    // Waits for every job handed in and finishes each.
    void FinishAll() {
        while (!pending_.empty()) FinishOldest();
    }

    // Drops the jobs not yet begun: FinishAll then finishes only those under way.
    void DropQueued() {
        std::lock_guard lock(mutex_);
        // Threads take jobs in order, so those not begun are the last ones handed in.
        pending_.resize(pending_.size() - queue_.size());
        queue_.clear();
    }

  private:
    void FinishOldest() {
        std::future<Result> oldest = std::move(pending_.front());
        pending_.pop_front();
        // Rather than wait, the caller's thread does work nobody has begun.
        while (oldest.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            std::packaged_task<Result()> task;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty()) break;
                task = std::move(queue_.front());
                queue_.pop_front();
            }
            task();
        }
        finished_(oldest.get());
    }

    void Work() {
        for (;;) {
            std::packaged_task<Result()> task;
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

    Finished finished_;
    size_t window_;
    std::deque<std::future<Result>> pending_;  // in the order handed in
    std::deque<std::packaged_task<Result()>> queue_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace scene
