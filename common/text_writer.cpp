#include "text_writer.hpp"

#include <cstring>
#include <mutex>
#include <shared_mutex>
#include <unordered_set>

#include "failure.hpp"
#include "paths.hpp"
#include "run_folders.hpp"

namespace scene {

namespace {

// A folder or a read-only file in the target's place is the access failure, as opening it for
// writing would be. (A missing folder is "path not found" when the file is made beside it.)
platform::TargetState CheckTarget(const std::string& target) {
    const platform::TargetState state = platform::StateOf(target);
    if (state.Folder || state.ReadOnly) throw Failure(FailureKind::AccessFailure, target);
    return state;
}

// The temporary files open now, for an interrupt to remove. Writers create, rename and remove
// their files under the gate shared, so that they never wait for one another; an interrupt
// takes it alone and so sees every file that exists and no other.
struct OpenTemps {
    std::shared_mutex Gate;
    std::mutex ListLock;
    std::unordered_set<const platform::TempFile*> Files;

    void Add(const platform::TempFile* temp) {
        std::lock_guard hold(ListLock);
        Files.insert(temp);
    }
    void Remove(const platform::TempFile* temp) {
        std::lock_guard hold(ListLock);
        Files.erase(temp);
    }
};
OpenTemps& Temps() {
    static OpenTemps temps;
    return temps;
}
}  // namespace

void CheckCanWrite(const std::string& target, RunFolders* run) {
    const std::string resolved = ResolveCase(target, run);
    CheckTarget(resolved);
    platform::CheckCanCreateIn(FolderOf(resolved), resolved);  // the temporary file beside it
}

void RemoveOpenTempFiles() {
    OpenTemps& temps = Temps();
    temps.Gate.lock();  // never unlocked: the program ends
    for (const platform::TempFile* temp : temps.Files) platform::RemoveOpenTemp(*temp);
}

TextFileWriter::OpenTemp::~OpenTemp() {
    if (!temp_.File) return;
    std::shared_lock hold(Temps().Gate);
    platform::RemoveOpenTemp(temp_);
    temp_.File.reset();
    Temps().Remove(&temp_);
}

void TextFileWriter::OpenTemp::Create(const std::string& target) {
    OpenTemps& temps = Temps();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::shared_lock hold(temps.Gate);
        if (!platform::CreateTemp(TempPathBeside(target), target, temp_)) continue;  // taken
        temps.Add(&temp_);
        return;
    }
    throw Failure(FailureKind::AccessFailure, target);
}

bool TextFileWriter::OpenTemp::Replace(const std::string& target,
                                       platform::FileHandle* lockedTarget) {
    std::shared_lock hold(Temps().Gate);
    const bool ok = platform::CloseAndReplace(temp_, target, lockedTarget);
    Temps().Remove(&temp_);
    return ok;
}

TextFileWriter::TextFileWriter(const std::string& target, Durability durability, RunFolders* run)
    : target_(ResolveCase(target, run)), durability_(durability), run_(run) {
    const platform::TargetState state = CheckTarget(target_);
    buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    if (run_)
        run_->CleanOnce(FolderOf(target_));
    else
        platform::RemoveLeftoverTemps(FolderOf(target_));
    temp_.Create(target_);
    platform::MatchPermissions(temp_.File(), state);
}

void TextFileWriter::FlushBuffer() {
    if (used_ == 0) return;
    if (std::fwrite(buffer_.get(), 1, used_, temp_.Stream()) != used_)
        throw Failure(FailureKind::AccessFailure, target_);
    used_ = 0;
}

void TextFileWriter::Write(std::string_view text) {
    if (used_ + text.size() > kBufferSize) {
        FlushBuffer();
        if (text.size() > kBufferSize) {
            if (std::fwrite(text.data(), 1, text.size(), temp_.Stream()) != text.size())
                throw Failure(FailureKind::AccessFailure, target_);
            return;
        }
    }
    if (text.empty()) return;  // its data may be null, which memcpy must not see
    std::memcpy(buffer_.get() + used_, text.data(), text.size());
    used_ += text.size();
}


void TextFileWriter::WriteTextLine(std::string_view text) {
    Write(text);
    Write("\r\n");
}

void TextFileWriter::Flush() {
    FlushBuffer();
    if (std::fflush(temp_.Stream()) != 0) throw Failure(FailureKind::AccessFailure, target_);
}

void TextFileWriter::Commit(platform::FileHandle* lockedTarget) {
    Flush();
    if (durability_ != Durability::Replaceable && !platform::FlushToDisk(temp_.Stream()))
        throw Failure(FailureKind::AccessFailure, target_);  // the destructor removes it
    if (!temp_.Replace(target_, lockedTarget)) throw Failure(FailureKind::AccessFailure, target_);
    if (durability_ == Durability::UserFile) platform::SyncFolder(FolderOf(target_));
    if (run_) run_->NoteFileMade(target_);
}

}  // namespace scene
