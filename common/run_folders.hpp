// What one run (a command from its start to its end) knows of the folders it reads and writes:
// one listing per folder, so that resolving the letter case of thousands of files in one
// folder lists it once, not once per file; and the folders it has cleaned of the temporary
// files killed runs left. A run owns its RunFolders and hands it to what it reads and writes;
// two runs never share one. Several threads of a run may use it at once.
#pragma once

#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform.hpp"

namespace scene {

class RunFolders {
  public:
    RunFolders() = default;
    RunFolders(const RunFolders&) = delete;
    RunFolders& operator=(const RunFolders&) = delete;

    // ResolveCase (paths.hpp), answered from the folder's listing, made at its first use.
    std::string ResolveCase(const std::string& path);
    // The run made or replaced this file.
    void NoteFileMade(const std::string& path);
    // The file a path names, the same for every spelling of its folder (links resolved); in
    // capitals where the file system ignores letter case.
    std::string Identity(const std::string& path);
    // Removes the leftovers of killed runs from the folder, the first time the run writes
    // there; other writers into the folder wait for it.
    void CleanOnce(const std::string& folder);

  private:
    struct Listing {
        bool Listed = false;  // the folder could not be listed
        std::unordered_map<std::string, std::vector<platform::FolderEntry>> ByUpperName;
    };
    std::string RealFolderOf(const std::string& folder);
    Listing& ListingOf(const std::string& folder);

    std::mutex mutex_;
    std::unordered_map<std::string, std::string> realFolders_;  // folder as spelt: real path
    std::unordered_map<std::string, Listing> listings_;         // by real path
    std::mutex cleanMutex_;
    std::set<std::string> cleaned_;
};

}  // namespace scene
