#include "run_program.hpp"

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>

#include "test_files.hpp"

namespace scene {

std::string Arg(const std::string& text) {
    return '"' + text + '"';
}

std::string Printed(const std::string& text) {
#ifdef _WIN32
    std::string lines;
    for (char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return lines;
#else
    return text;
#endif
}

ProgramResult RunProgram(std::string program, const std::string& args,
                         const std::string& scratchFolder) {
#ifdef _WIN32
    std::replace(program.begin(), program.end(), '/', '\\');  // cmd.exe takes "/" for an option
#endif
    const std::string out = scratchFolder + "/out", err = scratchFolder + "/err";
    const std::string command = program + " " + args + " >" + Arg(out) + " 2>" + Arg(err);
    int raw = std::system(command.c_str());
#ifdef _WIN32
    // -1 is cmd.exe not starting at all (seen once under a loaded Wine), never the program's
    // own status: start it again rather than report the harness as the program.
    for (int attempt = 0; raw == -1 && attempt < 3; ++attempt) raw = std::system(command.c_str());
#endif
    ProgramResult result;
#ifdef _WIN32
    result.Status = raw;  // the program's exit code, passed on by cmd.exe
#else
    if (WIFEXITED(raw)) result.Status = WEXITSTATUS(raw);
#endif
    result.Out = ReadBytes(out);
    result.Err = ReadBytes(err);
    return result;
}

}  // namespace scene
