#include "mgp_header.hpp"

#include "strings.hpp"

namespace scene {

bool IsMgpHeader(std::string_view line) {
    return Contains(line, kMgpMarker);
}

std::string MgpCountText(std::string_view line) {
    return ReplaceAll(line, kMgpMarker, "");
}

}  // namespace scene
