// The file system of Windows. Only the wide (UTF-16) calls are used, so that every name the
// system can hold works: a path's bytes are converted by Utf16Path, names the system gives back
// by Utf8Name. A folder written into is held open without delete sharing, so that it cannot be
// moved or removed while the run writes there; a new file is marked for deletion until it
// takes its target's place.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // SetFileInformationByHandle
#endif
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <process.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <utility>

#include "file_system.hpp"
#include "name_encoding.hpp"
#include "open_temps.hpp"
#include "path_syntax.hpp"
#include "temp_names.hpp"
#include "wide_text.hpp"

namespace scene::platform {

namespace {

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

DWORD AttributesOf(const std::string& path) {
    return ::GetFileAttributesW(Wide(path).c_str());
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != kNoAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string Reason(DWORD code) {
    return std::error_code(static_cast<int>(code), std::system_category()).message();
}

// The failure that a failed call on `path` with this error code stands for: the one place
// where the system's errors become the tools' failures.
Failure SystemFailure(DWORD code, const std::string& path) {
    FailureKind kind = FailureKind::AccessFailure;  // sharing and lock violations, ...
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            kind = IsFolder(FolderOf(path)) ? FailureKind::FileNotFound : FailureKind::PathNotFound;
            break;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DIRECTORY:  // a file where a folder should be
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            kind = FailureKind::PathNotFound;
            break;
        case ERROR_ACCESS_DENIED:  // an access list that refuses us
        case ERROR_WRITE_PROTECT:
            kind = FailureKind::PermissionDenied;
            break;
        case ERROR_NOT_READY:
        case ERROR_DEV_NOT_EXIST:
            kind = FailureKind::DiskNotReady;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            kind = FailureKind::DiskFull;
            break;
        default:
            break;
    }
    return Failure(kind, path, Reason(code));
}

// A failure while writing or putting a file in place: a full disk, else the access failure.
Failure WriteFailure(DWORD code, const std::string& target) {
    const bool full = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL;
    return Failure(full ? FailureKind::DiskFull : FailureKind::AccessFailure, target, Reason(code));
}

class WindowsReadFile : public ReadableFile {
  public:
    WindowsReadFile(std::string path, HANDLE handle)
        : ReadableFile(std::move(path)), handle_(handle) {}
    ~WindowsReadFile() override { ::CloseHandle(handle_); }

    size_t Read(char* to, size_t size) override {
        DWORD n = 0;
        const DWORD asked = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        if (!::ReadFile(handle_, to, asked, &n, nullptr))
            throw Failure(FailureKind::AccessFailure, Path(), Reason(::GetLastError()));
        return n;
    }
    void Rewind() override {
        LARGE_INTEGER start = {};
        if (!::SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN))
            throw Failure(FailureKind::AccessFailure, Path(), Reason(::GetLastError()));
    }
    ContentStamp Stamp() override {
        BY_HANDLE_FILE_INFORMATION data;
        if (!::GetFileInformationByHandle(handle_, &data))
            throw Failure(FailureKind::AccessFailure, Path(), Reason(::GetLastError()));
        auto join = [](DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; };
        return {join(data.nFileSizeHigh, data.nFileSizeLow),
                static_cast<int64_t>(
                    join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime))};
    }
    HANDLE Handle() const { return handle_; }
    // Closes the file (and so drops its lock) before the program replaces it.
    void Close() {
        ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE handle_;
};

// Shared for deleting too, as on POSIX: a file being read may still be replaced.
std::unique_ptr<WindowsReadFile> OpenRegular(const std::string& path) {
    if (IsFolder(path)) throw Failure(FailureKind::AccessFailure, path, "Is a directory");
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw SystemFailure(::GetLastError(), path);
    if (::GetFileType(handle) != FILE_TYPE_DISK) {  // a pipe or a device
        ::CloseHandle(handle);
        throw Failure(FailureKind::AccessFailure, path, "Not a regular file");
    }
    return std::make_unique<WindowsReadFile>(path, handle);
}

// The volume and index that tell one file from another, or nothing when they cannot be had.
std::optional<std::pair<DWORD, uint64_t>> FileIdOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION data;
    if (!::GetFileInformationByHandle(handle, &data)) return std::nullopt;
    return std::pair{data.dwVolumeSerialNumber,
                     (uint64_t{data.nFileIndexHigh} << 32) | data.nFileIndexLow};
}

