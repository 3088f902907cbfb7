// Camera files from point files: the fixed block form, numbering, the point reading rules,
// failures before anything is written, and the point file never replaced.
#include "camera_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "commands.hpp"
#include "failure_of.hpp"
#include "file_check.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

const std::vector<std::string> kHead = {"//////////CAMERAS///////////", ""};

std::vector<std::string> Block(const std::string& number, const std::string& start) {
    return {"// Camera" + number,
            "View=Camera" + number,
            "{",
            "  Intensity=(0.90,0.00)",
            "  Directional=(10.0,-10.0,5.0)",
            "  DepthCueIn=(100.0) DepthCueOut=(50.0)",
            "  BGClear=True",
            "  BGColor=(98,144,228)",
            "  VPSize=(1.0,1.0)  VPCenter=(0.5,0.5)",
            "  ViewFOV=(46.49, 37.93)",
            "  ViewFPD=(0.00) ViewBPD=(350.00)",
            start,
            "  Orient=(18.0, 90.0, 0.0)",
            "}",
            ""};
}

std::vector<std::string> Lines(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> lines;
    for (const auto& part : parts) lines.insert(lines.end(), part.begin(), part.end());
    return lines;
}

class CameraFile : public ::testing::Test {
  protected:
    TempDir dir;
    RecordingSink sink;

    // Writes the point file and generates; the camera file's bytes, or "" when there is none.
    std::string Generate(const std::string& pointFile, const std::string& name = "site.mgp") {
        WriteBytes(dir / name, pointFile);
        GenerateCameraFile(dir.Path(), name, sink);
        return FileExists(dir / "site.txt") ? ReadBytes(dir / "site.txt") : "";
    }

    // Generation that must fail: its failure, after checking nothing was written.
    Failure GenerateFailing(const std::string& pointFile) {
        WriteBytes(dir / "site.mgp", pointFile);
        const std::vector<std::string> before = FolderEntries(dir.Path());
        Failure failure = FailureOf([&] { GenerateCameraFile(dir.Path(), "site.mgp", sink); });
        EXPECT_EQ(FolderEntries(dir.Path()), before);
        EXPECT_TRUE(sink.Messages.empty());
        return failure;
    }
};

TEST_F(CameraFile, WorkedExampleGivesThirtyTwoLines) {
    const std::string points =
        CrLfLines({"number_points=2", "PointPos=(10.5,0,-20)", "PointPos=(-3,0.25,7)"});
    std::string cameras = Generate(points);
    EXPECT_EQ(cameras, CrLfLines(Lines({kHead, Block("01", "  Start=(-10.5,0,20)"),
                                        Block("02", "  Start=(3,-.25,-7)")})));
    EXPECT_EQ(std::count(cameras.begin(), cameras.end(), '\n'), 32);
    EXPECT_EQ(ReadBytes(dir / "site.mgp"), points);
    ASSERT_EQ(sink.Messages.size(), 1u);
    EXPECT_EQ(sink.Messages[0].Text, "Done");
    EXPECT_EQ(sink.Messages[0].Icon, MessageIcon::None);
}

TEST_F(CameraFile, NoPointsGiveTheTwoHeadLines) {
    EXPECT_EQ(Generate(CrLfLines({"number_points=0"})), CrLfLines(kHead));
    // A first line that is no header counts as no points; it is not taken as a point either.
    EXPECT_EQ(Generate(CrLfLines({"PointPos=(1,2,3)", "PointPos=(4,5,6)"})), CrLfLines(kHead));
    // A negative count gives no blocks.
    EXPECT_EQ(Generate(CrLfLines({"number_points=-5", "PointPos=(1,2,3)"})), CrLfLines(kHead));
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Done", "Done", "Done"}));
    EXPECT_TRUE(sink.Failures.empty());
}

TEST_F(CameraFile, LinesAfterTheCountAreNeverRead) {
    std::string cameras =
        Generate(CrLfLines({"number_points=3", "PointPos=(1,2,3)", "PointPos=(4,5,6)",
                            "PointPos=(7,8,9)", "not a point at all"}));
    EXPECT_EQ(cameras, CrLfLines(Lines({kHead, Block("01", "  Start=(-1,-2,-3)"),
                                        Block("02", "  Start=(-4,-5,-6)"),
                                        Block("03", "  Start=(-7,-8,-9)")})));
}

