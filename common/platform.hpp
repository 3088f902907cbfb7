// The file-system calls that differ between platforms; everything else is portable C++.
//
// How each call fails is said with it, in one of three ways: "throws the failure" (a Failure
// naming the path), "false when ..." (a bool; the call throws nothing of its own), or "best
// effort" (a failure is ignored on purpose: nothing the caller does depends on it). Calls that
// say none of these cannot fail, apart from running out of memory.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "failure.hpp"

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

namespace platform {

// A C stream that closes itself when its owner goes.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The length of the root at the start of an absolute path ("/", "c:\\", "\\\\" of a server
// path); 0 for a relative one.
size_t RootLength(std::string_view path);

// Whether the path names something (a folder); false also when it cannot be examined.
bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
// What stands where a writer is to put its file, found in one look.
struct TargetState {
    bool Exists = false;
    bool Folder = false;
    // A file that must not be written: no write permission bit, or no write access.
    bool ReadOnly = false;
    uint32_t Permissions = 0;  // of an existing file: its permission bits (Windows: attributes)
};
TargetState StateOf(const std::string& path);

// What a folder entry is: a folder, a file (anything else that is there), or an entry that
// cannot be examined (a link to nothing, an entry of a folder that may be listed but not
// searched).
enum class EntryKind { File, Folder, Missing };
struct FolderEntry {
    std::string Name;
    EntryKind Kind;
};
// The entries of a folder, unsorted, without "." and ".."; throws the failure when the folder
// cannot be listed.
std::vector<FolderEntry> ListFolder(const std::string& folder);

// A name's key for finding files letter case aside: equal keys stand for the same file of a
// folder. On Windows the name's UTF-16 form in capitals, as UTF-8 (so a Windows-1252 name
// matches its UTF-8 spelling); elsewhere the bytes with ASCII letters in capitals.
std::string NameKey(std::string_view name);

// The folder's path with links, "." and ".." resolved; the path as given when that fails.
std::string RealFolder(const std::string& folder);

// What tells whether a file was changed or replaced: its identity, size and times.
struct FileStamp {
    std::array<uint64_t, 5> Fields{};
    bool operator==(const FileStamp&) const = default;
};

// Creates one folder; throws the failure when it cannot (also when it exists).
void CreateFolder(const std::string& path);

// Opens a regular file for binary reading, and gives the opened file's stamp when asked;
// throws the failure (access failure for a folder, a FIFO or a device), with the system's
// reason when the system refused.
FileHandle OpenForReading(const std::string& path, std::optional<FileStamp>* stamp = nullptr);

// OpenForReading, holding an exclusive lock on the file until it is closed (flock; on Windows
// LockFileEx, which keeps other programs from reading it meanwhile). Waits while another
// program holds the lock; the file is then opened again if it was replaced meanwhile, so the
// caller reads the file that the path names once the lock is held. A file system without
// locks gives the file unlocked.
FileHandle OpenLockedForRewrite(const std::string& path);

// Throws the failure that creating a file for the target in the folder would raise, creating
// nothing: a folder that takes no new file, a name longer than the system holds (Windows:
// refusals by access lists are not foreseen).
void CheckCanCreateIn(const std::string& folder, const std::string& target);

// A new hidden file TempPathBeside(target) names, opened for binary writing with the
// permissions a plain new file gets. While it is open no other run removes it as a leftover:
// on POSIX it holds an advisory lock (flock), on Windows it is not shared for deleting.
struct TempFile {
    FileHandle File;  // null once closed
    std::string Path;
};
// Creates the file at `path` (which must not exist); throws the failure when it cannot, with
// `target` as its path. Returns false, creating nothing, when the name is taken.
bool CreateTemp(const std::string& path, const std::string& target, TempFile& temp);

// Gives the temporary file the permissions of the target it replaces, when there is one. Best
// effort: a file system that keeps no such bits refuses, and the file is still written.
void MatchPermissions(const TempFile& temp, const TargetState& target);
// Flushes the file's data to the disk (not only to the system); false when that fails.
bool FlushToDisk(std::FILE* file);
// Closes the temporary file and puts it in place of the target in one step, holding its lock
// until then; false (and the temporary file removed) when the close or the rename fails.
// `lockedTarget`: the target, open with OpenLockedForRewrite, whose lock is held through the
// rename where the system allows it (Windows may close it first to replace it).
bool CloseAndReplace(TempFile& temp, const std::string& target, FileHandle* lockedTarget = nullptr);
// Removes a temporary file that is still open; on Windows the file goes when it is closed, or
// when the process ends. Does not close it. Best effort: a file left behind is a leftover
// that the next run into the folder removes.
void RemoveOpenTemp(const TempFile& temp);
// Removes the temporary files of the folder that no writer has open any more: those left by a
// killed run. Nothing else, and no temporary file of a run still going. Best effort: a folder
// that cannot be listed, or a file that cannot be removed, is passed over.
void RemoveLeftoverTemps(const std::string& folder);
// Makes the folder's entries (renames in it) last on disk. Best effort: not every file system
// can sync a folder.
void SyncFolder(const std::string& folder);

// The program's arguments (argv[0] first) as bytes: on Windows its UTF-16 command line as
// UTF-8, as names come back from the system (the 8-bit argv holds only what the ANSI code page
// can); elsewhere argv as it is. On a Windows console, printed text is then shown as UTF-8 too.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The root folders of the machine's volumes: on Windows each drive letter's ("C:\"), in the
// order of the letters; elsewhere the mounted file systems' (MountedRoots) that are folders,
// "/" alone when the mount table cannot be read.
std::vector<std::string> VolumeRoots();

// The program's current folder; when it cannot be had, the root folder ("/", or "c:\\" on
// Windows).
std::string CurrentFolder();

// Whether the stream is a terminal (not a pipe or a file).
bool IsTerminal(std::FILE* stream);

// Calls `onInterrupt` with the exit status shells expect (130 SIGINT, 143 SIGTERM, 129 SIGHUP)
// when one of those signals arrives; on Windows for the console's control events (Ctrl+C and
// Ctrl+Break 130, closing the console 129, logoff and shutdown 143). It runs on a thread of its
// own, never inside a signal handler, and must end the program. A signal ignored when the
// program starts (nohup, a background job) stays ignored. Call before any thread starts.
// Best effort: without signals to watch the program simply ends as the system ends it.
void WatchInterrupts(void (*onInterrupt)(int status));

}  // namespace platform

}  // namespace scene
