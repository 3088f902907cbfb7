// Running a built command-line program from a test, as a script would: its exit status and
// what it printed on standard output and standard error.
#pragma once

#include <string>

namespace scene {

struct ProgramResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// A path or text as one argument; double quotes serve both sh and cmd.exe for these texts.
std::string Arg(const std::string& text);

// Printed lines as they reach a file: standard output and error are text streams, whose line
// ends are CR LF on Windows.
std::string Printed(const std::string& text);

// Runs PROGRAM with ARGS (already quoted), its output captured in files of SCRATCH_FOLDER.
ProgramResult RunProgram(std::string program, const std::string& args,
                         const std::string& scratchFolder);

}  // namespace scene
