#include "text_writer.hpp"

#include "failure.hpp"
#include "paths.hpp"
#include "platform.hpp"
#include "run_listings.hpp"

namespace {
constexpr size_t kBufferSize = 1 << 20;
}

TextFileWriter::TextFileWriter(const std::string& target, Durability durability)
    : target_(ResolveCase(target)), durability_(durability) {
    if (!platform::IsDirectory(FolderOf(target_)))
        throw Failure(FailureKind::PathNotFound, target_);
    if (platform::IsDirectory(target_) || platform::IsReadOnlyFile(target_))
        throw Failure(FailureKind::AccessFailure, target_);
    platform::TempFile temp = platform::CreateTempBeside(target_);
    file_ = temp.file;
    tempPath_ = temp.path;
    platform::MatchPermissions(temp, target_);
    buffer_.reserve(kBufferSize);
}

TextFileWriter::~TextFileWriter() {
    Discard();
}

void TextFileWriter::Discard() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    platform::RemoveFile(tempPath_);
}

void TextFileWriter::FlushBuffer() {
    if (buffer_.empty()) return;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        throw Failure(FailureKind::AccessFailure, target_);
    buffer_.clear();
}

void TextFileWriter::Write(std::string_view text) {
    if (buffer_.size() + text.size() > kBufferSize) {
        FlushBuffer();
        if (text.size() > kBufferSize) {
            if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
                throw Failure(FailureKind::AccessFailure, target_);
            return;
        }
    }
    buffer_.append(text);
}

void TextFileWriter::WriteTextLine(std::string_view text) {
    Write(text);
    Write("\r\n");
}

void TextFileWriter::Commit() {
    FlushBuffer();
    bool ok = std::fflush(file_) == 0;
    if (ok && durability_ != Durability::Replaceable) ok = platform::FlushToDisk(file_);
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (!ok ||
        !platform::ReplaceWithTemp(tempPath_, target_, durability_ == Durability::UserFile)) {
        platform::RemoveFile(tempPath_);
        throw Failure(FailureKind::AccessFailure, target_);
    }
    NoteFileMade(target_);
}
