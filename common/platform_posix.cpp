#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "paths.hpp"
#include "platform.hpp"

namespace platform {

namespace {
mode_t CurrentUmask() {
    static const mode_t mask = [] {
        mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return mask;
}
}  // namespace

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

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
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

static std::vector<std::string> ListEntries(const std::string& folder, bool wantFolders) {
    std::vector<std::string> names;
    for (FolderEntry& entry : ListFolder(folder))
        if ((entry.kind == EntryKind::Folder) == wantFolders)
            names.push_back(std::move(entry.name));
    return names;
}

std::vector<std::string> ListFileNames(const std::string& folder) {
    return ListEntries(folder, false);
}

std::vector<std::string> ListFolderNames(const std::string& folder) {
    return ListEntries(folder, true);
}

std::string RealFolder(const std::string& folder) {
    char* real = ::realpath(folder.c_str(), nullptr);
    if (!real) return folder;
    std::string path = real;
    std::free(real);
    return path;
}

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    auto nanoseconds = [](const timespec& t) {
        return static_cast<uint64_t>(t.tv_sec) * 1000000000u + static_cast<uint64_t>(t.tv_nsec);
    };
    return FileStamp{{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                      static_cast<uint64_t>(st.st_size), nanoseconds(st.st_mtim),
                      nanoseconds(st.st_ctim)}};
}

void CreateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0) {
        int err = errno;
        throw Failure(err == EEXIST ? FailureKind::AccessFailure : FailureFromErrno(err, path),
                      path);
    }
}

std::FILE* OpenForReading(const std::string& path) {
    if (IsDirectory(path)) throw Failure(FailureKind::AccessFailure, path);
    // Only a regular file is read: a FIFO named like a model would block the open (and the
    // command) for ever, a device such as /dev/zero would feed it without end.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw Failure(FailureFromErrno(errno, path), path);
    struct stat st;
    std::FILE* file = nullptr;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0)
        file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        throw Failure(FailureKind::AccessFailure, path);
    }
    return file;
}

TempFile CreateTempBeside(const std::string& target) {
    std::string name = ".";
    name += NameOf(target);
    name += ".tmp-XXXXXX";
    std::string pattern = JoinPath(FolderOf(target), name);
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) throw Failure(FailureFromErrno(errno, target), target);
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        ::unlink(pattern.c_str());
        throw Failure(FailureKind::AccessFailure, target);
    }
    return {file, pattern};
}

void MatchPermissions(const TempFile& temp, const std::string& target) {
    struct stat st;
    mode_t mode =
        ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    ::fchmod(::fileno(temp.file), mode);
}

bool FlushToDisk(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0;
}

bool ReplaceWithTemp(const std::string& temp, const std::string& target, bool durable) {
    if (::rename(temp.c_str(), target.c_str()) != 0) return false;
    if (durable) SyncFolder(FolderOf(target));
    return true;
}

void SyncFolder(const std::string& folder) {
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void RemoveFile(const std::string& path) {
    ::unlink(path.c_str());
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

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

}  // namespace platform
