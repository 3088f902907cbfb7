// One listing per folder for the length of a run. While a RunListings lives, ResolveCase
// answers from it instead of listing the folder again for every file (which made a run of
// thousands of copies into one folder quadratic), and the safe writer adds each file it makes.
// Several threads may use it at once.
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform.hpp"

namespace scene {

class RunListings {
  public:
    RunListings();  // ResolveCase uses this one until it is destroyed
    ~RunListings();
    RunListings(const RunListings&) = delete;
    RunListings& operator=(const RunListings&) = delete;

    // The listings of the run under way, or nullptr.
    static RunListings* Active();

    // ResolveCase (paths.hpp), answered from the folder's listing, which is made at its first
    // use.
    std::string ResolveCase(const std::string& path);
    // The run made or replaced this file.
    void NoteFileMade(const std::string& path);
    // The file a path names, the same for every spelling of its folder (links resolved); in
    // capitals where the file system ignores letter case.
    std::string Identity(const std::string& path);

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
    RunListings* previous_;
};

// Tells the active run's listings, if any, that this file was made or replaced.
void NoteFileMade(const std::string& path);

}  // namespace scene
