#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cwchar>

#include "name_encoding.hpp"
#include "system.hpp"
#include "wide_text.hpp"

namespace scene::platform {

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

std::string NameKey(std::string_view name) {
    std::wstring wide = Wide(std::string(name));
    // In place; the invariant capitals are the ones the file system compares names by.
    ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(),
                    static_cast<int>(wide.size()), wide.data(), static_cast<int>(wide.size()),
                    nullptr, nullptr, 0);
    return Bytes(wide.c_str());
}

void WatchInterrupts(void (*onInterrupt)(int status)) {
    // The system calls the handler on a thread of its own. Ctrl+C stays ignored when the
    // program was started with it ignored.
    gOnInterrupt = onInterrupt;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace scene::platform
