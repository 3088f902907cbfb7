// vandrel-cli run as a program: its printed lines and exit statuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "commands.hpp"
#include "duplicate.hpp"
#include "failure_of.hpp"
#include "paths.hpp"
#include "run_program.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

using CliResult = ProgramResult;

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
    CliResult Run(const std::string& args) { return RunProgram(VANDREL_CLI, args, dir.Path()); }
    std::string Models() { return "--models " + Arg(dir / "models"); }
};

TEST_F(VandrelCli, MessagesOnStandardOutputAndTheirExitStatus) {
    WriteBytes(dir / "list.txt", CrLfLines({"tree,5,0,0,0,0,0"}));
    CliResult done = Run("duplicate " + Models() + " --tso " + Arg(dir / "list.txt"));
    EXPECT_EQ(done.Status, 0);
    EXPECT_EQ(done.Out, Printed("DONE\n"));
    EXPECT_EQ(done.Err, "");
    EXPECT_TRUE(FileExists(dir / "models/newwrls/tree_0.wrl"));

    WriteBytes(dir / "list.txt", CrLfLines({"shed,5,0,0,0,0,0"}));
    CliResult problem = Run("duplicate " + Models() + " --tso " + Arg(dir / "list.txt"));
    EXPECT_EQ(problem.Status, 1);
    EXPECT_EQ(problem.Out,
              Printed("WRL does not exist (" + (dir / "models/shed.wrl") + ")\nDONE\n"));
}

// A list saved behind a byte-order mark, in UTF-8 or UTF-16, gives the plain list's copies.
TEST_F(VandrelCli, MarkedListGivesThePlainListsCopies) {
    const std::string plain = CrLfLines({"tree,5,0,0,0,0,0", "tree,1,2,3,45,0,0"});
    std::vector<std::string> copies;
    for (const std::string& list :
         {plain, Marked(plain, Mark::Utf8), Marked(plain, Mark::Utf16Le)}) {
        std::filesystem::remove_all(dir / "models/newwrls");
        WriteBytes(dir / "list.txt", list);
        EXPECT_EQ(Run("duplicate " + Models() + " --tso " + Arg(dir / "list.txt")).Out,
                  Printed("DONE\n"));
        copies.push_back(ReadBytes(dir / "models/newwrls/tree_0.wrl") + "|" +
                         ReadBytes(dir / "models/newwrls/tree_1.wrl"));
    }
    EXPECT_EQ(copies, std::vector<std::string>(3, copies[0]));
}

TEST_F(VandrelCli, RunTimeErrorOnStandardErrorWithThePath) {
    CliResult result = Run("duplicate " + Models() + " --tso " + Arg(dir / "absent.txt"));
    EXPECT_EQ(result.Status, 3);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err,
              Printed("Run-time error '53': File not found (" + (dir / "absent.txt") + ")\n"));
    EXPECT_FALSE(FileExists(dir / "models/newwrls"));
}

TEST_F(VandrelCli, ManualAndMgpOptionsSetTheirControls) {
    CliResult manual =
        Run("duplicate " + Models() + " --use-selected tree.wrl --manual \"\" -1 0 -2 0");
    EXPECT_EQ(manual.Status, 0);
    EXPECT_EQ(manual.Out, Printed("DONE\n"));
    std::string copy = ReadBytes(dir / "models/newwrls/_0.wrl");
    EXPECT_NE(copy.find("      DEF VRL_tree_0_vrl Transform {\r\n"), std::string::npos);
    EXPECT_NE(copy.find("\r\n  0  0  2,\r\n"), std::string::npos);  // X -1, Z -2

    WriteBytes(dir / "site.mgp", CrLfLines({"P=(0,0,0)"}));
    CliResult mgp = Run("duplicate " + Models() + " --use-selected tree.wrl --mgp " +
                        Arg(dir / "site.mgp") + " --orientation 90 --jobs 2");
    EXPECT_EQ(mgp.Status, 0);
    EXPECT_NE(
        ReadBytes(dir / "models/newwrls/tree_0.wrl").find("\r\n  1.79489673696541E-09  0 -1,"),
        std::string::npos);
}

// An empty word is a value like any other: the empty X field fails as it does in the window.
TEST_F(VandrelCli, EmptyArgumentReachesTheCommandAsGiven) {
    DuplicateInputs window;
    window.WRLfolderPath = dir / "models";
    window.WRLfolderList = ListMatchingFiles(window.WRLfolderPath, "*.wrl");
    window.Check4Value = 1;
    window.Text2 = "tree";
    window.Text3 = "";
    window.Text4 = window.Text5 = window.Text6 = "0";
    RecordingSink sink;
    const Failure failure = FailureOf([&] { RunDuplicate(window, sink); });

    CliResult cli = Run("duplicate " + Models() + " --manual tree \"\" 0 0 0");
    EXPECT_EQ(cli.Status, 3);
    EXPECT_EQ(cli.Err, Printed(RunTimeErrorText(failure) + "\n"));
    EXPECT_EQ(cli.Err, Printed("Run-time error '13': Type mismatch\n"));
}

