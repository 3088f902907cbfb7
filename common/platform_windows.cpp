// The file-system calls of Windows. Only the wide (UTF-16) calls are used, so that every name the
// system can hold works: a path's bytes are converted by Utf16Path, names the system gives back
// by Utf8Name.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // SetFileInformationByHandle
#endif
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <system_error>
#include <utility>

#include "name_encoding.hpp"
#include "paths.hpp"
#include "platform.hpp"

namespace scene {

namespace platform {

namespace {

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

// A path for the wide calls, and a name they gave back as bytes.
std::wstring Wide(const std::string& path) {
    const std::u16string name = Utf16Path(path);
    return std::wstring(name.begin(), name.end());
}
std::string Bytes(const wchar_t* name) {
    const std::wstring_view wide(name);
    return Utf8Name(std::u16string(wide.begin(), wide.end()));
}

DWORD AttributesOf(const std::string& path) {
    return ::GetFileAttributesW(Wide(path).c_str());
}

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

// That failure, with the system's own words for the error.
Failure SystemFailure(DWORD code, const std::string& path) {
    return Failure(FailureFromWindowsError(code, path), path,
                   std::error_code(static_cast<int>(code), std::system_category()).message());
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

HANDLE HandleOf(std::FILE* file) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
}

// The target as it stands on the disk when it exists: a file named in other letter case keeps
// its own name when it is replaced, as it does when it is opened for writing.
std::string NameOnDisk(const std::string& target) {
    const std::string name = NameOf(target);
    if (name.find_first_of("*?") != std::string::npos) return target;  // no pattern searches
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW(Wide(target).c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return target;
    ::FindClose(find);
    return target.substr(0, target.size() - name.size()) + Bytes(entry.cFileName);
}

// The file goes when its last handle is closed (at the latest when the process ends).
void MarkForDeletion(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = TRUE;
    ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
}

// Renames an open file over the destination in one step, as MoveFileEx would after a close.
bool RenameOpenFile(HANDLE handle, const std::string& destination) {
    const std::wstring wide = Wide(destination);
    std::wstring full(MAX_PATH, L'\0');
    DWORD length =
        ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = ::GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    }
    if (length == 0 || length >= full.size()) return false;
    full.resize(length);
    const size_t nameBytes = static_cast<size_t>(length) * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(full.begin(), full.end(), info->FileName);
    return ::SetFileInformationByHandle(handle, FileRenameInfo, info,
                                        static_cast<DWORD>(buffer.size()));
}

}  // namespace

size_t RootLength(std::string_view path) {
    if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) return 3;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return 2;  // \\server
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

bool Exists(const std::string& path) {
    return AttributesOf(path) != kNoAttributes;
}

bool IsDirectory(const std::string& path) {
    DWORD attributes = AttributesOf(path);
    return attributes != kNoAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {
bool IsReadOnlyFile(const std::string& path, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_READONLY) return true;
    // Write access refused by an access list, or the file held by a program that shares it
    // for reading only: opening it for writing would fail.
    HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE,
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
}  // namespace

TargetState StateOf(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == kNoAttributes) return {};
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return {true, folder, !folder && IsReadOnlyFile(path, attributes), attributes};
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    std::string pattern = folder;
    if (!pattern.empty() && !IsSeparator(pattern.back()) && pattern.back() != ':')
        pattern += kPathSeparator;
    pattern += '*';
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW(Wide(pattern).c_str(), &entry);
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
        std::string name = Bytes(entry.cFileName);
        if (name == "." || name == "..") continue;
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back({std::move(name), isFolder ? EntryKind::Folder : EntryKind::File});
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return entries;
}

std::string RealFolder(const std::string& folder) {
    return NormalFolder(folder);
}

namespace {
// The open file's size, times and attributes: what tells whether it changed.
std::optional<FileStamp> StampOf(std::FILE* file) {
    BY_HANDLE_FILE_INFORMATION data;
    if (!::GetFileInformationByHandle(HandleOf(file), &data)) return std::nullopt;
    auto join = [](DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; };
    return FileStamp{{join(data.nFileSizeHigh, data.nFileSizeLow),
                      join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime),
                      join(data.ftCreationTime.dwHighDateTime, data.ftCreationTime.dwLowDateTime),
                      data.dwFileAttributes, 0}};
}
}  // namespace

void CreateFolder(const std::string& path) {
    if (!::CreateDirectoryW(Wide(path).c_str(), nullptr)) {
        DWORD code = ::GetLastError();
        if (code == ERROR_ALREADY_EXISTS) throw Failure(FailureKind::AccessFailure, path);
        throw SystemFailure(code, path);
    }
}

FileHandle OpenForReading(const std::string& path, std::optional<FileStamp>* stamp) {
    if (IsDirectory(path)) throw Failure(FailureKind::AccessFailure, path);
    // Shared for deleting too, as on POSIX: a file being read may still be replaced.
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw SystemFailure(::GetLastError(), path);
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
    std::setvbuf(file, nullptr, _IONBF, 0);  // read in large blocks by the callers themselves
    if (stamp) *stamp = StampOf(file);
    return FileHandle(file);
}

namespace {
// The volume and index that tell one file from another, or nothing when they cannot be had.
std::optional<std::pair<DWORD, uint64_t>> FileIdOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION data;
    if (!::GetFileInformationByHandle(handle, &data)) return std::nullopt;
    return std::pair{data.dwVolumeSerialNumber,
                     (uint64_t{data.nFileIndexHigh} << 32) | data.nFileIndexLow};
}

std::optional<std::pair<DWORD, uint64_t>> FileIdOf(const std::string& path) {
    HANDLE handle =
        ::CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    auto id = FileIdOf(handle);
    ::CloseHandle(handle);
    return id;
}
}  // namespace

