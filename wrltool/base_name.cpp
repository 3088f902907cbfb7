#include "base_name.hpp"

#include "strings.hpp"

std::string BaseName(std::string_view modelFileName) {
    return ReplaceAll(modelFileName, ".wrl", "");
}
