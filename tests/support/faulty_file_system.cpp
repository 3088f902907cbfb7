#include "faulty_file_system.hpp"

namespace scene {

namespace {

class FaultyRead : public platform::ReadableFile {
  public:
    FaultyRead(FaultyFileSystem& files, std::unique_ptr<platform::ReadableFile> file)
        : ReadableFile(file->Path()), files_(files), file_(std::move(file)) {}
    size_t Read(char* to, size_t size) override {
        const size_t n = file_->Read(to, size);
        if (n > 0) files_.Read(Path());
        return n;
    }
    void Rewind() override { file_->Rewind(); }
    platform::ContentStamp Stamp() override {
        files_.Stamping(Path());
        return file_->Stamp();
    }

  private:
    FaultyFileSystem& files_;
    std::unique_ptr<platform::ReadableFile> file_;
};

class FaultyWrite : public platform::WritableFile {
  public:
    FaultyWrite(FaultyFileSystem& files, std::unique_ptr<platform::WritableFile> file)
        : WritableFile(file->Target()), files_(files), file_(std::move(file)) {}
    void Write(std::string_view bytes) override {
        files_.Wrote(bytes.size(), Target());
        file_->Write(bytes);
    }
    void Commit() override {
        if (files_.CommitRefused(Target()))
            throw Failure(FailureKind::AccessFailure, Target(), "refused by the test");
        file_->Commit();
    }
    bool ReplacesFile() const override { return file_->ReplacesFile(); }

  private:
    FaultyFileSystem& files_;
    std::unique_ptr<platform::WritableFile> file_;
};

class FaultyFolder : public platform::Folder {
  public:
    FaultyFolder(FaultyFileSystem& files, std::shared_ptr<platform::Folder> folder)
        : Folder(folder->Path()), files_(files), folder_(std::move(folder)) {}
    std::unique_ptr<platform::WritableFile> Create(const std::string& name,
                                                   platform::Durability durability,
                                                   platform::ReadableFile* replaced) override {
        // The system's own file replaced, not the test's wrapper of it.
        (void)replaced;
        return std::make_unique<FaultyWrite>(files_, folder_->Create(name, durability, nullptr));
    }
    void RemoveLeftovers() override { folder_->RemoveLeftovers(); }

  private:
    FaultyFileSystem& files_;
    std::shared_ptr<platform::Folder> folder_;
};

}  // namespace

void FaultyFileSystem::RefuseOpen(const std::string& path) {
    std::lock_guard lock(mutex_);
    refusedOpens_.insert(path);
}

void FaultyFileSystem::RefuseCommit(const std::string& target) {
    std::lock_guard lock(mutex_);
    refusedCommits_.insert(target);
}

void FaultyFileSystem::ChangeWhileRead(const std::string& path, int nth,
                                       std::function<void()> change) {
    std::lock_guard lock(mutex_);
    changes_[path] = {nth, std::move(change)};
}

void FaultyFileSystem::ChangeBeforeStamp(const std::string& path, int nth,
                                         std::function<void()> change) {
    std::lock_guard lock(mutex_);
    stampChanges_[path] = {nth, std::move(change)};
}

void FaultyFileSystem::BeforeOpen(int nth, std::function<void()> step) {
    std::lock_guard lock(mutex_);
    beforeOpen_[nth] = std::move(step);
}

void FaultyFileSystem::Wrote(size_t bytes, const std::string& target) {
    if (bytes > room_.load()) {
        room_ = 0;
        throw Failure(FailureKind::DiskFull, target, "No space left on device");
    }
    room_ -= bytes;
}

bool FaultyFileSystem::CommitRefused(const std::string& target) {
    std::lock_guard lock(mutex_);
    return refusedCommits_.contains(target);
}

void FaultyFileSystem::RunNth(std::map<std::string, Change>& changes, const std::string& path) {
    std::function<void()> change;
    {
        std::lock_guard lock(mutex_);
        auto at = changes.find(path);
        if (at == changes.end() || ++at->second.Reads != at->second.Nth) return;
        change = at->second.Run;
    }
    change();
}

std::unique_ptr<platform::ReadableFile> FaultyFileSystem::Faulty(
    std::unique_ptr<platform::ReadableFile> file) {
    return std::make_unique<FaultyRead>(*this, std::move(file));
}

std::unique_ptr<platform::ReadableFile> FaultyFileSystem::OpenForReading(const std::string& path) {
    std::function<void()> step;
    {
        std::lock_guard lock(mutex_);
        if (refusedOpens_.contains(path))
            throw Failure(FailureKind::PermissionDenied, path, "refused by the test");
        auto at = beforeOpen_.find(++opens_);
        if (at != beforeOpen_.end()) step = at->second;
    }
    if (step) step();
    return Faulty(system_.OpenForReading(path));
}

std::unique_ptr<platform::ReadableFile> FaultyFileSystem::OpenLocked(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        if (refusedOpens_.contains(path))
            throw Failure(FailureKind::PermissionDenied, path, "refused by the test");
    }
    return Faulty(system_.OpenLocked(path));
}

std::shared_ptr<platform::Folder> FaultyFileSystem::OpenFolder(const std::string& path) {
    return std::make_shared<FaultyFolder>(*this, system_.OpenFolder(path));
}

}  // namespace scene
