// Before the camera file takes its path: a file there that is not a camera file (a TSO list,
// say) is replaced only when the user says so; an earlier camera file is replaced as it is.
#pragma once

#include <string>
#include <string_view>

#include "messages.hpp"

namespace scene {

// The first line of every camera file.
inline constexpr std::string_view kCameraFileHead = "//////////CAMERAS///////////";

// What the window asks before replacing a file that is not a camera file.
inline constexpr std::string_view kReplaceQuestion =
    "The camera file would replace a file that is not a camera file. Replace it?";

// Whether the camera file may be written to `path`: nothing is there, it is a camera file (it
// begins with kCameraFileHead), it is something the writer refuses by itself (a folder, a
// read-only file), or the sink's user answers yes to kReplaceQuestion.
bool MayWriteCameraFile(const std::string& path, MessageSink& sink);

}  // namespace scene
