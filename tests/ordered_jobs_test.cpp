// Work on several threads, finished in the order it was handed in.
#include "ordered_jobs.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

namespace scene {

namespace {

using namespace std::chrono_literals;

// Later jobs run shorter, so that they end first unless the order is kept.
TEST(OrderedJobs, ResultsFinishInTheOrderHandedInWhateverEndsFirst) {
    std::vector<int> finished;
    {
        OrderedJobs<int> jobs(4, [&](int result) { finished.push_back(result); });
        EXPECT_EQ(jobs.Threads(), 3);  // and the caller's
        for (int i = 0; i < 40; ++i)
            jobs.Add([i] {
                std::this_thread::sleep_for(std::chrono::microseconds(400 - 10 * i));
                return i;
            });
        jobs.FinishAll();
    }
    std::vector<int> expected(40);
    for (int i = 0; i < 40; ++i) expected[static_cast<size_t>(i)] = i;
    EXPECT_EQ(finished, expected);
}

// What a job throws comes out once the jobs before it are finished; none after it is.
TEST(OrderedJobs, AJobsExceptionComesAfterTheEarlierResultsAndEndsTheRest) {
    std::vector<int> finished;
    auto run = [&] {
        OrderedJobs<int> jobs(3, [&](int result) { finished.push_back(result); });
        for (int i = 0; i < 30; ++i)
            jobs.Add([i] {
                if (i == 7) throw std::runtime_error("out of luck");
                return i;
            });
        jobs.FinishAll();
    };
    EXPECT_THROW(run(), std::runtime_error);
    EXPECT_EQ(finished, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
}

// Dropped and destroyed jobs are never finished; those not begun are never run.
TEST(OrderedJobs, DroppingOrDestroyingLeavesWorkNotBegunUndone) {
    std::atomic<int> ran = 0;
    int finished = 0, ranBefore = 0;
    auto slow = [&] {
        std::this_thread::sleep_for(20ms);
        return ++ran;
    };
    {
        OrderedJobs<int> jobs(3, [&](int) { ++finished; });
        for (int i = 0; i < 6; ++i) jobs.Add(slow);  // the window: twice the threads
        jobs.DropQueued();
        jobs.FinishAll();
        EXPECT_EQ(finished, ran.load());  // each job that ran was finished, no other
        EXPECT_LE(finished, 2);           // one per started thread at most had begun
        ranBefore = ran;
        for (int i = 0; i < 6; ++i) jobs.Add(slow);
    }
    EXPECT_EQ(finished, ranBefore);
    EXPECT_LE(ran.load(), ranBefore + 2);
}

// A thread that cannot be started is no failure: the work runs on the others, or at once.
TEST(OrderedJobs, ThreadsThatCannotStartLeaveTheOthersOrTheCallersThread) {
    auto fail = [] {
        return std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    int started = 0;
    const StartThread oneOnly = [&](std::function<void()> body) {
        if (started++ > 0) throw fail();
        return std::thread(std::move(body));
    };
    const StartThread none = [&](std::function<void()>) -> std::thread { throw fail(); };
    for (const auto& [start, threads] : {std::pair{oneOnly, 1}, std::pair{none, 0}}) {
        std::vector<int> finished;
        OrderedJobs<int> jobs(
            8, [&](int result) { finished.push_back(result); }, start);
        EXPECT_EQ(jobs.Threads(), threads);
        for (int i = 0; i < 5; ++i) jobs.Add([i] { return i; });
        jobs.FinishAll();
        EXPECT_EQ(finished, (std::vector<int>{0, 1, 2, 3, 4}));
    }
    EXPECT_EQ(JobCount(100000, 3), 3);  // no more threads than work
    EXPECT_EQ(JobCount(100000, 100000), 64);
    EXPECT_EQ(JobCount(4, 0), 1);
}

}  // namespace

}  // namespace scene
