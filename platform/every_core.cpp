#include "every_core.hpp"

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace scene::platform {

void OnEveryCore(FileSystem& system, size_t count, std::stop_token stop,
                 const std::function<void(size_t)>& step) {
    std::atomic<size_t> next{0};
    std::mutex failed;
    std::exception_ptr failure;
    const auto steps = [&] {
        try {
            for (size_t k = next++; k < count && !stop.stop_requested(); k = next++) step(k);
        } catch (...) {
            next = count;  // the others stop too
            std::lock_guard lock(failed);
            if (!failure) failure = std::current_exception();
        }
    };
    std::vector<std::unique_ptr<Thread>> threads;
    const unsigned cores = std::thread::hardware_concurrency();
    for (unsigned i = 1; i < cores && count > 64; ++i)  // a few are done before one starts
        if (std::unique_ptr<Thread> thread = system.StartThread(steps))
            threads.push_back(std::move(thread));
    steps();
    threads.clear();  // each waits for its thread's end
    if (failure) std::rethrow_exception(failure);
}

}  // namespace scene::platform