FileHandle OpenLockedForRewrite(const std::string& path) {
    for (;;) {
        FileHandle file = OpenForReading(path);
        HANDLE handle = HandleOf(file.get());
        OVERLAPPED whole = {};
        const bool locked =
            ::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
        // Another run may have replaced the file while this one waited: then the path names
        // its new file, which is the one to read.
        const auto id = FileIdOf(handle);
        if (!locked || !id || id == FileIdOf(path)) return file;
    }
}

void CheckCanCreateIn(const std::string& folder, const std::string& target) {
    if (!IsDirectory(folder)) throw Failure(FailureKind::PathNotFound, target);
    if (Utf16Path(NameOf(target)).size() > kNameMax)
        throw Failure(FailureKind::AccessFailure, target);  // as creating it would fail
}

bool CreateTemp(const std::string& path, const std::string& target, TempFile& temp) {
    // Shared for reading only: while it is open no other program can delete it, so no other
    // run takes it for a leftover. DELETE lets this program rename or remove it through its own
    // handle.
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD code = ::GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) return false;
        throw SystemFailure(code, target);
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
    std::setvbuf(file, nullptr, _IONBF, 0);  // the writer buffers itself
    temp = {FileHandle(file), path};
    return true;
}

void MatchPermissions(const TempFile& temp, const TargetState& target) {
    // The replaced file keeps the target's attributes; a new one gets those of a plain create.
    // Either way the temporary file's hidden attribute goes.
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD wanted = target.Exists ? target.Permissions & kKept : FILE_ATTRIBUTE_ARCHIVE;
    FILE_BASIC_INFO info = {};  // times of 0 stay as they are
    info.FileAttributes = wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL;
    ::SetFileInformationByHandle(HandleOf(temp.File.get()), FileBasicInfo, &info, sizeof info);
}

bool FlushToDisk(std::FILE* file) {
    HANDLE handle = HandleOf(file);
    return handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle);
}

bool CloseAndReplace(TempFile& temp, const std::string& target, FileHandle* lockedTarget) {
    // A second handle keeps the file open (and so undeletable by others) while the stream's
    // close reports any write error; the file is then renamed through it.
    HANDLE keep = nullptr;
    bool ok = ::DuplicateHandle(::GetCurrentProcess(), HandleOf(temp.File.get()),
                                ::GetCurrentProcess(), &keep, 0, FALSE, DUPLICATE_SAME_ACCESS);
    ok = std::fclose(temp.File.release()) == 0 && ok;
    if (!keep) {
        ::DeleteFileW(Wide(temp.Path).c_str());
        return false;
    }
    const std::string onDisk = NameOnDisk(target);
    bool renamed = ok && RenameOpenFile(keep, onDisk);
    // A file open here cannot be replaced where the system keeps the old rule: the locked
    // target is then closed, its lock with it, just before it is replaced.
    if (ok && !renamed && lockedTarget && *lockedTarget) {
        lockedTarget->reset();
        renamed = RenameOpenFile(keep, onDisk);
    }
    ok = renamed;
    if (!ok) MarkForDeletion(keep);
    ::CloseHandle(keep);
    return ok;
}

void RemoveOpenTemp(const TempFile& temp) {
    MarkForDeletion(HandleOf(temp.File.get()));
}

void RemoveLeftoverTemps(const std::string& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW(Wide(JoinPath(folder, "*")).c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        // A file its writer still has open cannot be deleted: only leftovers go.
        const std::string name = Bytes(entry.cFileName);
        if ((entry.dwFileAttributes & kNotAFile) == 0 && IsTempName(name))
            ::DeleteFileW(Wide(JoinPath(folder, name)).c_str());
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}

void SyncFolder(const std::string& folder) {
    // Flushing a folder opened for writing makes its entries last (as far as the file system
    // supports it; the journal of NTFS keeps renames anyway).
    HANDLE handle = ::CreateFileW(Wide(folder).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        ::FlushFileBuffers(handle);
        ::CloseHandle(handle);
    }
}

std::string NameKey(std::string_view name) {
    std::wstring wide = Wide(std::string(name));
    // In place; the invariant capitals are the ones the file system compares names by.
    ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(),
                    static_cast<int>(wide.size()), wide.data(), static_cast<int>(wide.size()),
                    nullptr, nullptr, 0);
    return Bytes(wide.c_str());
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Bytes(wide[i]));
    ::LocalFree(wide);
    ::SetConsoleOutputCP(CP_UTF8);  // best effort: no console, nothing to set
    return arguments;
}

std::string CurrentFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    if (length > folder.size()) {
        folder.resize(length);
        length = ::GetCurrentDirectoryW(length, folder.data());
    }
    folder.resize(length);
    return folder.empty() ? std::string("c:\\") : Bytes(folder.c_str());
}

std::vector<std::string> VolumeRoots() {
    // "C:\", "D:\", ... one after another, each ended by a null, the list by a second one.
    std::wstring letters(::GetLogicalDriveStringsW(0, nullptr), L'\0');
    const DWORD length =
        ::GetLogicalDriveStringsW(static_cast<DWORD>(letters.size()), letters.data());
    std::vector<std::string> roots;
    if (length == 0 || length >= letters.size()) return roots;
    for (const wchar_t* root = letters.c_str(); *root != L'\0'; root += std::wcslen(root) + 1)
        roots.push_back(Bytes(root));
    return roots;
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

}  // namespace scene
