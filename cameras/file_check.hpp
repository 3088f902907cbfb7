// The check of a picked point file: its first line must be the header; the window then shows
// the file's name and its point count.
#pragma once

#include <optional>
#include <string>

#include "run_context.hpp"

namespace scene {

// What the window's two fields show after a successful check.
struct FileCheckResult {
    std::string Text1;  // the file name alone
    std::string Cams;   // the point count as shown in a window
};

// Reads only the first line of folder + separator + fileName. A line without the header marker
// shows "wrong file contents" (error icon) and gives nothing. Throws the failure (with the
// path) when the file cannot be read or its count is no 16-bit integer.
std::optional<FileCheckResult> CheckPointFile(RunContext& run, const std::string& folder,
                                              const std::string& fileName);

}  // namespace scene
