// oskivo-cli run as a program: its printed lines and exit statuses.
#include <gtest/gtest.h>

#include "run_program.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

class OskivoCli : public ::testing::Test {
  protected:
    TempDir dir;
    ProgramResult Run(const std::string& args) { return RunProgram(OSKIVO_CLI, args, dir.Path()); }
};

TEST_F(OskivoCli, CheckAndGenerate) {
    WriteBytes(dir / "site.mgp", CrLfLines({"number_points=1", "PointPos=(1,-2,0.5)"}));
    ProgramResult check = Run("check " + Arg(dir / "site.mgp"));
    EXPECT_EQ(check.Status, 0);
    EXPECT_EQ(check.Out, Printed("site.mgp\n1\n"));

    ProgramResult generate = Run("generate " + Arg(dir / "site.mgp"));
    EXPECT_EQ(generate.Status, 0);
    EXPECT_EQ(generate.Out, Printed("Done\n"));
    EXPECT_NE(ReadBytes(dir / "site.txt").find("\r\n  Start=(-1,2,-.5)\r\n"), std::string::npos);
}

TEST_F(OskivoCli, ProblemsAndRunTimeErrors) {
    WriteBytes(dir / "points.mgp", CrLfLines({"PointPos=(1,2,3)"}));
    ProgramResult wrong = Run("check " + Arg(dir / "points.mgp"));
    EXPECT_EQ(wrong.Status, 1);
    EXPECT_EQ(wrong.Out, Printed("wrong file contents\n"));

    ProgramResult missing = Run("generate " + Arg(dir / "absent.mgp"));
    EXPECT_EQ(missing.Status, 3);
    EXPECT_EQ(missing.Out, "");
    EXPECT_EQ(missing.Err,
              Printed("Run-time error '53': File not found (" + (dir / "absent.mgp") + ")\n"));
    EXPECT_FALSE(FileExists(dir / "absent.txt"));

    // A TSO list where the camera file goes is replaced with --replace only.
    WriteBytes(dir / "site.mgp", CrLfLines({"number_points=0"}));
    WriteBytes(dir / "site.txt", "house,0,0,0,0,0,0\r\n");
    ProgramResult kept = Run("generate " + Arg(dir / "site.mgp"));
    EXPECT_EQ(kept.Status, 1);
    EXPECT_EQ(kept.Out, Printed("Not a camera file: replaced only with --replace (" +
                                (dir / "site.txt") + ")\n"));
    EXPECT_EQ(ReadBytes(dir / "site.txt"), "house,0,0,0,0,0,0\r\n");
    EXPECT_EQ(Run("generate --replace " + Arg(dir / "site.mgp")).Status, 0);
    EXPECT_EQ(ReadBytes(dir / "site.txt"), CrLfLines({"//////////CAMERAS///////////", ""}));
}

TEST_F(OskivoCli, UsageHelpAndVersion) {
    for (const char* args : {"", "frobnicate", "check", "generate a.mgp b.mgp"}) {
        ProgramResult result = Run(args);
        EXPECT_EQ(result.Status, 2) << args;
        EXPECT_EQ(result.Out, "") << args;
    }
    ProgramResult help = Run("generate --help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("Example: oskivo-cli generate"), std::string::npos);
    ProgramResult version = Run("--version");
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, Printed("oskivo-cli " SCENE_VERSION "\n"));
}

}  // namespace

}  // namespace scene
