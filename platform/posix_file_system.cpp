// The file system of POSIX systems. Writes go through a handle of their folder (openat,
// linkat, renameat, unlinkat); a new file is made unnamed (O_TMPFILE) where the system can, so
// that nothing of it is left behind whatever happens to the folder or the program, and takes a
// hidden temporary name only for the moment of its rename.
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "file_system.hpp"
#include "open_temps.hpp"
#include "path_syntax.hpp"
#include "temp_names.hpp"

namespace scene::platform {

namespace {

std::string Reason(int err) {
    return std::error_code(err, std::generic_category()).message();
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The failure that a failed call on `path` with this errno stands for: the one place where the
// system's errors become the tools' failures.
Failure SystemFailure(int err, const std::string& path) {
    FailureKind kind = FailureKind::AccessFailure;  // EISDIR, EBUSY, EFBIG, ...
    switch (err) {
        case ENOENT:  // a missing file, or a missing folder on its way
            kind = IsFolder(FolderOf(path)) ? FailureKind::FileNotFound : FailureKind::PathNotFound;
            break;
        case ENOTDIR:
            kind = FailureKind::PathNotFound;
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            kind = FailureKind::PermissionDenied;
            break;
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM:
            kind = FailureKind::DiskNotReady;
            break;
        case ENOSPC:
        case EDQUOT:
            kind = FailureKind::DiskFull;
            break;
        default:
            break;
    }
    return Failure(kind, path, Reason(err));
}

// A failure while writing or putting a file in place: a full disk, else the access failure.
Failure WriteFailure(int err, const std::string& target) {
    const bool full = err == ENOSPC || err == EDQUOT;
    return Failure(full ? FailureKind::DiskFull : FailureKind::AccessFailure, target, Reason(err));
}

int64_t Nanoseconds(const timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

class PosixReadFile : public ReadableFile {
  public:
    PosixReadFile(std::string path, int fd) : ReadableFile(std::move(path)), fd_(fd) {}
    ~PosixReadFile() override { ::close(fd_); }

    size_t Read(char* to, size_t size) override {
        for (;;) {
            const ssize_t n = ::read(fd_, to, size);
            if (n >= 0) return static_cast<size_t>(n);
            if (errno != EINTR) throw Failure(FailureKind::AccessFailure, Path(), Reason(errno));
        }
    }
    void Rewind() override {
        if (::lseek(fd_, 0, SEEK_SET) != 0)
            throw Failure(FailureKind::AccessFailure, Path(), Reason(errno));
    }
    ContentStamp Stamp() override {
        struct stat st;
        if (::fstat(fd_, &st) != 0)
            throw Failure(FailureKind::AccessFailure, Path(), Reason(errno));
        return {static_cast<uint64_t>(st.st_size), Nanoseconds(st.st_mtim)};
    }
    int Descriptor() const { return fd_; }

  private:
    int fd_;
};

// Only a regular file is read: a FIFO named like a model would block the open (and the command)
// for ever, a device such as /dev/zero would feed it without end. (On a regular file,
// non-blocking reads are plain reads.)
std::unique_ptr<PosixReadFile> OpenRegular(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw SystemFailure(errno, path);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        throw Failure(FailureKind::AccessFailure, path,
                      folder ? Reason(EISDIR) : "Not a regular file");
    }
    return std::make_unique<PosixReadFile>(path, fd);
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the folder's entry `name` is the file open as fd.
bool NamesOpenFile(int folder, const std::string& name, int fd) {
    struct stat named, opened;
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstat(fd, &opened) == 0 && SameFile(named, opened);
}

// Whether unnamed files can be made and then linked by name: the system's O_TMPFILE, and
// /proc to link them through.
bool CanLinkUnnamedFiles() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

class PosixFolder;

class PosixWriteFile : public WritableFile {
  public:
    PosixWriteFile(std::shared_ptr<const PosixFolder> folder, std::string name,
                   Durability durability, bool replacesFile);
    ~PosixWriteFile() override;

    // Takes the unnamed file `fd`, or makes a named one when there is none (-1).
    void Open(int fd);
    // Best effort: a file system that keeps no such bits refuses, and the file is still written.
    void SetMode(mode_t mode) { ::fchmod(fd_, mode); }

    void Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw WriteFailure(n < 0 ? errno : ENOSPC, Target());
            bytes.remove_prefix(static_cast<size_t>(n));
        }
    }
    void Commit() override;
    bool ReplacesFile() const override { return replacesFile_; }

  private:
    int CreateNamed();
    int LinkUnder(const std::string& tempName);

    std::shared_ptr<const PosixFolder> folder_;
    std::string name_;
    int fd_ = -1;
    std::string tempName_;  // empty while the file is unnamed
    Durability durability_;
    bool replacesFile_;
    bool named_ = false;  // made with a name, noted for an interrupt to remove
    bool committed_ = false;
};

class PosixFolder : public Folder, public std::enable_shared_from_this<PosixFolder> {
  public:
    PosixFolder(std::string path, int fd) : Folder(std::move(path)), fd_(fd) {}
    ~PosixFolder() override { ::close(fd_); }

