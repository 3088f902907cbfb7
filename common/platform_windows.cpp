// The file-system calls of Windows. Paths are bytes handed to the narrow ("A") functions and to
// fopen as they are, so a name with bytes beyond ASCII reaches the file system unchanged.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // SetFileInformationByHandle
#endif
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <random>

#include "paths.hpp"
#include "platform.hpp"

namespace platform {

namespace {

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

// The failure that a failed call with this system error code stands for.
FailureKind FailureFromWindowsError(DWORD code, const std::string& path) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return IsDirectory(FolderOf(path)) ? FailureKind::FileNotFound
                                               : FailureKind::PathNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DIRECTORY:  // a file where a folder should be
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return FailureKind::PathNotFound;
        case ERROR_ACCESS_DENIED:  // an access list that refuses us
        case ERROR_WRITE_PROTECT:
            return FailureKind::PermissionDenied;
        case ERROR_NOT_READY:
        case ERROR_DEV_NOT_EXIST:
            return FailureKind::DiskNotReady;
        default:
            return FailureKind::AccessFailure;  // sharing and lock violations, a full disk, ...
    }
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The names of a folder's entries that are folders (or, wantFolders false, files).
std::vector<std::string> ListEntries(const std::string& folder, bool wantFolders) {
    std::vector<std::string> names;
    for (FolderEntry& entry : ListFolder(folder))
        if ((entry.kind == EntryKind::Folder) == wantFolders)
            names.push_back(std::move(entry.name));
    return names;
}

HANDLE HandleOf(std::FILE* file) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
}

// The target as it stands on the disk when it exists: a file named in other letter case keeps
// its own name when it is replaced, as it does when it is opened for writing.
std::string NameOnDisk(const std::string& target) {
    const std::string name = NameOf(target);
    if (name.find_first_of("*?") != std::string::npos) return target;  // no pattern searches
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA(target.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return target;
    ::FindClose(find);
    return target.substr(0, target.size() - name.size()) + entry.cFileName;
}

std::string RandomLetters(size_t count) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random = [] {  // copies are written on several threads
        std::random_device device;
        std::seed_seq seed{device(), static_cast<unsigned>(::GetCurrentProcessId()),
                           static_cast<unsigned>(::GetTickCount64())};
        return std::mt19937(seed);
    }();
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string letters;
    for (size_t i = 0; i < count; ++i) letters += kLetters[pick(random)];
    return letters;
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
        default:
            return FailureKind::AccessFailure;
    }
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != kNoAttributes;
}

bool IsDirectory(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != kNoAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsReadOnlyFile(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == kNoAttributes || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (attributes & FILE_ATTRIBUTE_READONLY) return true;
    // Write access refused by an access list, or the file held by a program that shares it
    // for reading only: opening it for writing would fail.
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        return false;
    }
    DWORD code = ::GetLastError();
    return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ||
           code == ERROR_LOCK_VIOLATION;
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    std::string pattern = folder;
    if (!pattern.empty() && !IsSeparator(pattern.back()) && pattern.back() != ':')
        pattern += kPathSeparator;
    pattern += '*';
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA(pattern.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND && IsDirectory(folder)) return {};  // an empty drive
        // A folder that is not there is a path, not a file, not found.
        throw Failure(code == ERROR_FILE_NOT_FOUND ? FailureKind::PathNotFound
                                                   : FailureFromWindowsError(code, folder),
                      folder);
    }
    std::vector<FolderEntry> entries;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back({std::move(name), isFolder ? EntryKind::Folder : EntryKind::File});
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
    return entries;
}

std::string RealFolder(const std::string& folder) {
    return NormalFolder(folder);
}

std::optional<FileStamp> StampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    auto join = [](DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; };
    return FileStamp{{join(data.nFileSizeHigh, data.nFileSizeLow),
                      join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime),
                      join(data.ftCreationTime.dwHighDateTime, data.ftCreationTime.dwLowDateTime),
                      data.dwFileAttributes, 0}};
}