std::optional<std::pair<DWORD, uint64_t>> FileIdOf(const std::string& path) {
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    auto id = FileIdOf(handle);
    ::CloseHandle(handle);
    return id;
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
void MarkForDeletion(HANDLE handle, bool deleted = true) {
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = deleted ? TRUE : FALSE;
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

class WindowsFolder;

// The new file, hidden and shared for reading only, so that no other run deletes it as a
// leftover; marked for deletion until it is renamed into place.
class WindowsWriteFile : public WritableFile {
  public:
    WindowsWriteFile(std::shared_ptr<const WindowsFolder> folder, std::string target, HANDLE handle,
                     Durability durability, bool replacesFile, WindowsReadFile* replaced)
        : WritableFile(std::move(target)),
          folder_(std::move(folder)),
          handle_(handle),
          durability_(durability),
          replacesFile_(replacesFile),
          replaced_(replaced) {
        MarkForDeletion(handle_);
        TheOpenTemps().Note(this, [handle] { MarkForDeletion(handle); });
    }
    ~WindowsWriteFile() override {
        if (handle_ == INVALID_HANDLE_VALUE) return;  // committed and closed
        const auto hold = TheOpenTemps().Hold();
        if (!committed_) MarkForDeletion(handle_);
        TheOpenTemps().Forget(this);
        ::CloseHandle(handle_);
    }

    void Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            DWORD n = 0;
            const DWORD asked = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
            if (!::WriteFile(handle_, bytes.data(), asked, &n, nullptr))
                throw WriteFailure(::GetLastError(), Target());
            bytes.remove_prefix(n);
        }
    }

    void Commit() override {
        if (durability_ == Durability::UserFile && !::FlushFileBuffers(handle_))
            throw WriteFailure(::GetLastError(), Target());
        const auto hold = TheOpenTemps().Hold();
        MarkForDeletion(handle_, false);
        const std::string onDisk = NameOnDisk(Target());
        bool renamed = RenameOpenFile(handle_, onDisk);
        // A file open here cannot be replaced where the system keeps the old rule: the locked
        // target is then closed, its lock with it, just before it is replaced.
        if (!renamed && replaced_) {
            replaced_->Close();
            renamed = RenameOpenFile(handle_, onDisk);
        }
        if (!renamed) {
            const DWORD code = ::GetLastError();
            MarkForDeletion(handle_);
            throw WriteFailure(code, Target());
        }
        committed_ = true;
        // Closed at once: the handle's delete access would keep other programs from opening the
        // file as long as the writer lives.
        TheOpenTemps().Forget(this);
        ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

    bool ReplacesFile() const override { return replacesFile_; }

  private:
    std::shared_ptr<const WindowsFolder> folder_;  // held open while the file is written
    HANDLE handle_;
    Durability durability_;
    bool replacesFile_;
    WindowsReadFile* replaced_;
    bool committed_ = false;
};

bool IsReadOnlyFile(const std::string& path, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_READONLY) return true;
    // Write access refused by an access list, or the file held by a program that shares it for
    // reading only: opening it for writing would fail.
    HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        return false;
    }
    const DWORD code = ::GetLastError();
    return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ||
           code == ERROR_LOCK_VIOLATION;
}

// The attributes a new file gets in the target's place: those of the file it replaces, or those
// of a plain new file; never the temporary file's hidden attribute.
void MatchAttributes(HANDLE handle, DWORD targetAttributes) {
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD wanted =
        targetAttributes != kNoAttributes ? targetAttributes & kKept : FILE_ATTRIBUTE_ARCHIVE;
    FILE_BASIC_INFO info = {};  // times of 0 stay as they are
    info.FileAttributes = wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL;
    ::SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info);
}

class WindowsFolder : public Folder, public std::enable_shared_from_this<WindowsFolder> {
  public:
    WindowsFolder(std::string path, HANDLE handle) : Folder(std::move(path)), handle_(handle) {}
    ~WindowsFolder() override { ::CloseHandle(handle_); }

    std::unique_ptr<WritableFile> Create(const std::string& name, Durability durability,
                                         ReadableFile* replaced) override {
        const std::string target = JoinPath(Path(), name);
        const DWORD attributes = AttributesOf(target);
        const bool exists = attributes != kNoAttributes;
        if (exists &&
            ((attributes & FILE_ATTRIBUTE_DIRECTORY) || IsReadOnlyFile(target, attributes)))
            throw Failure(FailureKind::AccessFailure, target);
        HANDLE handle = CreateTemp(name);
        MatchAttributes(handle, attributes);
        return std::make_unique<WindowsWriteFile>(shared_from_this(), target, handle, durability,
                                                  exists, static_cast<WindowsReadFile*>(replaced));
    }

