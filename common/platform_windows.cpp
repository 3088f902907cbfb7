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
#include <random>
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

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The names of a folder's entries that are folders (or, wantFolders false, files).
std::vector<std::string> ListEntries(const std::string& folder, bool wantFolders) {
    std::vector<std::string> names;
    for (FolderEntry& entry : ListFolder(folder))
        if ((entry.Kind == EntryKind::Folder) == wantFolders)
            names.push_back(std::move(entry.Name));
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

bool Exists(const std::string& path) {
    return AttributesOf(path) != kNoAttributes;
}

bool IsDirectory(const std::string& path) {
    DWORD attributes = AttributesOf(path);
    return attributes != kNoAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsReadOnlyFile(const std::string& path) {
    DWORD attributes = AttributesOf(path);
    if (attributes == kNoAttributes || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
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

std::optional<FileStamp> StampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
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
    if (!::CreateDirectoryW(Wide(path).c_str(), nullptr)) {
        DWORD code = ::GetLastError();
        throw Failure(code == ERROR_ALREADY_EXISTS ? FailureKind::AccessFailure
                                                   : FailureFromWindowsError(code, path),
                      path);
    }
}

FileHandle OpenForReading(const std::string& path) {
    if (IsDirectory(path)) throw Failure(FailureKind::AccessFailure, path);
    // Shared for deleting too, as on POSIX: a file being read may still be replaced.
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_READ,
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
    return FileHandle(file);
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
        HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ,
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
        return {FileHandle(file), std::move(path)};
    }
    throw Failure(FailureKind::AccessFailure, target);
}

void MatchPermissions(const TempFile& temp, const std::string& target) {
    // The replaced file keeps the target's attributes; a new one gets those of a plain create.
    // Either way the temporary file's hidden attribute goes.
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    DWORD existing = AttributesOf(target);
    DWORD wanted = existing == kNoAttributes ? FILE_ATTRIBUTE_ARCHIVE : existing & kKept;
    FILE_BASIC_INFO info = {};  // times of 0 stay as they are
    info.FileAttributes = wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL;
    ::SetFileInformationByHandle(HandleOf(temp.File.get()), FileBasicInfo, &info, sizeof info);
}

bool FlushToDisk(std::FILE* file) {
    HANDLE handle = HandleOf(file);
    return handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle);
}

bool CloseAndReplace(TempFile& temp, const std::string& target) {
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
    ok = ok && RenameOpenFile(keep, NameOnDisk(target));
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
