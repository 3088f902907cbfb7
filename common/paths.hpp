// Paths as the tools form them and the file lists show them: folder, separator, name, joined as
// they stand; names matched to a pattern; folders made plain.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file_system.hpp"
#include "path_syntax.hpp"

namespace scene {

// Pattern matching of the file lists: "*" and "?" wildcards, letter case ignored.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The names of a folder's entries that are files (or links to files), and those of its
// subfolders, unsorted; both throw the failure when the folder cannot be listed.
std::vector<std::string> ListFileNames(platform::FileSystem& files, const std::string& folder);
std::vector<std::string> ListFolderNames(platform::FileSystem& files, const std::string& folder);

// The files of a folder that match the pattern, sorted ignoring letter case, as a file list
// shows them. Throws the failure when the folder cannot be listed.
std::vector<std::string> ListMatchingFiles(platform::FileSystem& files, const std::string& folder,
                                           std::string_view pattern);

// A folder path made absolute (from the current folder) and plain: no ".", "..", doubled or
// trailing separators, except the root's own ("/", "c:\").
std::string NormalFolder(const std::string& path);

// The folder and its parents from the root down: "/a/b" gives "/", "/a", "/a/b".
std::vector<std::string> FolderChain(const std::string& folder);

// A subfolder's path: no separator is added after a root that already ends in one.
std::string SubfolderPath(const std::string& folder, const std::string& name);

}  // namespace scene
