// The files of one run (a command from its start to its end) on a file system. Each folder is
// listed once, so that the letter case of thousands of files in one folder is resolved against
// one listing; each folder written into is held open once and cleaned once of the temporary
// files killed runs left. A run owns its RunFiles; several threads of it may use it at once.
#pragma once

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "file_system.hpp"

namespace scene {

class RunFiles {
  public:
    explicit RunFiles(platform::FileSystem& system) : system_(system) {}
    RunFiles(const RunFiles&) = delete;
    RunFiles& operator=(const RunFiles&) = delete;

    platform::FileSystem& System() const { return system_; }

    // On a file system that tells letter case apart: when the exact name is absent, the path of
    // the file of that folder whose name equals it ignoring case (the first in byte order when
    // there are several); otherwise the path unchanged.
    std::string ResolveCase(const std::string& path);
    // The file a path names, the same for every spelling of its folder (links resolved) and, where
    // the file system ignores letter case, of its name.
    std::string Identity(const std::string& path);

    // The file, letter case resolved, opened for reading; or locked for a rewrite.
    std::unique_ptr<platform::ReadableFile> OpenForReading(const std::string& path);
    std::unique_ptr<platform::ReadableFile> OpenLocked(const std::string& path);

    // A new file for the target (letter case resolved), written through its folder's handle.
    // A run's first file in a folder removes the leftovers of killed runs there.
    std::unique_ptr<platform::WritableFile> Create(const std::string& target,
                                                   platform::Durability durability);
    // A new file to replace a user's file that the run holds locked (OpenLocked).
    std::unique_ptr<platform::WritableFile> CreateReplacing(platform::ReadableFile& locked);

    // The run made or replaced this file (a committed new file).
    void NoteFileMade(const std::string& path);
    // Creates one folder; throws the failure when it cannot (also when it exists).
    void CreateFolder(const std::string& path);

  private:
    struct Listing {
        bool Listed = false;  // false: the folder could not be listed
        std::unordered_map<std::string, std::vector<platform::FolderEntry>> ByKey;
    };
    std::unique_ptr<platform::WritableFile> CreateIn(const std::string& target,
                                                     platform::Durability durability,
                                                     platform::ReadableFile* replaced);
    std::string RealFolderOf(const std::string& folder);
    Listing& ListingOf(const std::string& folder);
    void NoteFile(const std::string& path, platform::EntryKind kind);
    std::shared_ptr<platform::Folder> FolderFor(const std::string& folder);

    platform::FileSystem& system_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::string> realFolders_;  // folder as spelt: real path
    std::unordered_map<std::string, Listing> listings_;         // by real path
    std::mutex foldersMutex_;  // opening a folder lists and cleans it: not under `mutex_`
    std::unordered_map<std::string, std::shared_ptr<platform::Folder>> folders_;  // as spelt
};

}  // namespace scene