    int Descriptor() const { return fd_; }

    std::unique_ptr<WritableFile> Create(const std::string& name, Durability durability,
                                         ReadableFile* /*replaced*/) override {
        // The target's lock is held by its owner through the rename: locks are advisory here.
        const std::string target = JoinPath(Path(), name);
        struct stat st;
        const bool exists = ::fstatat(fd_, name.c_str(), &st, 0) == 0;
        if (exists && (S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0 ||
                       ::faccessat(fd_, name.c_str(), W_OK, 0) != 0))
            throw Failure(FailureKind::AccessFailure, target);
        auto file = std::make_unique<PosixWriteFile>(shared_from_this(), name, durability, exists);
        file->Open(CanLinkUnnamedFiles() ? CreateUnnamed() : -1);
        if (exists) file->SetMode(st.st_mode & 07777);
        return file;
    }

    void RemoveLeftovers() override {
        const int listed = ::dup(fd_);
        DIR* dir = listed >= 0 ? ::fdopendir(listed) : nullptr;
        if (!dir) {
            if (listed >= 0) ::close(listed);
            return;
        }
        while (dirent* entry = ::readdir(dir))
            if (IsTempName(entry->d_name)) RemoveIfLeftover(entry->d_name);
        ::closedir(dir);
    }

  private:
    // An unnamed file in the folder; -1 where the file system makes none.
    int CreateUnnamed() const {
        const int fd = ::openat(fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0 || errno == EISDIR || errno == EOPNOTSUPP) return fd;
        throw SystemFailure(errno, Path());  // a temporary file the folder does not take
    }

    // Only a regular file whose lock is free has no writer any more; the name must still be
    // that file's when it is removed.
    void RemoveIfLeftover(const char* name) const {
        const int fd =
            ::openat(fd_, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            NamesOpenFile(fd_, name, fd))
            ::unlinkat(fd_, name, 0);
        ::close(fd);
    }

    int fd_;
};

PosixWriteFile::PosixWriteFile(std::shared_ptr<const PosixFolder> folder, std::string name,
                               Durability durability, bool replacesFile)
    : WritableFile(JoinPath(folder->Path(), name)),
      folder_(std::move(folder)),
      name_(std::move(name)),
      durability_(durability),
      replacesFile_(replacesFile) {}

void PosixWriteFile::Open(int fd) {
    fd_ = fd >= 0 ? fd : CreateNamed();
}

// A named temporary file, locked so that no other run's clean-up takes it for a leftover.
int PosixWriteFile::CreateNamed() {
    const int folder = folder_->Descriptor();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto hold = TheOpenTemps().Hold();
        tempName_ = NewTempName(name_);
        // Mode 0666: the system applies the umask, as it does to any new file.
        const int fd =
            ::openat(folder, tempName_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) throw SystemFailure(errno, folder_->Path());
        // Another run's clean-up may have taken the new file for a leftover before the lock was
        // held: it is removing it, and another name is tried.
        const int locked = ::flock(fd, LOCK_EX | LOCK_NB);
        struct stat st;
        if ((locked != 0 && errno == EWOULDBLOCK) ||
            (locked == 0 && ::fstat(fd, &st) == 0 && st.st_nlink == 0)) {
            ::close(fd);
            continue;
        }
        named_ = true;
        TheOpenTemps().Note(this,
                            [folder, temp = tempName_] { ::unlinkat(folder, temp.c_str(), 0); });
        return fd;
    }
    tempName_.clear();
    throw Failure(FailureKind::AccessFailure, Target());
}

PosixWriteFile::~PosixWriteFile() {
    if (!committed_ && !tempName_.empty()) {
        const auto hold = TheOpenTemps().Hold();
        ::unlinkat(folder_->Descriptor(), tempName_.c_str(), 0);
    }
    if (named_) TheOpenTemps().Forget(this);
    if (fd_ >= 0) ::close(fd_);  // an unnamed file goes with its last descriptor
}

// Gives the unnamed file a temporary name in the folder, for the rename that follows at once;
// 0, or the system's error.
int PosixWriteFile::LinkUnder(const std::string& tempName) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (::linkat(AT_FDCWD, self.c_str(), folder_->Descriptor(), tempName.c_str(),
                 AT_SYMLINK_FOLLOW) != 0)
        return errno;
    tempName_ = tempName;
    named_ = true;
    TheOpenTemps().Note(this, [folder = folder_->Descriptor(), tempName] {
        ::unlinkat(folder, tempName.c_str(), 0);
    });
    return 0;
}

