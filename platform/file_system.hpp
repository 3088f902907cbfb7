// The one object between the tools and the system: files opened, read and written, a written
// file put in its target's place in one step, folders, locks, and the threads that work on them.
// SystemFileSystem() is the system's own; a dry run works over one that records instead of
// writing, and tests over one that injects faults.
//
// Every call that fails throws a Failure naming the path concerned, with the system's reason,
// unless it says "best effort" (a failure is ignored on purpose) or "false when ...".
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "failure.hpp"

namespace scene::platform {

// What tells whether a file's content changed: its size and modification time. A change of
// metadata alone (permissions, the change time) changes neither.
struct ContentStamp {
    uint64_t Size = 0;
    int64_t Modified = 0;
    bool operator==(const ContentStamp&) const = default;
};

// A regular file open for reading.
class ReadableFile {
  public:
    explicit ReadableFile(std::string path) : path_(std::move(path)) {}
    virtual ~ReadableFile() = default;
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    const std::string& Path() const { return path_; }
    // Up to `size` bytes into `to`; 0 at the end of the file.
    virtual size_t Read(char* to, size_t size) = 0;
    // Back to the first byte.
    virtual void Rewind() = 0;
    // The open file's size and modification time, now.
    virtual ContentStamp Stamp() = 0;

  private:
    std::string path_;
};

// A new file that takes its target's place in one step when committed. Until then, and after
// any failure, the target is as it was; destroyed uncommitted, it leaves nothing behind.
class WritableFile {
  public:
    explicit WritableFile(std::string target) : target_(std::move(target)) {}
    virtual ~WritableFile() = default;
    WritableFile(const WritableFile&) = delete;
    WritableFile& operator=(const WritableFile&) = delete;

    const std::string& Target() const { return target_; }
    // Throws the failure, naming the target: disk full, or the access failure.
    virtual void Write(std::string_view bytes) = 0;
    // Puts the file in the target's place: the same permissions as the file it replaces, and
    // for a user's file flushed to disk first and the folder synced after.
    virtual void Commit() = 0;
    // Whether a file stood at the target when this one was made.
    virtual bool ReplacesFile() const = 0;
    // Whether the bytes written are kept: false where nothing would read them (a dry run's
    // copy), so that a writer may spare itself making them.
    virtual bool KeepsContent() const { return true; }

  private:
    std::string target_;
};

// How much a written file is worth: an output that can be made again is not flushed to the
// disk; a user's file rewritten in place is flushed before it replaces the old one.
enum class Durability { Replaceable, UserFile };

// What stands where a writer is to put its file.
struct TargetState {
    bool Exists = false;
    bool Folder = false;
    // A file that must not be written: no write permission bit, or no write access.
    bool ReadOnly = false;
};

// What a folder entry is: a folder, a file (anything else that is there), or an entry that
// cannot be examined (a link to nothing, an entry of a folder that may be listed but not
// searched).
enum class EntryKind { File, Folder, Missing };
struct FolderEntry {
    std::string Name;
    EntryKind Kind;
};

// A folder held open: the files written into it go there even when it is moved meanwhile, and
// none is left behind when it is made read-only meanwhile.
class Folder {
  public:
    explicit Folder(std::string path) : path_(std::move(path)) {}
    virtual ~Folder() = default;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& Path() const { return path_; }
    // A new file that replaces (or becomes) the entry `name` on commit. A folder or a read-only
    // file at the target is the access failure, as opening it for writing would be; a
    // temporary file the folder takes no longer is the failure naming the folder. `replaced`:
    // the target, open with OpenLocked, whose lock is to be held until it is replaced.
    virtual std::unique_ptr<WritableFile> Create(const std::string& name, Durability durability,
                                                 ReadableFile* replaced) = 0;
    // Removes the temporary files killed runs left: only those no writer has open. Best effort.
    virtual void RemoveLeftovers() = 0;

  private:
    std::string path_;
};

// A thread that the file system started; destroyed, it waits for the thread's end.
class Thread {
  public:
    virtual ~Thread() = default;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // A regular file opened for reading: a folder, a FIFO or a device is the access failure.
    virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) = 0;
    // OpenForReading, holding an exclusive lock on the file until it is closed (on Windows
    // other programs cannot read it meanwhile). Waits while another holds the lock; a file
    // replaced meanwhile is opened again, so the caller holds the file the path names.
    virtual std::unique_ptr<ReadableFile> OpenLocked(const std::string& path) = 0;
    // What stands at the path; nothing when it cannot be examined.
    virtual TargetState StateOf(const std::string& path) = 0;
    // The entries of a folder, unsorted, without "." and "..".
    virtual std::vector<FolderEntry> ListFolder(const std::string& folder) = 0;
    // The folder's path with links, "." and ".." resolved; the path as given when that fails.
    virtual std::string RealFolder(const std::string& folder) = 0;
    // Creates one folder; an existing entry is the access failure.
    virtual void CreateFolder(const std::string& path) = 0;
    // The folder, held open for writing into it.
    virtual std::shared_ptr<Folder> OpenFolder(const std::string& path) = 0;
    // Throws what making the new file `name` in the existing folder would throw before anything
    // is written, creating nothing: the failure naming the folder when it takes no new file,
    // the access failure naming the file when its name is longer than the folder's file system
    // holds.
    virtual void CheckCanCreate(const std::string& folder, const std::string& name) = 0;
    // A thread running `body`, with a small stack; null when the system cannot start one.
    virtual std::unique_ptr<Thread> StartThread(std::function<void()> body) = 0;
};

// The system's own file system; one for the program.
FileSystem& SystemFileSystem();

// Removes every writer's temporary file, for a program that ends at once (interrupted); the
// writers in other threads wait from then on.
void RemoveOpenTempFiles();

}  // namespace scene::platform
