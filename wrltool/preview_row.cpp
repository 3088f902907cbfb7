#include "preview_row.hpp"

#include <algorithm>

#include "placement_sources.hpp"

namespace scene {

int PreviewRow(const std::vector<std::string>& shown, int index, const std::string& name) {
    int byPosition = -1;
    for (size_t row = 0, placements = 0; row < shown.size(); ++row) {
        TsoRecord record;
        record.Name = shown[row];
        if (IsTsoComment(record)) continue;
        if (placements++ == static_cast<size_t>(index)) {
            byPosition = static_cast<int>(row);
            break;
        }
    }
    if (byPosition >= 0 && shown[static_cast<size_t>(byPosition)] == name) return byPosition;
    const auto named = std::find(shown.begin(), shown.end(), name);
    return named != shown.end() ? static_cast<int>(named - shown.begin()) : byPosition;
}

}  // namespace scene
