// "Create File": a camera definition file beside a point file, one camera per point, each
// starting at its point mirrored through the origin.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run_context.hpp"

namespace scene {

// Shown when the camera file would have the point file's own name.
inline constexpr std::string_view kWouldReplace = "The camera file would replace the point file";

// The first line of every camera file.
inline constexpr std::string_view kCameraFileHead = "//////////CAMERAS///////////";

// Asked before the camera file replaces a file that is not a camera file (a TSO list, say).
inline constexpr std::string_view kReplaceQuestion =
    "The camera file would replace a file that is not a camera file. Replace it?";

// The path with every ".mgp" (exact case) replaced by ".txt", folder names included.
std::string CameraFilePath(std::string_view pointFilePath);

// Where the camera file of a point file goes: CameraFilePath, or, when that leaves the path
// unchanged, the name's ".mgp" extension in other letter case (site.MGP) replaced by ".txt".
// Nothing when the path would still name the point file itself.
std::optional<std::string> CameraOutputPath(const std::string& pointFilePath);

// The camera's number for point `index` (from 1): 1 gives "01", 10 gives "10".
std::string CameraNumber(long long index);

// Where a camera starts: its point mirrored through the origin.
struct CameraStart {
    double X = 0, Y = 0, Z = 0;
    long Line = 0;  // the point file's line it was read from
};

// The cameras of a point file: as many as its header announces (0 without a header), and the
// starts of those whose point lines were read, in order; reading stops at a blank line.
struct CameraPoints {
    long long Count = 0;
    std::vector<CameraStart> Starts;
};

// Reads the point file. Throws the failure (with its path) when it cannot be read, a point line
// is not three numbers, or its count exceeds 32767 (overflow).
CameraPoints ReadCameraPoints(RunFiles& files, const std::string& pointPath);

// Reads the point file folder + separator + fileName and writes its camera file, then shows
// "Done". Nothing is written before every point is read. Throws the failure (with the path
// concerned) when the point file cannot be read, its count exceeds 32767 (overflow) or the
// camera file cannot be written; an existing camera file then stays as it was. A file in the
// camera file's place that is not a camera file (it does not begin with kCameraFileHead) is
// replaced only when the sink answers yes to kReplaceQuestion; no writes nothing and shows
// nothing more.
void GenerateCameraFile(RunContext& run, const std::string& folder, const std::string& fileName);

}  // namespace scene
