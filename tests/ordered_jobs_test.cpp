// Work on several threads, taken back in the order it was handed in.
#include "ordered_jobs.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
#include <thread>

#include "faulty_file_system.hpp"

namespace scene {

namespace {

using namespace std::chrono_literals;

// Every result, taken in turn.
std::vector<int> TakeAll(OrderedJobs<int>& jobs) {
    std::vector<int> taken;
    while (std::optional<int> result = jobs.TakeNext()) taken.push_back(*result);
    return taken;
}

std::vector<int> UpTo(int n) {
    std::vector<int> numbers;
    for (int i = 0; i < n; ++i) numbers.push_back(i);
    return numbers;
}

// Later jobs run shorter, so that they end first unless the order is kept; jobs run here take
// their turn among the others.
TEST(OrderedJobs, ResultsComeInTheOrderHandedInWhateverEndsFirst) {
    OrderedJobs<int> jobs(platform::SystemFileSystem(), 4);
    std::vector<int> taken;
    for (int i = 0; i < 40; ++i) {
        jobs.Add(
            [i] {
                std::this_thread::sleep_for(std::chrono::microseconds(400 - 10 * i));
                return i;
            },
            i % 5 == 0);
        if (jobs.Full()) taken.push_back(*jobs.TakeNext());
    }
    for (int i : TakeAll(jobs)) taken.push_back(i);
    EXPECT_EQ(taken, UpTo(40));
}

// What a job throws comes out in its turn; dropped jobs that were not begun never run.
TEST(OrderedJobs, ExceptionsInTurnAndDroppedJobsUndone) {
    OrderedJobs<int> failing(platform::SystemFileSystem(), 3);
    for (int i = 0; i < 3; ++i)
        failing.Add([i] {
            if (i == 1) throw std::runtime_error("out of luck");
            return i;
        });
    EXPECT_EQ(failing.TakeNext(), 0);
    EXPECT_THROW(failing.TakeNext(), std::runtime_error);
    EXPECT_EQ(failing.TakeNext(), 2);

    std::atomic<int> ran = 0;
    OrderedJobs<int> jobs(platform::SystemFileSystem(), 3);
    for (int i = 0; i < 6; ++i)
        jobs.Add([&] {
            std::this_thread::sleep_for(20ms);
            return ++ran;
        });
    jobs.DropAll();
    EXPECT_TRUE(jobs.Empty());
    EXPECT_LE(ran.load(), 2);  // one per started thread at most had begun
}

// Threads that cannot start leave the work to the caller's thread; a worker out of memory
// leaves its job to the others.
TEST(OrderedJobs, WorkGoesOnWithTheThreadsThatCan) {
    FaultyFileSystem noThreads;
    noThreads.RefuseThreads();
    OrderedJobs<int> here(noThreads, 8);
    for (int i = 0; i < 5; ++i) here.Add([i] { return i; });
    EXPECT_EQ(TakeAll(here), UpTo(5));

    const std::thread::id caller = std::this_thread::get_id();
    OrderedJobs<int> jobs(platform::SystemFileSystem(), 3);
    for (int i = 0; i < 6; ++i)
        jobs.Add([i, caller] {
            if (std::this_thread::get_id() != caller) throw std::bad_alloc();
            return i;
        });
    EXPECT_EQ(TakeAll(jobs), UpTo(6));

    EXPECT_EQ(JobCount(100000, 3), 3);  // no more threads than work
    EXPECT_EQ(JobCount(100000, 100000), 64);
    EXPECT_EQ(JobCount(4, 0), 1);
}

}  // namespace

}  // namespace scene
