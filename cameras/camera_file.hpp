// "Create File": a camera definition file beside a point file, one camera per point, each
// starting at its point mirrored through the origin.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "messages.hpp"

namespace scene {

// The path with every ".mgp" (exact case) replaced by ".txt", folder names included.
std::string CameraFilePath(std::string_view pointFilePath);

// Where the camera file of a point file goes: CameraFilePath, or, when that leaves the path
// unchanged, the name's ".mgp" extension in other letter case (site.MGP) replaced by ".txt".
// Nothing when the path would still name the point file itself.
std::optional<std::string> CameraOutputPath(const std::string& pointFilePath);

// The camera's number for point `index` (from 1): 1 gives "01", 10 gives "10".
std::string CameraNumber(long long index);

// Reads the point file folder + separator + fileName and writes its camera file, then shows
// "Done". Nothing is written before every point is read. Throws the failure (with the path
// concerned) when the point file cannot be read, its count exceeds 32767 (overflow) or the
// camera file cannot be written; an existing camera file then stays as it was. A file in the
// camera file's place that is not a camera file is replaced only when the sink's user answers
// yes; no writes nothing and shows nothing more.
void GenerateCameraFile(const std::string& folder, const std::string& fileName, MessageSink& sink);

}  // namespace scene
