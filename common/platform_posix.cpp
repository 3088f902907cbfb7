#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <utility>

#include "mounted_roots.hpp"
#include "paths.hpp"
#include "platform.hpp"
#include "strings.hpp"
#include "text_reader.hpp"

namespace scene {

namespace platform {

namespace {
// The failure that a failed open/create with this errno value stands for.
FailureKind FailureFromErrno(int err, const std::string& path) {
    switch (err) {
        case ENOENT:
            return IsDirectory(FolderOf(path)) ? FailureKind::FileNotFound
                                               : FailureKind::PathNotFound;
        case ENOTDIR:
            return FailureKind::PathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return FailureKind::PermissionDenied;
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM:
            return FailureKind::DiskNotReady;
        default:
            return FailureKind::AccessFailure;  // EISDIR, EBUSY, ENOSPC, EFBIG, ...
    }
}

// That failure, with the system's own words for the error.
Failure SystemFailure(int err, const std::string& path) {
    return Failure(FailureFromErrno(err, path), path,
                   std::error_code(err, std::generic_category()).message());
}
}  // namespace

size_t RootLength(std::string_view path) {
    return !path.empty() && path[0] == '/' ? 1 : 0;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TargetState StateOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return {};
    TargetState state{true, S_ISDIR(st.st_mode), false, st.st_mode & 07777};
    state.ReadOnly =
        !state.Folder && ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0);
    return state;
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        int err = errno;  // a folder that is not there is a path, not a file, not found
        throw Failure(err == ENOENT ? FailureKind::PathNotFound : FailureFromErrno(err, folder),
                      folder);
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

std::string RealFolder(const std::string& folder) {
    char* real = ::realpath(folder.c_str(), nullptr);
    if (!real) return folder;
    std::string path = real;
    std::free(real);
    return path;
}

namespace {
FileStamp StampOf(const struct stat& st) {
    auto nanoseconds = [](const timespec& t) {
        return static_cast<uint64_t>(t.tv_sec) * 1000000000u + static_cast<uint64_t>(t.tv_nsec);
    };
    return FileStamp{{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                      static_cast<uint64_t>(st.st_size), nanoseconds(st.st_mtim),
                      nanoseconds(st.st_ctim)}};
}
}  // namespace

void CreateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0) {
        int err = errno;
        if (err == EEXIST) throw Failure(FailureKind::AccessFailure, path);
        throw SystemFailure(err, path);
    }
}

FileHandle OpenForReading(const std::string& path, std::optional<FileStamp>* stamp) {
    // Only a regular file is read (a folder is the access failure too): a FIFO named like a model
    // would block the open (and the command) for ever, a device such as /dev/zero would feed it
    // without end. (On a regular file, non-blocking reads are plain reads.)
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw SystemFailure(errno, path);
    struct stat st;
    std::FILE* file = nullptr;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        throw Failure(FailureKind::AccessFailure, path);
    }
    ::setvbuf(file, nullptr, _IONBF, 0);  // read in large blocks by the callers themselves
    if (stamp) *stamp = StampOf(st);
    return FileHandle(file);
}

namespace {
bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the path still names the file open as fd.
bool NamesOpenFile(const std::string& path, int fd) {
    struct stat named, opened;
    return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd, &opened) == 0 &&
           SameFile(named, opened);
}
}  // namespace

FileHandle OpenLockedForRewrite(const std::string& path) {
    for (;;) {
        FileHandle file = OpenForReading(path);
        const int fd = ::fileno(file.get());
        int locked;
        while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        // Another run may have replaced the file while this one waited: then the path names
        // its new file, which is the one to read.
        if (locked != 0 || NamesOpenFile(path, fd)) return file;
    }
}

void CheckCanCreateIn(const std::string& folder, const std::string& target) {
    if (::access(folder.c_str(), W_OK | X_OK) != 0) throw SystemFailure(errno, target);
    const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (NameOf(target).size() > (nameMax > 0 ? static_cast<size_t>(nameMax) : kNameMax))
        throw Failure(FailureKind::AccessFailure, target);  // as creating it would fail
}

bool CreateTemp(const std::string& path, const std::string& target, TempFile& temp) {
    // Mode 0666: the system applies the umask, as it does to any new file.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return false;
        throw SystemFailure(errno, target);
    }
    // Another run's clean-up may have taken the new file for a leftover before the lock was
    // held: then it is removing it, and another name is tried. (Where the file system has no
    // locks, no clean-up can take one either.)
    const int locked = ::flock(fd, LOCK_EX | LOCK_NB);
    struct stat st;
    if ((locked != 0 && errno == EWOULDBLOCK) ||
        (locked == 0 && ::fstat(fd, &st) == 0 && st.st_nlink == 0)) {  // removed meanwhile
        ::close(fd);
        return false;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::unlink(path.c_str());
        ::close(fd);
        throw Failure(FailureKind::AccessFailure, target);
    }
    ::setvbuf(file, nullptr, _IONBF, 0);  // the writer buffers itself
    temp = {FileHandle(file), path};
    return true;
}

void MatchPermissions(const TempFile& temp, const TargetState& target) {
    if (target.Exists) ::fchmod(::fileno(temp.File.get()), static_cast<mode_t>(target.Permissions));
}

bool FlushToDisk(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0;
}

bool CloseAndReplace(TempFile& temp, const std::string& target, FileHandle* /*lockedTarget*/) {
    // The target's lock (an advisory one) is held by its owner through the rename.
    // A second descriptor keeps the lock while the stream's close reports any write error.
    // (Without one left, the file is renamed unlocked: a clean-up could only take it just now.)
    const int keep = ::dup(::fileno(temp.File.get()));
    bool ok = std::fclose(temp.File.release()) == 0;
    ok = ok && ::rename(temp.Path.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.Path.c_str());
    if (keep >= 0) ::close(keep);
    return ok;
}

void RemoveOpenTemp(const TempFile& temp) {
    ::unlink(temp.Path.c_str());
}

void RemoveLeftoverTemps(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = ::readdir(dir)) {
        if (!IsTempName(entry->d_name)) continue;
        const std::string path = JoinPath(folder, entry->d_name);
        int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        // Only a regular file whose lock is free has no writer any more; the name must still
        // be that file's when it is removed.
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            NamesOpenFile(path, fd))
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

void SyncFolder(const std::string& folder) {
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

std::string NameKey(std::string_view name) {
    return UpperCase(name);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

std::string CurrentFolder() {
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return "/";
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::char_traits<char>::length(folder.data()));
    return folder;
}

std::vector<std::string> VolumeRoots() {
    std::string mounts;
    try {
        mounts = ReadWholeText("/proc/mounts");
    } catch (const Failure&) {
        // Without a mount table the machine still has its root folder.
    }
    std::vector<std::string> roots;
    for (std::string& root : MountedRoots(mounts))
        if (IsDirectory(root)) roots.push_back(std::move(root));
    return roots;
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

void WatchInterrupts(void (*onInterrupt)(int status)) {
    sigset_t watched;
    ::sigemptyset(&watched);
    bool any = false;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current;
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            ::sigaddset(&watched, signal);
            any = true;
        }
    }
    if (!any) return;
    // Blocked here, and so in every thread started later: the signals wait for sigwait.
    ::pthread_sigmask(SIG_BLOCK, &watched, nullptr);
    std::thread([watched, onInterrupt] {
        int signal = 0;
        while (::sigwait(&watched, &signal) != 0) {
        }
        onInterrupt(128 + signal);
    }).detach();
}

}  // namespace platform

}  // namespace scene
