#include "run_folders.hpp"

#include <algorithm>

#include "paths.hpp"
#include "strings.hpp"

namespace scene {

std::string RunFolders::RealFolderOf(const std::string& folder) {
    auto known = realFolders_.find(folder);
    if (known != realFolders_.end()) return known->second;
    std::string real = platform::RealFolder(folder);
    // A folder that is not there yet (the output folder before it is made) is asked again.
    if (real != folder || platform::IsDirectory(folder)) realFolders_.emplace(folder, real);
    return real;
}

RunFolders::Listing& RunFolders::ListingOf(const std::string& folder) {
    auto [at, made] = listings_.try_emplace(RealFolderOf(folder));
    Listing& listing = at->second;
    if (!made) return listing;
    try {
        for (platform::FolderEntry& entry : platform::ListFolder(folder))
            listing.ByUpperName[UpperCase(entry.Name)].push_back(std::move(entry));
        listing.Listed = true;
    } catch (const Failure&) {
        // Not listed: every name in it resolves to itself, as without a listing.
    }
    return listing;
}

std::string RunFolders::ResolveCase(const std::string& path) {
    if (kNamesIgnoreCase) return path;
    const std::string name = NameOf(path);
    // Neither "." nor ".." is listed; an empty name is the folder itself.
    if (name.empty() || name == "." || name == "..") return path;
    std::lock_guard lock(mutex_);
    const Listing& listing = ListingOf(FolderOf(path));
    auto sameName = listing.ByUpperName.find(UpperCase(name));
    if (sameName == listing.ByUpperName.end()) return path;
    std::vector<std::string> candidates;
    for (const platform::FolderEntry& entry : sameName->second) {
        if (entry.Name == name && entry.Kind != platform::EntryKind::Missing) return path;
        if (entry.Kind != platform::EntryKind::Folder) candidates.push_back(entry.Name);
    }
    return PickCaseVariant(path, std::move(candidates));
}

void RunFolders::NoteFileMade(const std::string& path) {
    const std::string name = NameOf(path);
    std::lock_guard lock(mutex_);
    auto at = listings_.find(RealFolderOf(FolderOf(path)));
    if (at == listings_.end() || !at->second.Listed) return;  // listed when first used
    std::vector<platform::FolderEntry>& sameName = at->second.ByUpperName[UpperCase(name)];
    for (platform::FolderEntry& entry : sameName) {
        if (entry.Name == name) {
            entry.Kind = platform::EntryKind::File;
            return;
        }
    }
    sameName.push_back({name, platform::EntryKind::File});
}

std::string RunFolders::Identity(const std::string& path) {
    std::lock_guard lock(mutex_);
    std::string identity = JoinPath(RealFolderOf(FolderOf(path)), NameOf(path));
    if (kNamesIgnoreCase) identity = platform::NameKey(identity);
    return identity;
}

void RunFolders::CleanOnce(const std::string& folder) {
    std::lock_guard hold(cleanMutex_);
    if (cleaned_.insert(folder).second) platform::RemoveLeftoverTemps(folder);
}

}  // namespace scene