TEST_F(CameraFile, BlankPointLineEndsReadingButEveryBlockIsWritten) {
    std::string cameras =
        Generate(CrLfLines({"number_points=3", "PointPos=(1,2,3)", "   ", "PointPos=(7,8,9)"}));
    EXPECT_EQ(cameras,
              CrLfLines(Lines({kHead, Block("01", "  Start=(-1,-2,-3)"),
                               Block("", "  Start=(0,0,0)"), Block("", "  Start=(0,0,0)")})));
}

TEST_F(CameraFile, PointLineForms) {
    // Zero stays 0 although negated; blanks around numbers and values after the third do no
    // harm; a ")" inside the line acts as a comma.
    std::string cameras = Generate(CrLfLines({"number_points=3", "PointPos=(0,-0,0.000)",
                                              "PointPos=( 1 , 2 , 3 )", "PointPos=(1,2,3,45)"}));
    EXPECT_EQ(cameras, CrLfLines(Lines({kHead, Block("01", "  Start=(0,0,0)"),
                                        Block("02", "  Start=(-1,-2,-3)"),
                                        Block("03", "  Start=(-1,-2,-3)")})));
    EXPECT_EQ(Generate(CrLfLines({"number_points=1", "PointPos=(1E20,.5,-1234567.125)"})),
              CrLfLines(Lines({kHead, Block("01", "  Start=(-1E+20,-.5,1234567.125)")})));
}

// A point file saved behind a byte-order mark gives the plain file's cameras and check.
TEST_F(CameraFile, MarkedPointFileGivesThePlainFilesCameras) {
    const std::string plain =
        CrLfLines({"number_points=2", "PointPos=(1,2,3)", "PointPos=(4,5,6)"});
    const std::string cameras = Generate(plain);
    const std::optional<FileCheckResult> check = CheckPointFile(dir.Path(), "site.mgp", sink);
    for (Mark mark : {Mark::Utf8, Mark::Utf16Le}) {
        EXPECT_EQ(Generate(Marked(plain, mark)), cameras);
        EXPECT_EQ(CheckPointFile(dir.Path(), "site.mgp", sink)->Cams, check->Cams);
    }
}

TEST_F(CameraFile, CamerasAreNumberedWithTwoDigitsAtLeast) {
    EXPECT_EQ(CameraNumber(1), "01");
    EXPECT_EQ(CameraNumber(9), "09");
    EXPECT_EQ(CameraNumber(10), "10");
    EXPECT_EQ(CameraNumber(100), "100");
    EXPECT_EQ(CameraNumber(123), "123");

    std::vector<std::string> points = {"number_points=100"};
    for (int i = 1; i <= 100; ++i) points.push_back("PointPos=(" + std::to_string(i) + ",0,0)");
    std::string cameras = Generate(CrLfLines(points));
    for (const char* number : {"09", "10", "100"}) {
        std::string block =
            CrLfLines(Block(number, "  Start=(-" + std::to_string(std::stoi(number)) + ",0,0)"));
        EXPECT_NE(cameras.find("\r\n" + block), std::string::npos) << number;
    }
    EXPECT_EQ(std::count(cameras.begin(), cameras.end(), '\n'), 2 + 15 * 100);
}

TEST_F(CameraFile, FileEndingBeforeTheLastPointWritesNothing) {
    Failure failure = GenerateFailing(CrLfLines({"number_points=3", "PointPos=(1,2,3)"}));
    EXPECT_EQ(failure.Number(), 62);
    EXPECT_EQ(failure.Path(), dir / "site.mgp");

    // An existing camera file stays exactly as it was.
    WriteBytes(dir / "site.txt", "old cameras");
    GenerateFailing(CrLfLines({"number_points=3", "PointPos=(1,2,3)"}));
    EXPECT_EQ(ReadBytes(dir / "site.txt"), "old cameras");

    // A count beyond 16 bits is the overflow failure, before any point is read.
    EXPECT_EQ(GenerateFailing(CrLfLines({"number_points=1E9", "PointPos=(1,2,3)"})).Number(), 6);
    EXPECT_EQ(ReadBytes(dir / "site.txt"), "old cameras");
}

