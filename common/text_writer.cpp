#include "text_writer.hpp"

#include "run_files.hpp"

namespace scene {

namespace {
// Large enough that a write costs what its bytes cost, small enough for many writers at once.
constexpr size_t kBufferSize = 64 << 10;
}  // namespace

TextFileWriter::TextFileWriter(RunFiles& files, const std::string& target,
                               platform::Durability durability)
    : files_(files), file_(files.Create(target, durability)) {
    buffer_.reserve(kBufferSize);
}

TextFileWriter::TextFileWriter(RunFiles& files, platform::ReadableFile& locked)
    : files_(files), file_(files.CreateReplacing(locked)) {
    buffer_.reserve(kBufferSize);
}

void TextFileWriter::FlushBuffer() {
    if (buffer_.empty()) return;
    file_->Write(buffer_);
    buffer_.clear();
}

void TextFileWriter::Write(std::string_view text) {
    if (buffer_.size() + text.size() > kBufferSize) {
        FlushBuffer();
        if (text.size() > kBufferSize) return file_->Write(text);
    }
    buffer_.append(text);
}

void TextFileWriter::WriteTextLine(std::string_view text) {
    Write(text);
    Write("\r\n");
}

void TextFileWriter::Commit() {
    FlushBuffer();
    file_->Commit();
    files_.NoteFileMade(file_->Target());
}

}  // namespace scene