    void RemoveLeftovers() override {
        WIN32_FIND_DATAW entry;
        HANDLE find = ::FindFirstFileW(Wide(JoinPath(Path(), "*")).c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
            // A file its writer still has open cannot be deleted: only leftovers go.
            const std::string name = Bytes(entry.cFileName);
            if ((entry.dwFileAttributes & kNotAFile) == 0 && IsTempName(name))
                ::DeleteFileW(Wide(JoinPath(Path(), name)).c_str());
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }

  private:
    // Shared for reading only: while it is open no other program can delete it, so no other
    // run takes it for a leftover. DELETE lets this program rename or remove it itself.
    HANDLE CreateTemp(const std::string& name) const {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const auto hold = TheOpenTemps().Hold();
            const std::string temp = JoinPath(Path(), NewTempName(name));
            HANDLE handle =
                ::CreateFileW(Wide(temp).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
            if (handle != INVALID_HANDLE_VALUE) return handle;
            const DWORD code = ::GetLastError();
            if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
                throw SystemFailure(code, Path());  // a temporary file the folder does not take
        }
        throw Failure(FailureKind::AccessFailure, JoinPath(Path(), name));
    }

    HANDLE handle_;
};

class WindowsThread : public Thread {
  public:
    explicit WindowsThread(HANDLE thread) : thread_(thread) {}
    ~WindowsThread() override {
        ::WaitForSingleObject(thread_, INFINITE);
        ::CloseHandle(thread_);
    }

  private:
    HANDLE thread_;
};

unsigned __stdcall RunBody(void* body) {
    std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(body));
    (*owned)();
    return 0;
}

// A worker reads and writes through heap buffers: a small stack keeps many of them within a
// limited address space.
constexpr unsigned kThreadStack = 1 << 20;

class WindowsFileSystem : public FileSystem {
  public:
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
        return OpenRegular(path);
    }

    std::unique_ptr<ReadableFile> OpenLocked(const std::string& path) override {
        for (;;) {
            std::unique_ptr<WindowsReadFile> file = OpenRegular(path);
            OVERLAPPED whole = {};
            const bool locked = ::LockFileEx(file->Handle(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD,
                                             MAXDWORD, &whole);
            // Another run may have replaced the file while this one waited: then the path names
            // its new file, which is the one to read.
            const auto id = FileIdOf(file->Handle());
            if (!locked || !id || id == FileIdOf(path)) return file;
        }
    }

    TargetState StateOf(const std::string& path) override {
        const DWORD attributes = AttributesOf(path);
        if (attributes == kNoAttributes) return {};
        const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return {true, folder, !folder && IsReadOnlyFile(path, attributes)};
    }

    std::vector<FolderEntry> ListFolder(const std::string& folder) override;

    std::string RealFolder(const std::string& folder) override {
        std::wstring full(MAX_PATH, L'\0');
        const std::wstring wide = Wide(folder);
        DWORD length =
            ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length >= full.size()) {
            full.resize(length);
            length = ::GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
        }
        if (length == 0 || length >= full.size()) return folder;
        full.resize(length);
        while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
        return Bytes(full.c_str());
    }

    void CreateFolder(const std::string& path) override {
        if (::CreateDirectoryW(Wide(path).c_str(), nullptr)) return;
        const DWORD code = ::GetLastError();
        if (code == ERROR_ALREADY_EXISTS) throw Failure(FailureKind::AccessFailure, path);
        throw SystemFailure(code, path);
    }

    std::shared_ptr<Folder> OpenFolder(const std::string& path) override {
        // Not shared for deleting: the folder cannot be moved or removed while it is written.
        HANDLE handle = ::CreateFileW(Wide(path).c_str(), FILE_LIST_DIRECTORY,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD code = ::GetLastError();
            throw code == ERROR_FILE_NOT_FOUND
                ? Failure(FailureKind::PathNotFound, path, Reason(code))
                : SystemFailure(code, path);
        }
        return std::make_shared<WindowsFolder>(path, handle);
    }

    void CheckCanCreate(const std::string& folder, const std::string& name) override {
        if (!IsFolder(folder)) throw Failure(FailureKind::PathNotFound, folder);
        if (Utf16Path(name).size() > kNameMax)
            throw Failure(FailureKind::AccessFailure, JoinPath(folder, name),
                          Reason(ERROR_FILENAME_EXCED_RANGE));
    }

    std::unique_ptr<Thread> StartThread(std::function<void()> body) override {
        auto owned = std::make_unique<std::function<void()>>(std::move(body));
        const uintptr_t thread = ::_beginthreadex(nullptr, kThreadStack, RunBody, owned.get(),
                                                  STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (thread == 0) return nullptr;
        owned.release();  // the thread owns it now
        return std::make_unique<WindowsThread>(reinterpret_cast<HANDLE>(thread));
    }
};

std::vector<FolderEntry> WindowsFileSystem::ListFolder(const std::string& folder) {
    std::string pattern = folder;
    if (!pattern.empty() && !IsPathSeparator(pattern.back()) && pattern.back() != ':')
        pattern += kPathSeparator;
    pattern += '*';
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW(Wide(pattern).c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND && IsFolder(folder)) return {};  // an empty drive
        // A folder that is not there is a path, not a file, not found.
        throw code == ERROR_FILE_NOT_FOUND
            ? Failure(FailureKind::PathNotFound, folder, Reason(code))
            : SystemFailure(code, folder);
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

}  // namespace

FileSystem& SystemFileSystem() {
    static WindowsFileSystem files;
    return files;
}

}  // namespace scene::platform
