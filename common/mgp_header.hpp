// The header line of a point file: "number_points=" and the count.
#pragma once

#include <string>
#include <string_view>

namespace scene {

inline constexpr std::string_view kMgpMarker = "number_points=";

// True when the line holds the marker anywhere (exact case).
bool IsMgpHeader(std::string_view line);

// The line with every marker removed and nothing else changed: "number_points=12" gives "12".
std::string MgpCountText(std::string_view line);

}  // namespace scene
