// The file-system calls that differ between platforms; everything else is portable C++.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "failure.hpp"

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

namespace platform {

// The failure that a failed open/create with this errno value stands for.
FailureKind FailureFromErrno(int err, const std::string& path);

bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
// An existing file that must not be written: no write permission bit, or no write access.
bool IsReadOnlyFile(const std::string& path);

// What a folder entry is: a folder, a file (anything else that is there), or an entry that
// cannot be examined (a link to nothing, an entry of a folder that may be listed but not
// searched).
enum class EntryKind { File, Folder, Missing };
struct FolderEntry {
    std::string name;
    EntryKind kind;
};
// The entries of a folder, unsorted, without "." and ".."; throws the failure when the folder
// cannot be listed.
std::vector<FolderEntry> ListFolder(const std::string& folder);

// The names of the entries of a folder that are files (or links to files), unsorted.
std::vector<std::string> ListFileNames(const std::string& folder);
// The names of the subfolders, unsorted, without "." and "..".
std::vector<std::string> ListFolderNames(const std::string& folder);

// The folder's path with links, "." and ".." resolved; the path as given when that fails.
std::string RealFolder(const std::string& folder);

// What tells whether a file was changed or replaced: its identity, size and times.
struct FileStamp {
    std::array<uint64_t, 5> fields{};
    bool operator==(const FileStamp&) const = default;
};
// Empty when the path names nothing.
std::optional<FileStamp> StampOf(const std::string& path);

// Creates one folder; throws the failure when it cannot (also when it exists).
void CreateFolder(const std::string& path);

// Opens a regular file for binary reading; throws the failure (access failure for a folder,
// a FIFO or a device).
std::FILE* OpenForReading(const std::string& path);

// A new hidden file ".NAME.tmp-XXXXXX" beside the target, opened for binary writing.
struct TempFile {
    std::FILE* file = nullptr;
    std::string path;
};
TempFile CreateTempBeside(const std::string& target);

// Gives the temporary file the target's permission bits when the target exists, else the
// bits a newly created file would get.
void MatchPermissions(const TempFile& temp, const std::string& target);
// Flushes the file's data to the disk (not only to the system).
bool FlushToDisk(std::FILE* file);
// Puts the temporary file in place of the target in one step; `durable` also syncs the folder.
bool ReplaceWithTemp(const std::string& temp, const std::string& target, bool durable);
// Makes the folder's entries (renames in it) last on disk.
void SyncFolder(const std::string& folder);
void RemoveFile(const std::string& path);

// The program's current folder.
std::string CurrentFolder();

// Whether the stream is a terminal (not a pipe or a file).
bool IsTerminal(std::FILE* stream);

}  // namespace platform
