// The check of a picked point file: only its first line counts.
#include "file_check.hpp"

#include <gtest/gtest.h>

#include "commands.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

class FileCheck : public ::testing::Test {
  protected:
    TempDir dir;
    RecordingSink sink;

    std::optional<FileCheckResult> Check(const std::string& bytes) {
        WriteBytes(dir / "site.mgp", bytes);
        return CheckPointFile(dir.Path(), "site.mgp", sink);
    }

    int FailureNumber(const std::string& bytes) {
        try {
            Check(bytes);
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Path(), dir / "site.mgp");
            return failure.Number();
        }
        return 0;
    }
};

TEST_F(FileCheck, HeaderGivesNameAndCount) {
    // The point lines are not looked at: a header promising more points still passes.
    auto shown = Check(CrLfLines({"number_points=12", "PointPos=(1,2,3)"}));
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->Text1, "site.mgp");
    EXPECT_EQ(shown->Cams, "12");
    EXPECT_EQ(Check("number_points=007")->Cams, "7");
    EXPECT_EQ(Check(CrLfLines({"number_points= 5"}))->Cams, "5");
    EXPECT_EQ(Check(CrLfLines({"number_points=-3"}))->Cams, "-3");
    EXPECT_TRUE(sink.Messages.empty());
}

TEST_F(FileCheck, NoHeaderShowsWrongFileContents) {
    EXPECT_EQ(Check(CrLfLines({"PointPos=(1,2,3)", "number_points=1"})), std::nullopt);
    EXPECT_EQ(Check(CrLfLines({"Number_Points=3"})), std::nullopt);
    ASSERT_EQ(sink.Messages.size(), 2u);
    EXPECT_EQ(sink.Messages[0].Text, "wrong file contents");
    EXPECT_EQ(sink.Messages[0].Icon, MessageIcon::Error);
}

TEST_F(FileCheck, CountsThatAreNoSixteenBitIntegerFail) {
    EXPECT_EQ(FailureNumber(CrLfLines({"number_points=40000"})), 6);
    EXPECT_EQ(FailureNumber(CrLfLines({"Points: number_points=3"})), 13);
    EXPECT_EQ(FailureNumber(""), 62);
    EXPECT_TRUE(sink.Messages.empty());
}

}  // namespace

}  // namespace scene
