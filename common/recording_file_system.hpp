// The file system of a dry run: it reads through to the system's, and records what the run
// would create or replace instead of doing it, raising the failures the system would raise
// (a missing or read-only folder, a name too long for the folder's file system, a folder or a
// read-only file in a target's place). Later steps of the run see the folders and files that
// earlier ones would have made; a rewritten file that the run reads again reads as rewritten.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "file_system.hpp"

namespace scene {

class RecordingFileSystem : public platform::FileSystem {
  public:
    explicit RecordingFileSystem(platform::FileSystem& system) : system_(system) {}

    std::unique_ptr<platform::ReadableFile> OpenForReading(const std::string& path) override;
    // No lock: nothing is written.
    std::unique_ptr<platform::ReadableFile> OpenLocked(const std::string& path) override {
        return OpenForReading(path);
    }
    platform::TargetState StateOf(const std::string& path) override;
    std::vector<platform::FolderEntry> ListFolder(const std::string& folder) override;
    std::string RealFolder(const std::string& folder) override;
    void CreateFolder(const std::string& path) override;
    std::shared_ptr<platform::Folder> OpenFolder(const std::string& path) override;
    void CheckCanCreate(const std::string& folder, const std::string& name) override;
    std::unique_ptr<platform::Thread> StartThread(std::function<void()> body) override {
        return system_.StartThread(std::move(body));
    }

    // The file the recorded run made at `path` (called by the files it makes).
    void Made(const std::string& path, std::string bytes, bool kept);
    // Whether the run read the file, so that what it writes there must be kept.
    bool WasRead(const std::string& path);

  private:
    struct MadeFile {
        std::string Bytes;
        bool Kept = false;  // false: the bytes were not kept (nothing read the file before)
    };
    bool IsMadeFolder(const std::string& path);
    // The nearest folder of the path's chain that exists on the system.
    std::string ExistingAncestor(std::string folder);

    platform::FileSystem& system_;
    std::mutex mutex_;
    std::set<std::string> folders_;          // folders the run made
    std::map<std::string, MadeFile> files_;  // files the run made or replaced
    std::set<std::string> read_;             // files the run read
};

}  // namespace scene
