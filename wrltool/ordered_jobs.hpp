// Work done on several threads and taken back in the order it was handed in: the caller takes
// the result of job k only after those of jobs 0 to k-1, always on its own thread. The caller's
// thread is one of the threads: while it waits for a result it does queued work itself. A thread
// that cannot be started is no failure: the jobs run on those that could, at worst all on the
// caller's. A worker that runs out of memory leaves its job to the others and ends.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include "file_system.hpp"

namespace scene {

// Threads worth starting for `requested` jobs (0: one per core) over `work` pieces of work: no
// more than there are pieces, nor than a sane maximum.
int JobCount(int requested, int work);

template <typename Result>
class OrderedJobs {
  public:
    using Job = std::function<Result()>;

    // `jobs` threads at most, the caller's among them, started by the file system.
    OrderedJobs(platform::FileSystem& system, int jobs) : window_(2 * static_cast<size_t>(jobs)) {
        for (int i = 1; i < jobs; ++i) {
            std::unique_ptr<platform::Thread> thread = system.StartThread([this] { Work(); });
            if (!thread) break;
            threads_.push_back(std::move(thread));
        }
    }
    // Drops the jobs not yet begun and waits for those under way.
    ~OrderedJobs() {
        DropQueued();
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        threads_.clear();  // each waits for its thread's end
    }
    OrderedJobs(const OrderedJobs&) = delete;
    OrderedJobs& operator=(const OrderedJobs&) = delete;

    // Hands in a job, to run on a thread; with `here`, or without other threads, it runs at
    // once on the caller's thread (work too small to gain from another). What a job throws is
    // thrown by TakeNext when its turn comes.
    void Add(Job job, bool here = false) {
        Entry entry{std::move(job), {}, next_++};
        pending_.push_back({entry.Number, entry.Promise.get_future()});
        if (here || Workers() == 0) return Run(entry);
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(entry));
        }
        wake_.notify_one();
    }

    // Whether as many jobs are handed in as it is worth having at once: take results first.
    bool Full() const { return pending_.size() >= window_; }
    // Whether no result waits to be taken.
    bool Empty() const { return pending_.empty(); }

    // The oldest job's result, waiting for it (doing queued work meanwhile); nothing when no
    // job is handed in.
    std::optional<Result> TakeNext() {
        if (pending_.empty()) return std::nullopt;
        std::future<Result>& front = pending_.front().Done;
        while (!IsReady(front))
            if (!RunQueued()) WaitForChange(front);
        std::future<Result> oldest = std::move(front);
        pending_.pop_front();
        return oldest.get();
    }
    // The oldest job's result when it is ready already.
    std::optional<Result> TakeReady() {
        if (pending_.empty() || !IsReady(pending_.front().Done)) return std::nullopt;
        return TakeNext();
    }

    // Drops the jobs not yet begun: TakeNext then gives only those under way.
    void DropQueued() {
        std::lock_guard lock(mutex_);
        std::erase_if(pending_, [this](const Pending& pending) {
            return std::any_of(queue_.begin(), queue_.end(), [&](const Entry& queued) {
                return queued.Number == pending.Number;
            });
        });
        queue_.clear();
    }
    // Drops every job handed in: those not begun at once, those under way once they end.
    void DropAll() {
        DropQueued();
        while (!pending_.empty()) {
            WaitForChange(pending_.front().Done);
            if (IsReady(pending_.front().Done))
                pending_.pop_front();
            else
                DropQueued();  // given back by a worker out of memory
        }
    }

  private:
    struct Entry {
        Job Work;
        std::promise<Result> Promise;
        uint64_t Number = 0;  // in the order handed in
    };
    struct Pending {
        uint64_t Number;
        std::future<Result> Done;
    };

    static bool IsReady(const std::future<Result>& done) {
        return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }

    // Waits until this job is done or a job is queued: one that a worker out of memory gave
    // back would otherwise wait for nobody.
    void WaitForChange(const std::future<Result>& done) {
        std::unique_lock lock(mutex_);
        settled_.wait(lock, [&] { return !queue_.empty() || IsReady(done); });
    }

    // After a job's result is set or a job is given back.
    void Settled() {
        { std::lock_guard lock(mutex_); }  // a waiter is waiting, or sees the change
        settled_.notify_all();
    }

    int Workers() {
        std::lock_guard lock(mutex_);
        return static_cast<int>(threads_.size()) - retired_;
    }

    void Run(Entry& entry) {
        try {
            entry.Promise.set_value(entry.Work());
        } catch (...) {
            entry.Promise.set_exception(std::current_exception());
        }
    }

    // Runs the oldest queued job on the caller's thread; false when none is queued.
    bool RunQueued() {
        Entry entry;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) return false;
            entry = std::move(queue_.front());
            queue_.pop_front();
        }
        Run(entry);
        return true;
    }

    void Work() {
        for (;;) {
            Entry entry;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
                if (queue_.empty()) return;
                entry = std::move(queue_.front());
                queue_.pop_front();
            }
            try {
                entry.Promise.set_value(entry.Work());
            } catch (const std::bad_alloc&) {
                // Out of memory here: the job goes back for the others (the caller's thread at
                // least), and this thread ends, giving its memory back.
                {
                    std::lock_guard lock(mutex_);
                    queue_.push_front(std::move(entry));
                    ++retired_;
                }
                Settled();
                return;
            } catch (...) {
                entry.Promise.set_exception(std::current_exception());
            }
            Settled();
        }
    }

    size_t window_;
    uint64_t next_ = 0;
    std::deque<Pending> pending_;  // in the order handed in; the caller's own
    std::mutex mutex_;
    std::deque<Entry> queue_;
    std::condition_variable wake_;
    std::condition_variable settled_;  // a job's result set, or a job given back
    bool stopping_ = false;
    int retired_ = 0;  // workers that ended for want of memory
    std::vector<std::unique_ptr<platform::Thread>> threads_;
};

}  // namespace scene
