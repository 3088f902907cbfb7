// Paths and names for Windows' wide calls: a path's bytes as UTF-16 (Utf16Path), and a name the
// system gave back as bytes (Utf8Name).
#pragma once

#include <string>
#include <string_view>

#include "name_encoding.hpp"

namespace scene::platform {

inline std::wstring Wide(const std::string& path) {
    const std::u16string name = Utf16Path(path);
    return std::wstring(name.begin(), name.end());
}

inline std::string Bytes(const wchar_t* name) {
    const std::wstring_view wide(name);
    return Utf8Name(std::u16string(wide.begin(), wide.end()));
}

}  // namespace scene::platform