TEST_F(CameraFile, UnreadablePointsFailBeforeAnythingIsWritten) {
    EXPECT_EQ(GenerateFailing("").Number(), 62);  // no first line
    EXPECT_EQ(GenerateFailing(CrLfLines({"number_points=many"})).Number(), 13);
    EXPECT_EQ(GenerateFailing(CrLfLines({"number_points=1", "PointPos=(1,x,3)"})).Number(), 13);
    Failure twoCommas = GenerateFailing(CrLfLines({"number_points=1", "PointPos=(1,2)"}));
    EXPECT_EQ(twoCommas.Number(), 5);
    EXPECT_EQ(twoCommas.Path(), dir / "site.mgp");

    // No file selected: the path names the folder.
    EXPECT_THROW(GenerateCameraFile(dir.Path(), "", sink), Failure);
    EXPECT_THROW(GenerateCameraFile(dir.Path(), "missing.mgp", sink), Failure);
    EXPECT_FALSE(FileExists(dir / "site.txt"));
}

TEST_F(CameraFile, OutputPathReplacesEveryExactMgp) {
    EXPECT_EQ(CameraFilePath("/data/site.mgp"), "/data/site.txt");
    EXPECT_EQ(CameraFilePath("/data/old.mgp/site.mgp"), "/data/old.txt/site.txt");
    EXPECT_EQ(CameraFilePath("/data/SITE.MGP"), "/data/SITE.MGP");
    EXPECT_EQ(CameraOutputPath("/data/site.MGP"), "/data/site.txt");
    EXPECT_EQ(CameraOutputPath("/data/site.Mgp"), "/data/site.txt");
    EXPECT_EQ(CameraOutputPath("/data/old.mgp/site.MGP"), "/data/old.txt/site.MGP");
    EXPECT_EQ(CameraOutputPath("/data/points.dat"), std::nullopt);
    EXPECT_EQ(CameraOutputPath("/data.mgp.x/mgp"), "/data.txt.x/mgp");
}

TEST_F(CameraFile, UpperCaseExtensionGivesTxt) {
    const std::string points = CrLfLines({"number_points=1", "PointPos=(1,2,3)"});
    EXPECT_EQ(Generate(points, "site.MGP"),
              CrLfLines(Lines({kHead, Block("01", "  Start=(-1,-2,-3)")})));
    EXPECT_EQ(ReadBytes(dir / "site.MGP"), points);
}

TEST_F(CameraFile, NeverReplacesThePointFile) {
    const std::string points = CrLfLines({"number_points=1", "PointPos=(1,2,3)"});
    WriteBytes(dir / "points.dat", points);
    GenerateCameraFile(dir.Path(), "points.dat", sink);
    EXPECT_EQ(ReadBytes(dir / "points.dat"), points);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"points.dat"});
    ASSERT_EQ(sink.Messages.size(), 1u);
    EXPECT_EQ(sink.Messages[0].Text, "The camera file would replace the point file");
    EXPECT_EQ(sink.Messages[0].Icon, MessageIcon::Error);
}

// A camera file in the way is replaced as it is; any other file (a TSO list) only after a yes.
TEST_F(CameraFile, AsksBeforeReplacingWhatIsNoCameraFile) {
    const std::string points = CrLfLines({"number_points=1", "PointPos=(1,2,3)"});
    const std::string list = CrLfLines({"house,0,0,0,0,0,0"});
    WriteBytes(dir / "site.txt", list);
    EXPECT_EQ(Generate(points), list);
    EXPECT_TRUE(sink.Messages.empty());
    ASSERT_EQ(sink.Questions.size(), 1u);
    EXPECT_EQ(sink.Questions[0].Detail, dir / "site.txt");

    sink.Answer = true;
    const std::string cameras = Generate(points);
    EXPECT_EQ(cameras.substr(0, kHead[0].size()), kHead[0]);
    EXPECT_EQ(Generate(points), cameras);
    EXPECT_EQ(sink.Questions.size(), 2u);  // none for the camera file
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Done", "Done"}));
}

}  // namespace

}  // namespace scene
