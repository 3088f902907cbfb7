#include "path_syntax.hpp"

namespace scene {

size_t RootLength(std::string_view path) {
    if constexpr (kPathSeparator == '\\') {
        if (path.size() >= 3 && path[1] == ':' && IsPathSeparator(path[2])) return 3;
        if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]))
            return 2;  // \\server
    }
    return !path.empty() && IsPathSeparator(path[0]) ? 1 : 0;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    path += kPathSeparator;
    path.append(name);
    return path;
}

std::string FolderOf(const std::string& path) {
    const size_t at = path.find_last_of(kPathSeparators);
    if (at == std::string::npos) return ".";
    // A file in a root folder ("/", "c:\") is in the root itself.
    const size_t root = RootLength(path);
    return path.substr(0, at < root ? root : at);
}

std::string NameOf(const std::string& path) {
    const size_t at = path.find_last_of(kPathSeparators);
    return at == std::string::npos ? path : path.substr(at + 1);
}

}  // namespace scene
