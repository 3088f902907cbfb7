// vandrel-cli run as a program: its printed lines and exit statuses.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>

#include "copy_rewriting.hpp"
#include "test_files.hpp"

namespace {

// The program as the shell of the system at hand names it: cmd.exe takes "/" for an option.
std::string Program() {
    std::string path = VANDREL_CLI;
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}

// A path or text as one argument; double quotes serve both sh and cmd.exe for these texts.
std::string Arg(const std::string& text) {
    return '"' + text + '"';
}

// Printed lines as they reach a file: standard output and error are text streams, whose line
// ends are CR LF on Windows.
std::string Printed(const std::string& text) {
#ifdef _WIN32
    std::string lines;
    for (char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return lines;
#else
    return text;
#endif
}

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

class VandrelCli : public ::testing::Test {
  protected:
    TempDir dir;

    void SetUp() override {
        MakeFolder(dir / "models");
        WriteBytes(dir / "models/tree.wrl",
                   CrLfLines({std::string(kConverterHeader), "      DEF VRL_tree_vrl Transform {",
                              "COORD Coordinate {", "point [", "1 0 0,", "]"}));
    }

    // Runs the program with these arguments (already quoted for the shell).
    CliResult Run(const std::string& args) {
        std::string command =
            Program() + " " + args + " >" + Arg(dir / "out") + " 2>" + Arg(dir / "err");
        int raw = std::system(command.c_str());
        CliResult result;
#ifdef _WIN32
        result.status = raw;  // the program's exit code, passed on by cmd.exe
#else
        if (WIFEXITED(raw)) result.status = WEXITSTATUS(raw);
#endif
        result.out = ReadBytes(dir / "out");
        result.err = ReadBytes(dir / "err");
        return result;
    }
    std::string Models() {
        return "--models " + Arg(dir / "models");
    }
};

TEST_F(VandrelCli, MessagesOnStandardOutputAndTheirExitStatus) {
    WriteBytes(dir / "list.txt", CrLfLines({"tree,5,0,0,0,0,0"}));
    CliResult done = Run("duplicate " + Models() + " --tso " + Arg(dir / "list.txt"));
    EXPECT_EQ(done.status, 0);
    EXPECT_EQ(done.out, Printed("DONE\n"));
    EXPECT_EQ(done.err, "");
    EXPECT_TRUE(FileExists(dir / "models/newwrls/tree_0.wrl"));

    WriteBytes(dir / "list.txt", CrLfLines({"shed,5,0,0,0,0,0"}));
    CliResult problem = Run("duplicate " + Models() + " --tso " + Arg(dir / "list.txt"));
    EXPECT_EQ(problem.status, 1);
    EXPECT_EQ(problem.out, Printed("WRL does not exist\nDONE\n"));
}

TEST_F(VandrelCli, RunTimeErrorOnStandardErrorWithThePath) {
    CliResult result = Run("duplicate " + Models() + " --tso " + Arg(dir / "absent.txt"));
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              Printed("Run-time error '53': File not found (" + (dir / "absent.txt") + ")\n"));
    EXPECT_FALSE(FileExists(dir / "models/newwrls"));
}

TEST_F(VandrelCli, ManualAndMgpOptionsSetTheirControls) {
    CliResult manual =
        Run("duplicate " + Models() + " --use-selected tree.wrl --manual \"\" -1 0 -2 0");
    EXPECT_EQ(manual.status, 0);
    EXPECT_EQ(manual.out, Printed("DONE\n"));
    std::string copy = ReadBytes(dir / "models/newwrls/_0.wrl");
    EXPECT_NE(copy.find("      DEF VRL_tree_0_vrl Transform {\r\n"), std::string::npos);
    EXPECT_NE(copy.find("\r\n  0  0  2,\r\n"), std::string::npos);  // X -1, Z -2

    WriteBytes(dir / "site.mgp", CrLfLines({"P=(0,0,0)"}));
    CliResult mgp = Run("duplicate " + Models() + " --use-selected tree.wrl --mgp " +
                        Arg(dir / "site.mgp") + " --orientation 90");
    EXPECT_EQ(mgp.status, 0);
    EXPECT_NE(
        ReadBytes(dir / "models/newwrls/tree_0.wrl").find("\r\n  1.79489673696541E-09  0 -1,"),
        std::string::npos);
}

TEST_F(VandrelCli, WrongUsageAndHelp) {
    const std::string list = " --tso " + Arg(dir / "list.txt");
    for (const std::string& args :
         std::vector<std::string>{"", "frobnicate", "duplicate " + Models(), "duplicate" + list,
                                  "duplicate " + Models() + list + " --mgp x.mgp",
                                  "duplicate " + Models() + list + " --orientation 5",
                                  "duplicate " + Models() + " --manual a 1 2"}) {
        CliResult result = Run(args);
        EXPECT_EQ(result.status, 2) << args;
        EXPECT_EQ(result.out, "") << args;
        EXPECT_NE(result.err.find("Usage: vandrel-cli"), std::string::npos) << args;
    }
    CliResult help = Run("duplicate --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--manual"), std::string::npos);
    EXPECT_NE(help.out.find("Example: vandrel-cli duplicate"), std::string::npos);
    CliResult version = Run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, Printed(std::string(SCENE_VERSION) + "\n"));
}

TEST_F(VandrelCli, FixWrlsAndPreview) {
    WriteBytes(dir / "models/exported.wrl",
               CrLfLines({"# Produced by QLib's VRML export, version 2", "x"}));
    CliResult fix = Run("fix-wrls " + Arg(dir / "models"));
    EXPECT_EQ(fix.status, 0);
    EXPECT_EQ(fix.out, Printed("DONE with  1 invalid file(s)\n"));  // tree.wrl lacks the header
    EXPECT_EQ(ReadBytes(dir / "models/exported.wrl"),
              CrLfLines({"# Produced by QLib's VRML export, version 2", "x", ""}));

    WriteBytes(dir / "list.txt",
               CrLfLines({"/old,1,2,3,4,5,6", "007,1,2,3,4,5,6", ",1,2,3,4,5,6"}));
    CliResult preview = Run("preview " + Arg(dir / "list.txt"));
    EXPECT_EQ(preview.status, 0);
    EXPECT_EQ(preview.out, Printed("/old\n7\n"));

    CliResult missing = Run("preview " + Arg(dir / "absent.txt"));
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err,
              Printed("Run-time error '53': File not found (" + (dir / "absent.txt") + ")\n"));
    EXPECT_EQ(Run("fix-wrls").status, 2);
}

}  // namespace