TEST_F(VandrelCli, WrongUsageAndHelp) {
    const std::string list = " --tso " + Arg(dir / "list.txt");
    for (const std::string& args :
         std::vector<std::string>{"", "frobnicate", "duplicate " + Models(), "duplicate" + list,
                                  "duplicate " + Models() + list + " --mgp x.mgp",
                                  "duplicate " + Models() + list + " --orientation 5",
                                  "duplicate " + Models() + " --manual a 1 2",
                                  "duplicate " + Models() + list + " --jobs 0"}) {
        CliResult result = Run(args);
        EXPECT_EQ(result.Status, 2) << args;
        EXPECT_EQ(result.Out, "") << args;
        EXPECT_NE(result.Err.find("Usage: vandrel-cli"), std::string::npos) << args;
    }
    CliResult help = Run("duplicate --help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("--manual"), std::string::npos);
    EXPECT_NE(help.Out.find("Example: vandrel-cli duplicate"), std::string::npos);
    CliResult version = Run("--version");
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, Printed("vandrel-cli " SCENE_VERSION "\n"));
}

TEST_F(VandrelCli, FixWrlsAndPreview) {
    WriteBytes(dir / "models/exported.wrl",
               CrLfLines({"# Produced by QLib's VRML export, version 2", "x"}));
    CliResult fix = Run("fix-wrls " + Arg(dir / "models"));
    EXPECT_EQ(fix.Status, 0);
    EXPECT_EQ(fix.Out, Printed("DONE with  1 invalid file(s)\n"));  // tree.wrl lacks the header
    EXPECT_EQ(ReadBytes(dir / "models/exported.wrl"),
              CrLfLines({"# Produced by QLib's VRML export, version 2", "x", ""}));

    WriteBytes(dir / "list.txt",
               CrLfLines({"/old,1,2,3,4,5,6", "007,1,2,3,4,5,6", ",1,2,3,4,5,6"}));
    CliResult preview = Run("preview " + Arg(dir / "list.txt"));
    EXPECT_EQ(preview.Status, 0);
    EXPECT_EQ(preview.Out, Printed("/old\n7\n"));

    CliResult missing = Run("preview " + Arg(dir / "absent.txt"));
    EXPECT_EQ(missing.Status, 3);
    EXPECT_EQ(missing.Err,
              Printed("Run-time error '53': File not found (" + (dir / "absent.txt") + ")\n"));
    EXPECT_EQ(Run("fix-wrls").Status, 2);
}

TEST_F(VandrelCli, DryRunVerboseAndSceneIndex) {
    const std::string list = " --tso " + Arg(dir / "list.txt");
    const std::string copy = dir / "models/newwrls/tree_0.wrl";
    const std::string scene = dir / "models/newwrls/all.wrl";
    WriteBytes(dir / "list.txt", CrLfLines({"tree,5,0,0,0,0,0"}));
    CliResult dry = Run("duplicate --dry-run --verbose --scene all " + Models() + list);
    EXPECT_EQ(dry.Status, 0);
    EXPECT_EQ(dry.Out, Printed("would write " + copy + " from " + (dir / "models/tree.wrl") +
                               " at X 5, Y 0, Z 0, orientation 0, angle Z 0, angle X 0\n" +
                               "would write " + scene + "\nDONE\n"));
    EXPECT_FALSE(FileExists(dir / "models/newwrls"));

    // The files written follow the messages, whose lines stay as they were.
    WriteBytes(dir / "list.txt", CrLfLines({"tree,5,0,0,0,0,0", "shed,0,0,0,0,0,0"}));
    CliResult real = Run("duplicate --verbose --scene all " + Models() + list);
    EXPECT_EQ(real.Status, 1);
    EXPECT_EQ(real.Out, Printed("WRL does not exist (" + (dir / "models/shed.wrl") +
                                ")\nDONE\nwrote " + copy + "\nwrote " + scene + "\n"));
    EXPECT_EQ(ReadBytes(scene), CrLfLines({"#VRML V2.0 utf8", "Inline { url \"tree_0.wrl\" }"}));

    const std::vector<std::string> written = FolderEntries(dir / "models/newwrls");
    for (const char* name : {"\"\"", "a/b", "..", "up..x", "a:b", "CON", "\"x?\"", "nul.txt"}) {
        CliResult wrong = Run("duplicate --scene " + std::string(name) + " " + Models() + list);
        EXPECT_EQ(wrong.Status, 2) << name;
        EXPECT_NE(wrong.Err.find("Usage: vandrel-cli"), std::string::npos) << name;
        EXPECT_EQ(FolderEntries(dir / "models/newwrls"), written) << name;
    }

    const std::string exported = dir / "models/exported.wrl";
    const std::string bytes = CrLfLines({"# Produced by QLib's VRML export, version 2", "x"});
    WriteBytes(exported, bytes);
    CliResult fixDry = Run("fix-wrls --dry-run " + Arg(dir / "models"));
    EXPECT_EQ(fixDry.Status, 0);
    EXPECT_EQ(fixDry.Out,
              Printed("would rewrite " + exported + "\nDONE with  1 invalid file(s)\n"));
    EXPECT_EQ(ReadBytes(exported), bytes);
    CliResult fix = Run("fix-wrls --verbose " + Arg(dir / "models"));
    EXPECT_EQ(fix.Out, Printed("DONE with  1 invalid file(s)\nwrote " + exported + "\n"));
}

}  // namespace

}  // namespace scene
