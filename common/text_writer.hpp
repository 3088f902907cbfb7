// Writing text files safely: the bytes go to a new file beside the target, which takes the
// target's place in one step on Commit. Until then, and after any failure, the target is
// exactly as it was. Writers may run in several threads at once.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "file_system.hpp"

namespace scene {

class RunFiles;

class TextFileWriter {
  public:
    // A new file for the target (letter case resolved). Throws the failure that opening the
    // target for writing would raise: path not found for a missing folder, the access failure
    // for a folder or a read-only file, the failure naming the folder when it takes no new file.
    TextFileWriter(RunFiles& files, const std::string& target, platform::Durability durability);
    // A new file to replace a user's file the run holds locked, which stays locked until then.
    TextFileWriter(RunFiles& files, platform::ReadableFile& locked);
    // Without Commit (also when the constructor throws) nothing of the file stays.
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    const std::string& Target() const { return file_->Target(); }
    // Whether a file stood at the target when this writer was made.
    bool ReplacesFile() const { return file_->ReplacesFile(); }
    // Whether the bytes written are kept: false for a dry run's output that nothing reads.
    bool KeepsContent() const { return file_->KeepsContent(); }

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

    // Puts the written file in place of the target; throws the failure when it cannot.
    void Commit();

  private:
    // Large enough that a write costs what its bytes cost, small enough for many writers at once.
    static constexpr size_t kBufferSize = 64 << 10;

    void FlushBuffer();

    RunFiles& files_;
    std::unique_ptr<platform::WritableFile> file_;
    std::unique_ptr<char[]> buffer_;  // not zero-filled
    size_t used_ = 0;
};

}  // namespace scene
