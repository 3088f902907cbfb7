#include "text_writer.hpp"

#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

#include "failure.hpp"
#include "paths.hpp"
#include "run_listings.hpp"

namespace scene {

namespace {
constexpr size_t kBufferSize = 1 << 20;

// A missing folder is "path not found"; a folder or a read-only file in the target's place
// is the access failure, as opening it for writing would be.
void CheckTarget(const std::string& target) {
    if (!platform::IsDirectory(FolderOf(target))) throw Failure(FailureKind::PathNotFound, target);
    if (platform::IsDirectory(target) || platform::IsReadOnlyFile(target))
        throw Failure(FailureKind::AccessFailure, target);
}

// The temporary files open now. Each is created, registered, renamed or removed, and
// unregistered under the lock, so an interrupt sees every file that exists and no other.
struct OpenTemps {
    std::mutex Lock;
    std::vector<const platform::TempFile*> Files;

    void Remove(const platform::TempFile* temp) {
        Files.erase(std::find(Files.begin(), Files.end(), temp));
    }
};
OpenTemps& Temps() {
    static OpenTemps temps;
    return temps;
}

// The folders this run has cleaned of leftovers.
struct CleanedFolders {
    std::mutex Lock;
    std::set<std::string> Folders;
};
CleanedFolders& Cleaned() {
    static CleanedFolders cleaned;
    return cleaned;
}

void RemoveLeftoversOnce(const std::string& folder) {
    CleanedFolders& cleaned = Cleaned();
    std::lock_guard hold(cleaned.Lock);  // other writers into the folder wait for the clean-up
    if (cleaned.Folders.insert(folder).second) platform::RemoveLeftoverTemps(folder);
}
}  // namespace

void CheckCanWrite(const std::string& target) {
    const std::string resolved = ResolveCase(target);
    CheckTarget(resolved);
    platform::CheckCanCreateIn(FolderOf(resolved), resolved);  // the temporary file beside it
}

void RemoveOpenTempFiles() {
    OpenTemps& temps = Temps();
    temps.Lock.lock();  // never unlocked: the program ends
    for (const platform::TempFile* temp : temps.Files) platform::RemoveOpenTemp(*temp);
}

void ForgetCleanedFolders() {
    CleanedFolders& cleaned = Cleaned();
    std::lock_guard hold(cleaned.Lock);
    cleaned.Folders.clear();
}

TextFileWriter::OpenTemp::~OpenTemp() {
    if (!temp_.File) return;
    std::lock_guard hold(Temps().Lock);
    platform::RemoveOpenTemp(temp_);
    temp_.File.reset();
    Temps().Remove(&temp_);
}

void TextFileWriter::OpenTemp::Create(const std::string& target) {
    OpenTemps& temps = Temps();
    std::lock_guard hold(temps.Lock);
    temps.Files.reserve(temps.Files.size() + 1);  // so that listing the new file cannot throw
    temp_ = platform::CreateTempBeside(target);
    temps.Files.push_back(&temp_);
}

bool TextFileWriter::OpenTemp::Replace(const std::string& target) {
    std::lock_guard hold(Temps().Lock);
    const bool ok = platform::CloseAndReplace(temp_, target);
    Temps().Remove(&temp_);
    return ok;
}

TextFileWriter::TextFileWriter(const std::string& target, Durability durability)
    : target_(ResolveCase(target)), durability_(durability) {
    CheckTarget(target_);
    buffer_.reserve(kBufferSize);
    RemoveLeftoversOnce(FolderOf(target_));
    temp_.Create(target_);
    platform::MatchPermissions(temp_.File(), target_);
}

void TextFileWriter::FlushBuffer() {
    if (buffer_.empty()) return;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), temp_.Stream()) != buffer_.size())
        throw Failure(FailureKind::AccessFailure, target_);
    buffer_.clear();
}

void TextFileWriter::Write(std::string_view text) {
    if (buffer_.size() + text.size() > kBufferSize) {
        FlushBuffer();
        if (text.size() > kBufferSize) {
            if (std::fwrite(text.data(), 1, text.size(), temp_.Stream()) != text.size())
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
    bool ok = std::fflush(temp_.Stream()) == 0;
    if (ok && durability_ != Durability::Replaceable) ok = platform::FlushToDisk(temp_.Stream());
    if (!ok) throw Failure(FailureKind::AccessFailure, target_);  // the destructor removes it
    if (!temp_.Replace(target_)) throw Failure(FailureKind::AccessFailure, target_);
    if (durability_ == Durability::UserFile) platform::SyncFolder(FolderOf(target_));
    NoteFileMade(target_);
}

}  // namespace scene
