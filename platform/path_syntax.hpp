// How paths are spelt on the system at hand: the separator, the root, a folder and a name joined
// as they stand.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scene {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";  // both separate on Windows
inline constexpr bool kNamesIgnoreCase = true;  // the file system compares names so itself
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr bool kNamesIgnoreCase = false;
#endif

// The longest file name (without its folder) that the tools write, in bytes; every system they
// run on holds 255 (Windows: 255 UTF-16 units, which 255 bytes never exceed).
inline constexpr size_t kNameMax = 255;

inline bool IsPathSeparator(char c) {
    return kPathSeparators.find(c) != std::string_view::npos;
}

// The length of the root at the start of an absolute path ("/", "c:\\", "\\\\" of a server
// path); 0 for a relative one.
size_t RootLength(std::string_view path);

// folder + separator + name; a folder that already ends in a separator gives a doubled one.
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder part of a path ("." when there is none) and the name part.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

}  // namespace scene
