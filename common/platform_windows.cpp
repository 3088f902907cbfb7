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
    std::vector<std::string> names;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == wantFolders)
            names.push_back(std::move(name));
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
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

// The file goes when its last handle is closed (at the latest when the process ends).
void MarkForDeletion(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = TRUE;
    ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
}

// Renames an open file over the destination in one step, as MoveFileEx would after a close.
bool RenameOpenFile(HANDLE handle, const std::string& destination) {
    // The full path in UTF-16, converted as the narrow ("A") calls convert names.
    std::string full(MAX_PATH, '\0');
    DWORD fullLength = ::GetFullPathNameA(destination.c_str(), static_cast<DWORD>(full.size()),
                                          full.data(), nullptr);
    if (fullLength >= full.size()) {
        full.resize(fullLength);
        fullLength = ::GetFullPathNameA(destination.c_str(), fullLength, full.data(), nullptr);
    }
    if (fullLength == 0 || fullLength >= full.size()) return false;
    full.resize(fullLength);
    const UINT codePage = ::AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    const int length =
        ::MultiByteToWideChar(codePage, 0, full.data(), static_cast<int>(full.size()), nullptr, 0);
    if (length <= 0) return false;
    const size_t nameBytes = static_cast<size_t>(length) * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    ::MultiByteToWideChar(codePage, 0, full.data(), static_cast<int>(full.size()), info->FileName,
                          length);
    return ::SetFileInformationByHandle(handle, FileRenameInfo, info,
                                        static_cast<DWORD>(buffer.size()));
}

std::string RandomLetters(size_t count) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random = [] {  // writers may run in several threads
        std::random_device device;
        std::seed_seq seed{device(), static_cast<unsigned>(::GetCurrentProcessId()),
                           static_cast<unsigned>(::GetCurrentThreadId()),
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

void CheckCanCreateIn(const std::string& folder, const std::string& target) {
    if (!IsDirectory(folder)) throw Failure(FailureKind::PathNotFound, target);
}

TempFile CreateTempBeside(const std::string& target) {
    const std::string prefix = JoinPath(FolderOf(target), TempNamePrefix(NameOf(target)));
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = prefix + RandomLetters(6);
        // Shared for reading only: while it is open no other program can delete it, so no
        // other run takes it for a leftover. DELETE lets this program rename or remove it
        // through its own handle.
        HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            DWORD code = ::GetLastError();
            if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) continue;
            throw Failure(FailureFromWindowsError(code, target), target);
        }
        int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
        if (fd < 0) {
            MarkForDeletion(handle);
            ::CloseHandle(handle);
            throw Failure(FailureKind::AccessFailure, target);
        }
        std::FILE* file = ::_fdopen(fd, "wb");
        if (!file) {
            MarkForDeletion(handle);
            ::_close(fd);
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

bool CloseAndReplace(TempFile& temp, const std::string& target) {
    // A second handle keeps the file open (and so undeletable by others) while the stream's
    // close reports any write error; the file is then renamed through it.
    HANDLE keep = nullptr;
    bool ok = ::DuplicateHandle(::GetCurrentProcess(), HandleOf(temp.file), ::GetCurrentProcess(),
                                &keep, 0, FALSE, DUPLICATE_SAME_ACCESS);
    ok = std::fclose(temp.file) == 0 && ok;
    temp.file = nullptr;
    if (!keep) {
        ::DeleteFileA(temp.path.c_str());
        return false;
    }
    ok = ok && RenameOpenFile(keep, NameOnDisk(target));
    if (!ok) MarkForDeletion(keep);
    ::CloseHandle(keep);
    return ok;
}

void RemoveOpenTemp(const TempFile& temp) {
    MarkForDeletion(HandleOf(temp.file));
}

void RemoveLeftoverTemps(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA(JoinPath(folder, "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        // A file its writer still has open cannot be deleted: only leftovers go.
        if ((entry.dwFileAttributes & kNotAFile) == 0 && IsTempName(entry.cFileName))
            ::DeleteFileA(JoinPath(folder, entry.cFileName).c_str());
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
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

namespace {
void (*gOnInterrupt)(int status) = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            gOnInterrupt(130);
            break;
        case CTRL_CLOSE_EVENT:
            gOnInterrupt(129);
            break;
        default:  // logoff, shutdown
            gOnInterrupt(143);
            break;
    }
    return TRUE;
}
}  // namespace

void WatchInterrupts(void (*onInterrupt)(int status)) {
    // The system calls the handler on a thread of its own. Ctrl+C stays ignored when the
    // program was started with it ignored.
    gOnInterrupt = onInterrupt;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace platform
