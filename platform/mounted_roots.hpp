// The volumes of a POSIX machine as its mount table lists them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scene {

// The mount points in the text of /proc/mounts that hold real file systems: "/" first, then
// the others sorted; pseudo and in-memory file systems and repeated mount points left out.
std::vector<std::string> MountedRoots(std::string_view procMounts);

}  // namespace scene
