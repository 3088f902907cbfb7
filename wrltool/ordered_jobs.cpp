#include "ordered_jobs.hpp"

#include <algorithm>
#include <thread>

namespace scene {

namespace {
// More threads than this only wait for the disk.
constexpr int kMaxJobs = 64;
}  // namespace

int JobCount(int requested, int work) {
    int jobs = requested;
    if (jobs <= 0) jobs = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    return std::clamp(std::min(jobs, work), 1, kMaxJobs);
}

}  // namespace scene
