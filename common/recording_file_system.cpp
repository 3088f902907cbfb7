#include "recording_file_system.hpp"

#include <algorithm>
#include <cstring>

#include "path_syntax.hpp"

namespace scene {

namespace {

// A file the recorded run made, read back from memory.
class MadeFileReader : public platform::ReadableFile {
  public:
    MadeFileReader(std::string path, std::string bytes)
        : ReadableFile(std::move(path)), bytes_(std::move(bytes)) {}
    size_t Read(char* to, size_t size) override {
        const size_t n = std::min(size, bytes_.size() - at_);
        std::memcpy(to, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }
    void Rewind() override { at_ = 0; }
    platform::ContentStamp Stamp() override { return {bytes_.size(), 0}; }

  private:
    std::string bytes_;
    size_t at_ = 0;
};

// A file the recorded run writes: its bytes are kept only when the run may read them again.
class RecordedFile : public platform::WritableFile {
  public:
    RecordedFile(RecordingFileSystem& files, std::string target, bool replacesFile, bool keep)
        : WritableFile(std::move(target)), files_(files), replaces_(replacesFile), keep_(keep) {}
    void Write(std::string_view bytes) override {
        if (keep_) bytes_.append(bytes);
    }
    void Commit() override { files_.Made(Target(), std::move(bytes_), keep_); }
    bool ReplacesFile() const override { return replaces_; }
    bool KeepsContent() const override { return keep_; }

  private:
    RecordingFileSystem& files_;
    std::string bytes_;
    bool replaces_;
    bool keep_;
};

class RecordedFolder : public platform::Folder {
  public:
    RecordedFolder(RecordingFileSystem& files, std::string path)
        : Folder(std::move(path)), files_(files) {}

    std::unique_ptr<platform::WritableFile> Create(const std::string& name, platform::Durability,
                                                   platform::ReadableFile*) override {
        const std::string target = JoinPath(Path(), name);
        const platform::TargetState state = files_.StateOf(target);
        if (state.Folder || state.ReadOnly) throw Failure(FailureKind::AccessFailure, target);
        files_.CheckCanCreate(Path(), name);
        return std::make_unique<RecordedFile>(files_, target, state.Exists, files_.WasRead(target));
    }
    void RemoveLeftovers() override {}

  private:
    RecordingFileSystem& files_;
};

}  // namespace

bool RecordingFileSystem::IsMadeFolder(const std::string& path) {
    std::lock_guard lock(mutex_);
    return folders_.contains(path);
}

std::string RecordingFileSystem::ExistingAncestor(std::string folder) {
    while (IsMadeFolder(folder)) folder = FolderOf(folder);
    return folder;
}

void RecordingFileSystem::Made(const std::string& path, std::string bytes, bool kept) {
    std::lock_guard lock(mutex_);
    files_[path] = {std::move(bytes), kept};
}

bool RecordingFileSystem::WasRead(const std::string& path) {
    std::lock_guard lock(mutex_);
    return read_.contains(path);
}

std::unique_ptr<platform::ReadableFile> RecordingFileSystem::OpenForReading(
    const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        read_.insert(path);
        auto made = files_.find(path);
        if (made != files_.end() && made->second.Kept)
            return std::make_unique<MadeFileReader>(path, made->second.Bytes);
    }
    return system_.OpenForReading(path);
}

platform::TargetState RecordingFileSystem::StateOf(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        if (folders_.contains(path)) return {true, true, false};
        if (files_.contains(path)) return {true, false, false};
    }
    return system_.StateOf(path);
}

std::vector<platform::FolderEntry> RecordingFileSystem::ListFolder(const std::string& folder) {
    std::vector<platform::FolderEntry> entries;
    if (!IsMadeFolder(folder)) entries = system_.ListFolder(folder);
    std::lock_guard lock(mutex_);
    auto add = [&](const std::string& path, platform::EntryKind kind) {
        if (FolderOf(path) != folder) return;
        const std::string name = NameOf(path);
        auto same = [&](const platform::FolderEntry& e) { return e.Name == name; };
        if (std::none_of(entries.begin(), entries.end(), same)) entries.push_back({name, kind});
    };
    for (const std::string& made : folders_) add(made, platform::EntryKind::Folder);
    for (const auto& [made, file] : files_) add(made, platform::EntryKind::File);
    return entries;
}

std::string RecordingFileSystem::RealFolder(const std::string& folder) {
    if (!IsMadeFolder(folder)) return system_.RealFolder(folder);
    return JoinPath(RealFolder(FolderOf(folder)), NameOf(folder));
}

void RecordingFileSystem::CreateFolder(const std::string& path) {
    // As the system would: an existing entry, or a parent that takes no new entry, fails.
    if (StateOf(path).Exists) throw Failure(FailureKind::AccessFailure, path);
    const std::string parent = FolderOf(path);
    if (!StateOf(parent).Folder) throw Failure(FailureKind::PathNotFound, path);
    try {
        if (!IsMadeFolder(parent)) system_.CheckCanCreate(parent, NameOf(path));
    } catch (const Failure& failure) {  // the system names the folder it cannot make
        throw Failure(failure.Kind(), path, failure.Reason());
    }
    std::lock_guard lock(mutex_);
    folders_.insert(path);
}

std::shared_ptr<platform::Folder> RecordingFileSystem::OpenFolder(const std::string& path) {
    if (!StateOf(path).Folder) throw Failure(FailureKind::PathNotFound, path);
    return std::make_shared<RecordedFolder>(*this, path);
}

void RecordingFileSystem::CheckCanCreate(const std::string& folder, const std::string& name) {
    if (!IsMadeFolder(folder)) return system_.CheckCanCreate(folder, name);
    // A folder the run made takes any name its file system holds: that of the folder it is in.
    try {
        system_.CheckCanCreate(ExistingAncestor(folder), name);
    } catch (const Failure& failure) {
        if (failure.Kind() == FailureKind::AccessFailure)
            throw Failure(failure.Kind(), JoinPath(folder, name), failure.Reason());
    }
}

}  // namespace scene
