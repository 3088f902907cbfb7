// Paths as the tools form them: folder, separator, name, joined as they stand.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scene {

// folder + separator + name; a folder that already ends in a separator gives a doubled one.
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder part of a path ("." when there is none) and the name part.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// The safe writer's hidden temporary file for a target named NAME is ".NAME.tmp-" and six
// letters or digits; NAME is cut (never inside a UTF-8 character) so that the temporary name
// fits wherever the target's name does. The name without those six:
std::string TempNamePrefix(std::string_view name);
// Whether a folder entry's name has that pattern (for any NAME).
bool IsTempName(std::string_view name);
// A new temporary file's path beside the target, its six letters drawn at random.
std::string TempPathBeside(const std::string& target);

class RunFolders;

// On a file system that tells letter case apart: when the exact name is absent, the path of
// the file of that folder whose name equals it ignoring case; otherwise the path unchanged.
// With a run's folders (run_folders.hpp) each folder is listed once per run.
std::string ResolveCase(const std::string& path, RunFolders* run = nullptr);
// Of the folder's files whose names equal the path's name ignoring case, the first in byte
// order; the path unchanged when there is none.
std::string PickCaseVariant(const std::string& path, std::vector<std::string> candidates);

// Pattern matching of the file lists: "*" and "?" wildcards, letter case ignored.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The names of a folder's entries that are files (or links to files), and those of its
// subfolders, unsorted; both throw the failure as platform::ListFolder does.
std::vector<std::string> ListFileNames(const std::string& folder);
std::vector<std::string> ListFolderNames(const std::string& folder);

// The files of a folder that match the pattern, sorted ignoring letter case, as a file list
// shows them. Throws the failure when the folder cannot be listed.
std::vector<std::string> ListMatchingFiles(const std::string& folder, std::string_view pattern);

// A folder path made absolute (from the current folder) and plain: no ".", "..", doubled or
// trailing separators, except the root's own ("/", "c:\").
std::string NormalFolder(const std::string& path);

// The folder and its parents from the root down: "/a/b" gives "/", "/a", "/a/b".
std::vector<std::string> FolderChain(const std::string& folder);

// A subfolder's path: no separator is added after a root that already ends in one.
std::string SubfolderPath(const std::string& folder, const std::string& name);

}  // namespace scene
