#include "base_name.hpp"

#include "strings.hpp"

namespace scene {

std::string BaseName(std::string_view modelFileName) {
    return ReplaceAll(modelFileName, ".wrl", "");
}

}  // namespace scene
