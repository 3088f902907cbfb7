// Work split over the machine's cores.
#pragma once

#include <cstddef>
#include <functional>
#include <stop_token>

#include "file_system.hpp"

namespace scene::platform {

// Runs `step(k)` for every k below `count`, on every core when there are more than a few: a
// thread that cannot start leaves its share to the others, and the first failure ends them all
// and is thrown.
void OnEveryCore(FileSystem& system, size_t count, std::stop_token stop,
                 const std::function<void(size_t)>& step);

}  // namespace scene::platform
