// The system's file system with faults put in where a test asks: a full disk after so many
// bytes, an open or a commit refused, a file changed by another program while it is read,
// threads that cannot start. Deterministic: each fault happens at its step, every time.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "file_system.hpp"

namespace scene {

class FaultyFileSystem : public platform::FileSystem {
  public:
    FaultyFileSystem() : system_(platform::SystemFileSystem()) {}

    // Writes fail with the disk full once this many bytes were written, in all files.
    void FillDiskAfter(uint64_t bytes) { room_ = bytes; }
    // Opening this path (for reading, locked or not) is refused: permission denied.
    void RefuseOpen(const std::string& path);
    // Putting a new file in this target's place fails, as a rename the system refuses.
    void RefuseCommit(const std::string& target);
    // Runs `change` once, the `nth` time (from 1) a read of the file at `path` has returned bytes:
    // another program writing the file while it is read.
    void ChangeWhileRead(const std::string& path, int nth, std::function<void()> change);
    // Runs `change` once, before the `nth` time (from 1) the content of the file at `path` is
    // stamped: another program writing between two looks at the file.
    void ChangeBeforeStamp(const std::string& path, int nth, std::function<void()> change);
    // Runs `step` before the `nth` open for reading (from 1) of any file.
    void BeforeOpen(int nth, std::function<void()> step);
    // No thread can be started.
    void RefuseThreads() { threads_ = false; }

    std::unique_ptr<platform::ReadableFile> OpenForReading(const std::string& path) override;
    std::unique_ptr<platform::ReadableFile> OpenLocked(const std::string& path) override;
    platform::TargetState StateOf(const std::string& path) override {
        return system_.StateOf(path);
    }
    std::vector<platform::FolderEntry> ListFolder(const std::string& folder) override {
        return system_.ListFolder(folder);
    }
    std::string RealFolder(const std::string& folder) override {
        return system_.RealFolder(folder);
    }
    void CreateFolder(const std::string& path) override { system_.CreateFolder(path); }
    std::shared_ptr<platform::Folder> OpenFolder(const std::string& path) override;
    void CheckCanCreate(const std::string& folder, const std::string& name) override {
        system_.CheckCanCreate(folder, name);
    }
    std::unique_ptr<platform::Thread> StartThread(std::function<void()> body) override {
        return threads_ ? system_.StartThread(std::move(body)) : nullptr;
    }

    // For the files it hands out.
    void Wrote(size_t bytes, const std::string& target);
    bool CommitRefused(const std::string& target);
    void Read(const std::string& path) { RunNth(changes_, path); }
    void Stamping(const std::string& path) { RunNth(stampChanges_, path); }

  private:
    std::unique_ptr<platform::ReadableFile> Faulty(std::unique_ptr<platform::ReadableFile> file);

    platform::FileSystem& system_;
    std::mutex mutex_;
    std::atomic<uint64_t> room_ = UINT64_MAX;
    std::set<std::string> refusedOpens_, refusedCommits_;
    struct Change {
        int Nth;
        std::function<void()> Run;
        int Reads = 0;
    };
    std::map<std::string, Change> changes_, stampChanges_;
    void RunNth(std::map<std::string, Change>& changes, const std::string& path);
    int opens_ = 0;
    std::map<int, std::function<void()>> beforeOpen_;
    bool threads_ = true;
};

}  // namespace scene
