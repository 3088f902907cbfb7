// What the tools ask of the system besides files: their arguments, the machine's volumes, the
// current folder, the terminal, the signals that end them, and how names are compared and shown.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace scene::platform {

#ifdef _WIN32
// Arguments follow Windows' conventions: "/?" asks for the usage.
inline constexpr bool kWindowsArguments = true;
// The system names files in UTF-16 (name_encoding.hpp converts); elsewhere names are bytes that
// the locale decodes.
inline constexpr bool kWideNames = true;
#else
inline constexpr bool kWindowsArguments = false;
inline constexpr bool kWideNames = false;
#endif

#ifdef _WIN32
inline constexpr const char* kNullDevice = "NUL";
#else
inline constexpr const char* kNullDevice = "/dev/null";
#endif

// The program's arguments (argv[0] first) as bytes: on Windows its UTF-16 command line as
// UTF-8, as names come back from the system (the 8-bit argv holds only what the ANSI code page
// can); elsewhere argv as it is. On a Windows console, printed text is then shown as UTF-8 too.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The root folders of the machine's volumes: on Windows each drive letter's ("C:\"), in the
// order of the letters; elsewhere the mounted file systems' (MountedRoots) that are folders,
// "/" alone when the mount table cannot be read.
std::vector<std::string> VolumeRoots();

// The program's current folder; when it cannot be had, the root folder ("/", or "c:\\" on
// Windows).
std::string CurrentFolder();

// Whether the stream is a terminal (not a pipe or a file).
bool IsTerminal(std::FILE* stream);

// A name's key for finding files letter case aside: equal keys stand for the same file of a
// folder. On Windows the name's UTF-16 form in capitals, as UTF-8 (so a Windows-1252 name
// matches its UTF-8 spelling); elsewhere the bytes with ASCII letters in capitals.
std::string NameKey(std::string_view name);

// Calls `onInterrupt` with the exit status shells expect (130 SIGINT, 143 SIGTERM, 129 SIGHUP)
// when one of those signals arrives; on Windows for the console's control events (Ctrl+C and
// Ctrl+Break 130, closing the console 129, logoff and shutdown 143). It runs on a thread of its
// own, never inside a signal handler, and must end the program. A signal ignored when the
// program starts (nohup, a background job) stays ignored. Call before any thread starts. Best
// effort: without a thread to watch them, the signals end the program as the system ends it.
void WatchInterrupts(void (*onInterrupt)(int status));

}  // namespace scene::platform
