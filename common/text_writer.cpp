#include "text_writer.hpp"

#include <cstring>

#include "run_files.hpp"

namespace scene {

TextFileWriter::TextFileWriter(RunFiles& files, const std::string& target,
                               platform::Durability durability)
    : files_(files),
      file_(files.Create(target, durability)),
      buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

TextFileWriter::TextFileWriter(RunFiles& files, platform::ReadableFile& locked)
    : files_(files),
      file_(files.CreateReplacing(locked)),
      buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

void TextFileWriter::FlushBuffer() {
    if (used_ == 0) return;
    file_->Write(std::string_view(buffer_.get(), used_));
    used_ = 0;
}

void TextFileWriter::Write(std::string_view text) {
    if (used_ + text.size() > kBufferSize) {
        FlushBuffer();
        if (text.size() > kBufferSize) return file_->Write(text);
    }
    if (text.empty()) return;  // its data may be null, which memcpy must not see
    std::memcpy(buffer_.get() + used_, text.data(), text.size());
    used_ += text.size();
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