void PosixWriteFile::Commit() {
    if (durability_ == Durability::UserFile && ::fsync(fd_) != 0)
        throw WriteFailure(errno, Target());
    const int folder = folder_->Descriptor();
    const auto hold = TheOpenTemps().Hold();
    for (int attempt = 0; tempName_.empty(); ++attempt) {
        const int err = LinkUnder(NewTempName(name_));
        if (err != 0 && (err != EEXIST || attempt == 100)) throw WriteFailure(err, Target());
    }
    if (::renameat(folder, tempName_.c_str(), folder, name_.c_str()) != 0) {
        const int err = errno;
        ::unlinkat(folder, tempName_.c_str(), 0);
        tempName_.clear();
        throw WriteFailure(err, Target());
    }
    committed_ = true;
    if (durability_ == Durability::UserFile) ::fsync(folder);  // best effort: the rename lasts
}

class PosixThread : public Thread {
  public:
    explicit PosixThread(pthread_t thread) : thread_(thread) {}
    ~PosixThread() override { ::pthread_join(thread_, nullptr); }

  private:
    pthread_t thread_;
};

void* RunBody(void* body) {
    std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(body));
    (*owned)();
    return nullptr;
}

// A worker reads and writes through heap buffers: a small stack keeps many of them within a
// limited address space.
constexpr size_t kThreadStack = 1 << 20;

class PosixFileSystem : public FileSystem {
  public:
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
        return OpenRegular(path);
    }

    std::unique_ptr<ReadableFile> OpenLocked(const std::string& path) override {
        for (;;) {
            std::unique_ptr<PosixReadFile> file = OpenRegular(path);
            int locked;
            while ((locked = ::flock(file->Descriptor(), LOCK_EX)) != 0 && errno == EINTR) {
            }
            // Another run may have replaced the file while this one waited: then the path names
            // its new file, which is the one to read. (Without locks, the file as it is.)
            if (locked != 0 || NamesOpenFile(AT_FDCWD, path, file->Descriptor())) return file;
        }
    }

    TargetState StateOf(const std::string& path) override {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) return {};
        const bool folder = S_ISDIR(st.st_mode);
        return {true, folder,
                !folder && ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)};
    }

    std::vector<FolderEntry> ListFolder(const std::string& folder) override;

    std::string RealFolder(const std::string& folder) override {
        char* real = ::realpath(folder.c_str(), nullptr);
        if (!real) return folder;
        std::string path = real;
        std::free(real);
        return path;
    }

    void CreateFolder(const std::string& path) override {
        if (::mkdir(path.c_str(), 0777) == 0) return;
        if (errno == EEXIST) throw Failure(FailureKind::AccessFailure, path);
        throw SystemFailure(errno, path);
    }

    std::shared_ptr<Folder> OpenFolder(const std::string& path) override {
        // A folder that may be written but not read is still held by a path-only handle.
        int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            const int err = errno;
            throw err == ENOENT ? Failure(FailureKind::PathNotFound, path, Reason(err))
                                : SystemFailure(err, path);
        }
        return std::make_shared<PosixFolder>(path, fd);
    }

    void CheckCanCreate(const std::string& folder, const std::string& name) override {
        if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
            throw SystemFailure(errno, folder);
        const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
        if (name.size() > (nameMax > 0 ? static_cast<size_t>(nameMax) : kNameMax))
            throw Failure(FailureKind::AccessFailure, JoinPath(folder, name), Reason(ENAMETOOLONG));
    }

    std::unique_ptr<Thread> StartThread(std::function<void()> body) override {
        pthread_attr_t attributes;
        if (::pthread_attr_init(&attributes) != 0) return nullptr;
        ::pthread_attr_setstacksize(&attributes, kThreadStack);
        auto owned = std::make_unique<std::function<void()>>(std::move(body));
        pthread_t thread;
        const int started = ::pthread_create(&thread, &attributes, RunBody, owned.get());
        ::pthread_attr_destroy(&attributes);
        if (started != 0) return nullptr;
        owned.release();  // the thread owns it now
        return std::make_unique<PosixThread>(thread);
    }
};

std::vector<FolderEntry> PosixFileSystem::ListFolder(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        const int err = errno;  // a folder that is not there is a path, not a file, not found
        throw err == ENOENT ? Failure(FailureKind::PathNotFound, folder, Reason(err))
                            : SystemFailure(err, folder);
    }
    // The entry type that the system gives spares a stat per entry; links (and file systems
    // that give no type) are examined. In a folder that may be listed but not searched no
    // entry can be examined: each is then what a failed stat makes of it.
    const bool searchable = ::faccessat(AT_FDCWD, folder.c_str(), X_OK, AT_EACCESS) == 0;
    std::vector<FolderEntry> entries;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        EntryKind kind = EntryKind::File;
        if (searchable && entry->d_type == DT_DIR) {
            kind = EntryKind::Folder;
        } else if (!searchable || entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st;
            if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) != 0)
                kind = EntryKind::Missing;
            else if (S_ISDIR(st.st_mode))
                kind = EntryKind::Folder;
        }
        entries.push_back({std::move(name), kind});
    }
    ::closedir(dir);
    return entries;
}

}  // namespace

FileSystem& SystemFileSystem() {
    static PosixFileSystem files;
    return files;
}

}  // namespace scene::platform