std::vector<std::string> ListFileNames(const std::string& folder) {
    return ListEntries(folder, false);
}

std::vector<std::string> ListFolderNames(const std::string& folder) {
    return ListEntries(folder, true);
}

void CreateFolder(const std::string& path) {
    if (!::CreateDirectoryA(path.c_str(), nullptr)) {
        DWORD code = ::GetLastError();
        throw Failure(code == ERROR_ALREADY_EXISTS ? FailureKind::AccessFailure
                                                   : FailureFromWindowsError(code, path),
                      path);
    }
}

std::FILE* OpenForReading(const std::string& path) {
    if (IsDirectory(path)) throw Failure(FailureKind::AccessFailure, path);
    // Shared for deleting too, as on POSIX: a file being read may still be replaced.
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw Failure(FailureFromWindowsError(::GetLastError(), path), path);
    int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        throw Failure(FailureKind::AccessFailure, path);
    }
    std::FILE* file = ::_fdopen(fd, "rb");
    if (!file) {
        ::_close(fd);
        throw Failure(FailureKind::AccessFailure, path);
    }
    return file;
}

TempFile CreateTempBeside(const std::string& target) {
    std::string name = ".";
    name += NameOf(target);
    name += ".tmp-";
    const std::string prefix = JoinPath(FolderOf(target), name);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = prefix + RandomLetters(6);
        HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            DWORD code = ::GetLastError();
            if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) continue;
            throw Failure(FailureFromWindowsError(code, target), target);
        }
        int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
        if (fd < 0) {
            ::CloseHandle(handle);
            ::DeleteFileA(path.c_str());
            throw Failure(FailureKind::AccessFailure, target);
        }
        std::FILE* file = ::_fdopen(fd, "wb");
        if (!file) {
            ::_close(fd);
            ::DeleteFileA(path.c_str());
            throw Failure(FailureKind::AccessFailure, target);
        }
        return {file, path};
    }
    throw Failure(FailureKind::AccessFailure, target);
}

void MatchPermissions(const TempFile& temp, const std::string& target) {
    // The replaced file keeps the target's attributes; a new one gets those of a plain create.
    // Either way the temporary file's hidden attribute goes.
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    DWORD existing = ::GetFileAttributesA(target.c_str());
    DWORD wanted = existing == kNoAttributes ? FILE_ATTRIBUTE_ARCHIVE : existing & kKept;
    FILE_BASIC_INFO info = {};  // times of 0 stay as they are
    info.FileAttributes = wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL;
    ::SetFileInformationByHandle(HandleOf(temp.file), FileBasicInfo, &info, sizeof info);
}

bool FlushToDisk(std::FILE* file) {
    HANDLE handle = HandleOf(file);
    return handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle);
}

bool ReplaceWithTemp(const std::string& temp, const std::string& target, bool durable) {
    const std::string destination = NameOnDisk(target);
    if (!::MoveFileExA(temp.c_str(), destination.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    if (durable) SyncFolder(FolderOf(destination));
    return true;
}

void SyncFolder(const std::string& folder) {
    // Flushing a folder opened for writing makes its entries last (as far as the file system
    // supports it; the journal of NTFS keeps renames anyway).
    HANDLE handle = ::CreateFileA(folder.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        ::FlushFileBuffers(handle);
        ::CloseHandle(handle);
    }
}

void RemoveFile(const std::string& path) {
    if (!::DeleteFileA(path.c_str()) && ::GetLastError() == ERROR_ACCESS_DENIED) {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only leftover
        ::DeleteFileA(path.c_str());
    }
}

std::string CurrentFolder() {
    std::string folder(MAX_PATH, '\0');
    DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
    if (length > folder.size()) {
        folder.resize(length);
        length = ::GetCurrentDirectoryA(length, folder.data());
    }
    folder.resize(length);
    return folder.empty() ? std::string("c:\\") : folder;
}

bool IsTerminal(std::FILE* stream) {
    return ::_isatty(::_fileno(stream)) != 0;
}

}  // namespace platform
