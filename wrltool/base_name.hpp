// The name of a model file without its extension, as copies and exporter seams use it.
#pragma once

#include <string>
#include <string_view>

namespace scene {

// Every ".wrl" removed, exact case: house.wrl gives house, a.wrl.wrl gives a, HOUSE.WRL stays.
std::string BaseName(std::string_view modelFileName);

}  // namespace scene
