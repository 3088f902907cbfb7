// Writing text files safely: the lines go to a hidden temporary file beside the target,
// which replaces the target in one step on Commit. Until then, and after any failure, the
// target is exactly as it was. Writers may run in several threads at once.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform.hpp"

namespace scene {

class RunFolders;

enum class Durability {
    Replaceable,      // an output that can be made again: no flush to disk
    UserFile,         // a user's file rewritten in place: flushed to disk before it replaces the
                      // old one, and the folder synced after
    UserFileInBatch,  // as UserFile, but the caller syncs the folder once after many files
};

// Throws the failure that opening a TextFileWriter for the target would raise, creating
// nothing. What only writing shows (a full disk) it cannot foresee.
void CheckCanWrite(const std::string& target, RunFolders* run = nullptr);

class TextFileWriter {
  public:
    // Throws the failure that opening the target for writing would raise: path not found for
    // a missing folder, access failure for a folder or a read-only file. A run's first writer
    // into a folder removes the temporary files killed runs left there (without a run, every
    // writer does).
    TextFileWriter(const std::string& target, Durability durability, RunFolders* run = nullptr);
    // Without Commit (also when the constructor throws) the temporary file is removed.
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    const std::string& Target() const { return target_; }

    // The text as it is, then CR LF.
    void WriteTextLine(std::string_view text);
    void Write(std::string_view text);
    // Room for up to `size` bytes (at most 64 KB) behind what is written, for text built in
    // place; Wrote(end) keeps what was built up to `end`.
    char* Room(size_t size) {
        if (used_ + size > kBufferSize) FlushBuffer();
        return buffer_.get() + used_;
    }
    void Wrote(const char* end) { used_ = static_cast<size_t>(end - buffer_.get()); }
    // Hands everything written so far to the system; throws the failure when it cannot.
    void Flush();

    // Puts the written file in place of the target; throws the failure when it cannot.
    // `lockedTarget`: the target as OpenLockedForRewrite opened it, whose lock is to be held
    // until it is replaced.
    void Commit(platform::FileHandle* lockedTarget = nullptr);

  private:
    static constexpr size_t kBufferSize = 1 << 20;

    // The temporary file, listed for RemoveOpenTempFiles while it is open and removed when
    // its owner goes unless it replaced the target. It never moves: the list holds its address.
    class OpenTemp {
      public:
        OpenTemp() = default;
        ~OpenTemp();
        OpenTemp(const OpenTemp&) = delete;
        OpenTemp& operator=(const OpenTemp&) = delete;

        void Create(const std::string& target);
        // platform::CloseAndReplace; the file is closed either way.
        bool Replace(const std::string& target, platform::FileHandle* lockedTarget);
        const platform::TempFile& File() const { return temp_; }
        std::FILE* Stream() const { return temp_.File.get(); }

      private:
        platform::TempFile temp_;
    };

    void FlushBuffer();

    std::string target_;
    Durability durability_;
    RunFolders* run_;
    std::unique_ptr<char[]> buffer_;
    size_t used_ = 0;
    OpenTemp temp_;
};

// Removes every writer's temporary file, for a program that ends at once (interrupted); the
// writers in other threads wait from then on.
void RemoveOpenTempFiles();

}  // namespace scene
