#include "run_files.hpp"

#include <algorithm>

#include "path_syntax.hpp"
#include "strings.hpp"
#include "system.hpp"

namespace scene {

std::string RunFiles::RealFolderOf(const std::string& folder) {
    auto known = realFolders_.find(folder);
    if (known != realFolders_.end()) return known->second;
    std::string real = system_.RealFolder(folder);
    // A folder that is not there yet (the output folder before it is made) is asked again.
    if (real != folder || system_.StateOf(folder).Folder) realFolders_.emplace(folder, real);
    return real;
}

RunFiles::Listing& RunFiles::ListingOf(const std::string& folder) {
    auto [at, made] = listings_.try_emplace(RealFolderOf(folder));
    Listing& listing = at->second;
    if (!made) return listing;
    try {
        for (platform::FolderEntry& entry : system_.ListFolder(folder))
            listing.ByKey[UpperCase(entry.Name)].push_back(std::move(entry));
        listing.Listed = true;
    } catch (const Failure&) {
        // Not listed: every name in it resolves to itself, as without a listing.
    }
    return listing;
}

std::string RunFiles::ResolveCase(const std::string& path) {
    if (kNamesIgnoreCase) return path;  // the file system finds the name itself
    const std::string name = NameOf(path);
    // Neither "." nor ".." is listed; an empty name is the folder itself.
    if (name.empty() || name == "." || name == "..") return path;
    std::lock_guard lock(mutex_);
    const Listing& listing = ListingOf(FolderOf(path));
    auto sameName = listing.ByKey.find(UpperCase(name));
    if (sameName == listing.ByKey.end()) return path;
    std::vector<std::string> candidates;
    for (const platform::FolderEntry& entry : sameName->second) {
        if (entry.Name == name && entry.Kind != platform::EntryKind::Missing) return path;
        if (entry.Kind != platform::EntryKind::Folder) candidates.push_back(entry.Name);
    }
    if (candidates.empty()) return path;
    // Several: the first in byte order, every time.
    const std::string& chosen = *std::min_element(candidates.begin(), candidates.end());
    return path.substr(0, path.size() - name.size()) + chosen;
}

std::string RunFiles::Identity(const std::string& path) {
    std::lock_guard lock(mutex_);
    const std::string identity = JoinPath(RealFolderOf(FolderOf(path)), NameOf(path));
    return kNamesIgnoreCase ? platform::NameKey(identity) : identity;
}

void RunFiles::NoteFile(const std::string& path, platform::EntryKind kind) {
    const std::string name = NameOf(path);
    std::lock_guard lock(mutex_);
    auto at = listings_.find(RealFolderOf(FolderOf(path)));
    if (at == listings_.end() || !at->second.Listed) return;  // listed when first used
    std::vector<platform::FolderEntry>& sameName = at->second.ByKey[UpperCase(name)];
    for (platform::FolderEntry& entry : sameName) {
        if (entry.Name == name) {
            entry.Kind = kind;
            return;
        }
    }
    sameName.push_back({name, kind});
}

std::unique_ptr<platform::ReadableFile> RunFiles::OpenForReading(const std::string& path) {
    return system_.OpenForReading(ResolveCase(path));
}

std::unique_ptr<platform::ReadableFile> RunFiles::OpenLocked(const std::string& path) {
    return system_.OpenLocked(ResolveCase(path));
}

std::shared_ptr<platform::Folder> RunFiles::FolderFor(const std::string& folder) {
    std::lock_guard lock(foldersMutex_);
    std::shared_ptr<platform::Folder>& held = folders_[folder];
    if (!held) {
        held = system_.OpenFolder(folder);
        held->RemoveLeftovers();
    }
    return held;
}

std::unique_ptr<platform::WritableFile> RunFiles::CreateIn(const std::string& target,
                                                           platform::Durability durability,
                                                           platform::ReadableFile* replaced) {
    std::shared_ptr<platform::Folder> folder;
    try {
        folder = FolderFor(FolderOf(target));
    } catch (const Failure& failure) {  // a missing folder: the file's path is not found
        throw Failure(failure.Kind(), target, failure.Reason());
    }
    return folder->Create(NameOf(target), durability, replaced);
}

std::unique_ptr<platform::WritableFile> RunFiles::Create(const std::string& target,
                                                         platform::Durability durability) {
    return CreateIn(ResolveCase(target), durability, nullptr);
}

std::unique_ptr<platform::WritableFile> RunFiles::CreateReplacing(platform::ReadableFile& locked) {
    return CreateIn(locked.Path(), platform::Durability::UserFile, &locked);
}

void RunFiles::NoteFileMade(const std::string& path) {
    NoteFile(path, platform::EntryKind::File);
}

void RunFiles::CreateFolder(const std::string& path) {
    system_.CreateFolder(path);
    NoteFile(path, platform::EntryKind::Folder);
}

}  // namespace scene
