// Hostile input: huge lines, files of nothing but line ends, NUL bytes, unterminated quotes,
// numbers of hundreds of digits, absurd counts and angles, files that are no files. Each gives
// a defined result or a clear failure; none crashes, hangs or takes memory without bound.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <sstream>

#include "camera_file.hpp"
#ifndef _WIN32
#include "child_process.hpp"
#endif
#include "commands.hpp"
#include "duplicate.hpp"
#include "failure_of.hpp"
#include "file_check.hpp"
#include "fix_wrls.hpp"
#include "list_preview.hpp"
#include "parse_number.hpp"
#include "paths.hpp"
#include "placement_sources.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

// An earlier camera file, which a new one replaces without asking.
const std::string kEarlierCameras = "//////////CAMERAS///////////\r\nearlier cameras";

using Lines = std::vector<std::string>;

const std::string kConverter(kConverterHeader);

// Every reader and command fed one file of hostile bytes.
class HostileFile : public ::testing::Test {
  protected:
    TempDir dir;
    RecordingSink sink;
    StepFailures failures;

    std::vector<Placement> Tso(const std::string& bytes) {
        return Placements(bytes, "list.txt", DuplicateInputs{});
    }
    std::vector<Placement> Mgp(const std::string& bytes) {
        DuplicateInputs in;
        in.Check2Value = 1;
        return Placements(bytes, "points.mgp", in);
    }
    Lines Preview(const std::string& bytes) {
        WriteBytes(dir / "list.txt", bytes);
        return PreviewListFile(dir.Path(), "list.txt");
    }
    // The copy of a model of these bytes; failed steps go to `failures`.
    std::string Copy(const std::string& model, const Placement& placement = {}) {
        WriteBytes(dir / "m.wrl", model);
        WriteCopy(dir / "m.wrl", dir / "copy.wrl", placement, "t", failures);
        return ReadBytes(dir / "copy.wrl");
    }
    std::string Repaired(const std::string& model) {
        WriteBytes(dir / "m.wrl", model);
        RepairTexCoordBlocks(dir / "m.wrl");
        return ReadBytes(dir / "m.wrl");
    }
    // The model after Fix WRLs; its base name is m.
    std::string Fixed(const std::string& model) {
        WriteBytes(dir / "m.wrl", model);
        RunFixWrls({dir.Path(), {"m.wrl"}}, sink);
        return ReadBytes(dir / "m.wrl");
    }
    std::string Cameras(const std::string& points) {
        WriteBytes(dir / "site.mgp", points);
        GenerateCameraFile(dir.Path(), "site.mgp", sink);
        return ReadBytes(dir / "site.txt");
    }

  private:
    std::vector<Placement> Placements(const std::string& bytes, const std::string& name,
                                      DuplicateInputs in) {
        WriteBytes(dir / name, bytes);
        in.TSOfolderPath = dir.Path();
        in.TSOfolderFileName = name;
        return ReadPlacements(in);
    }
};

const std::string kCameraHead = CrLfLines({"//////////CAMERAS///////////", ""});

TEST_F(HostileFile, LinesOfSeveralMegabytes) {
    const size_t size = (3 << 20) + 7;  // three reading buffers and a bit
    const std::string huge(size, 'n');
    const std::string blanks(size, ' ');

    std::vector<Placement> list = Tso(huge + ",1,2,3,4,5,6\r\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Name, huge);
    EXPECT_EQ(list[0].AngleX, 6);
    EXPECT_EQ(Preview("\"" + huge + "\",1,2,3,4,5,6"), Lines{huge});
    list = Mgp(CrLfLines({"P=(1," + blanks + "2,3)"}));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Y, 2);

    const Lines model = {kConverter, "      DEF VRL_" + huge, "COORD Coordinate {",
                         "point [",  "1" + blanks + "2 3,",   "]",
                         huge};
    EXPECT_EQ(Copy(CrLfLines(model)),
              CrLfLines({kConverter, "      DEF VRL_t_vrl Transform {", "COORD Coordinate {",
                         "point [", "  1  2  3,", "]", huge}));
    EXPECT_EQ(failures.Count, 0);
    EXPECT_EQ(Repaired(CrLfLines(model)), CrLfLines(model));

    const std::string seam = ExporterSeam("m");
    EXPECT_EQ(Fixed(std::string(kExporterHeader) + "\r\n" + huge + seam + huge),
              std::string(kExporterHeader) + "\r\n" + huge + huge + "\r\n");

    const std::string padded =
        Cameras(CrLfLines({"number_points=1", "PointPos=(1," + blanks + "2,3)"}));
    EXPECT_NE(padded.find("\r\n  Start=(-1,-2,-3)\r\n"), std::string::npos);
    EXPECT_EQ(padded, Cameras(CrLfLines({"number_points=1", "PointPos=(1,2,3)"})));
}

TEST_F(HostileFile, OnlyCrOrOnlyLf) {
    const std::string crs(1000, '\r'), lfs(1000, '\n');
    // CR ends a line: a thousand empty lines. A lone LF is an ordinary character: one line.
    std::vector<Placement> list = Mgp(crs);
    ASSERT_EQ(list.size(), 1000u);
    EXPECT_EQ(list[999].Name, "");
    EXPECT_EQ(list[999].Index, 999);
    list = Mgp(lfs);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Name, "");

    for (const std::string& bytes : {crs, lfs, std::string(700, '\n')}) {
        // Both end every item: records of empty names are comments, and the list ends inside
        // or after them.
        EXPECT_EQ(FailureOf([&] { Tso(bytes); }).Kind(), FailureKind::ReadPastEnd);
        EXPECT_EQ(Preview(bytes), Lines{});
        EXPECT_EQ(Fixed(bytes), bytes);  // no exporter header: untouched
        EXPECT_EQ(Cameras(bytes), kCameraHead);
        EXPECT_EQ(CheckPointFile(dir.Path(), "site.mgp", sink), std::nullopt);
    }
    std::string crLfs;
    for (int i = 0; i < 1000; ++i) crLfs += "\r\n";
    EXPECT_EQ(Copy(crs), crLfs);
    EXPECT_EQ(Repaired(crs), crs);  // no header: not rewritten
    EXPECT_EQ(Copy(lfs), lfs + "\r\n");
    EXPECT_EQ(Repaired(lfs), lfs);
    EXPECT_EQ(failures.Count, 0);
}

TEST_F(HostileFile, NulBytesPassThroughOrAreNoNumber) {
    using namespace std::string_literals;
    const std::string model = CrLfLines(
        {kConverter, "\0name\0"s, "COORD Coordinate {", "point [", "1\0 2 3,"s, "4 5 6,", "]\0"s});
    EXPECT_EQ(Copy(model), CrLfLines({kConverter, "\0name\0"s, "COORD Coordinate {", "point [",
                                      "  0  2  3,", "  4  5  6,", "]\0"s}));
    EXPECT_EQ(failures.Count, 1);

    std::vector<Placement> list = Tso("a\0b,1\0,2,3,4,5,6\r\n"s);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Name, "a\0b"s);
    EXPECT_EQ(list[0].X, 0);  // no number
    EXPECT_EQ(Preview("a\0b,1,2,3,4,5,6"s), Lines{"a\0b"s});
    EXPECT_EQ(FailureOf([&] { Mgp("P=(1\0,2,3)"s); }).Kind(), FailureKind::TypeMismatch);
    EXPECT_EQ(FailureOf([&] { Cameras("number_points=1\r\nPointPos=(1\0,2,3)"s); }).Kind(),
              FailureKind::TypeMismatch);

    // A name with a NUL names no listed model: it never reaches a path.
    MakeFolder(dir / "models");
    DuplicateInputs in;
    in.WRLfolderPath = dir / "models";
    in.TSOfolderPath = dir.Path();
    in.TSOfolderFileName = "list.txt";
    in.WRLfolderList = {"a.wrl"};
    WriteBytes(dir / "models/a.wrl", CrLfLines({kConverter}));
    WriteBytes(dir / "list.txt", "a\0.wrl,0,0,0,0,0,0"s);
    RunDuplicate(in, sink);
    EXPECT_EQ(sink.Texts(), (Lines{"WRL does not exist", "DONE"}));
}

TEST_F(HostileFile, UnterminatedQuoteRunsToTheEnd) {
    const std::string list = "\"abc,1,2,3,4,5,6\r\nx,1,2,3,4,5,6\r\n";
    Failure failure = FailureOf([&] { Tso(list); });
    EXPECT_EQ(failure.Kind(), FailureKind::ReadPastEnd);
    EXPECT_EQ(failure.Path(), dir / "list.txt");
    EXPECT_EQ(Preview(list), Lines{list.substr(1)});
}

TEST_F(HostileFile, NumbersOfFourHundredDigits) {
    const std::string huge = "1" + std::string(399, '0');         // 1E399: beyond the range
    const std::string tiny = "0." + std::string(399, '0') + "1";  // 1E-400: below it, 0
    const std::string padded = std::string(400, '0') + "1.5";
    EXPECT_EQ(FailureOf([&] { ParseNumber(huge); }).Kind(), FailureKind::Overflow);
    EXPECT_EQ(FailureOf([&] { ParseNumber("-" + huge); }).Kind(), FailureKind::Overflow);
    EXPECT_EQ(ParseNumber(tiny), 0);
    EXPECT_EQ(ParseNumber(padded), 1.5);
    EXPECT_EQ(ParseNumber("0." + std::string(300, '0') + "123" + std::string(97, '9')), 1.24e-301);

    EXPECT_EQ(FailureOf([&] { Tso("a,0,0," + huge + ",0,0,0"); }).Kind(), FailureKind::Overflow);
    EXPECT_EQ(Tso("a," + tiny + "," + padded + ",0,0,0,0")[0].Z, 1.5);
    Failure mgp = FailureOf([&] { Mgp("P=(1," + huge + ",3)"); });
    EXPECT_EQ(mgp.Kind(), FailureKind::Overflow);
    EXPECT_EQ(mgp.Path(), dir / "points.mgp");
    EXPECT_EQ(FailureOf([&] { Cameras("number_points=" + huge); }).Kind(), FailureKind::Overflow);
    EXPECT_EQ(FailureOf([&] { Cameras("number_points=1\r\nPointPos=(" + huge + ",0,0)"); }).Kind(),
              FailureKind::Overflow);
    WriteBytes(dir / "site.mgp", "number_points=" + padded);
    EXPECT_EQ(CheckPointFile(dir.Path(), "site.mgp", sink)->Cams, "2");  // 1.5 to even

    EXPECT_EQ(Copy(CrLfLines({"COORD Coordinate {", "point [", huge + " " + tiny + " 3,", "]"})),
              CrLfLines({"COORD Coordinate {", "point [", "  0  0  3,", "]"}));
    EXPECT_EQ(failures.Count, 1);  // the number beyond the range, once for the line
}

TEST_F(HostileFile, AnglesOf1E300TurnWithoutLeavingTheRange) {
    Placement turned;
    turned.Orientation = 1E300;
    turned.AngleZ = -1E300;
    turned.AngleX = 1E300;
    const std::string copy =
        Copy(CrLfLines({"COORD Coordinate {", "point [", "3 4 12,", "]"}), turned);
    EXPECT_EQ(failures.Count, 0);
    // A turn keeps the point's distance from the origin (13).
    const size_t start = copy.find("point [\r\n") + 9;
    std::istringstream line(copy.substr(start, copy.find(",\r\n", start) - start));
    double sum = 0;
    for (std::string number; line >> number;) sum += std::pow(ParseNumber(number), 2);
    EXPECT_NEAR(std::sqrt(sum), 13, 1e-9);
}

TEST_F(HostileFile, FortyThousandPlacementsOverflowBeforeAnyFolder) {
    std::string tso, mgp;
    for (int i = 0; i < 40000; ++i) {
        tso += "a,0,0,0,0,0,0\r\n";
        mgp += "P=(1,2,3)\r\n";
    }
    MakeFolder(dir / "models");
    WriteBytes(dir / "list.txt", tso);
    WriteBytes(dir / "points.mgp", mgp);
    DuplicateInputs in;
    in.WRLfolderPath = dir / "models";
    in.WRLfolderList = {"a.wrl", "P.wrl"};
    in.TSOfolderPath = dir.Path();
    for (int mgpMode : {0, 1}) {
        in.Check2Value = mgpMode;
        in.TSOfolderFileName = mgpMode ? "points.mgp" : "list.txt";
        Failure failure = FailureOf([&] { RunDuplicate(in, sink); });
        EXPECT_EQ(failure.Kind(), FailureKind::Overflow);
        EXPECT_EQ(failure.Path(), dir / in.TSOfolderFileName);
    }
    EXPECT_TRUE(sink.Messages.empty());
    EXPECT_TRUE(FolderEntries(dir / "models").empty());
}

TEST(HostileInput, CameraCountBeyond16BitsIsOverflowBeforeAnythingIsWritten) {
    // A blank point line ends the reading, and every camera of the count is still written:
    // a count of a billion would write blocks without end.
    TempDir dir;
    WriteBytes(dir / "site.txt", kEarlierCameras);
    RecordingSink sink;
    for (const char* count : {"32768", "1E9", "1E300"}) {
        WriteBytes(dir / "site.mgp", CrLfLines({std::string("number_points=") + count, ""}));
        Failure failure = FailureOf([&] { GenerateCameraFile(dir.Path(), "site.mgp", sink); });
        EXPECT_EQ(failure.Kind(), FailureKind::Overflow) << count;
        EXPECT_EQ(failure.Path(), dir / "site.mgp");
    }
    EXPECT_EQ(ReadBytes(dir / "site.txt"), kEarlierCameras);
    EXPECT_TRUE(sink.Messages.empty());
    EXPECT_EQ(FailureOf([&] { CheckPointFile(dir.Path(), "site.mgp", sink); }).Kind(),
              FailureKind::Overflow);

    // 32767 is the largest count: that many blocks, the unread ones without number or point.
    WriteBytes(dir / "site.mgp", CrLfLines({"number_points=32767", "PointPos=(1,2,3)", ""}));
    GenerateCameraFile(dir.Path(), "site.mgp", sink);
    const std::string cameras = ReadBytes(dir / "site.txt");
    EXPECT_EQ(std::count(cameras.begin(), cameras.end(), '\n'), 2 + 15 * 32767);
    EXPECT_EQ(sink.Texts(), Lines{"Done"});
}

TEST(HostileInput, CameraCountsBelowOneWriteNoBlocks) {
    TempDir dir;
    RecordingSink sink;
    for (const char* count : {"-1", "-32768", "0.5", "-1E300"}) {
        WriteBytes(dir / "site.mgp", CrLfLines({std::string("number_points=") + count}));
        GenerateCameraFile(dir.Path(), "site.mgp", sink);
        EXPECT_EQ(ReadBytes(dir / "site.txt"), CrLfLines({"//////////CAMERAS///////////", ""}))
            << count;
    }
    WriteBytes(dir / "site.mgp", CrLfLines({"number_points=-1"}));
    EXPECT_EQ(CheckPointFile(dir.Path(), "site.mgp", sink)->Cams, "-1");
}

#ifndef _WIN32  // FIFOs and /dev/zero are POSIX things

TEST(HostileInput, FifoOrDeviceNamedLikeAModelIsRefusedNotWaitedOn) {
    // Opening a FIFO for reading waits for a writer; /dev/zero never ends. Both would hang
    // Fix WRLs, so a file that is not a regular file is the access failure.
    TempDir dir;
    WriteBytes(dir / "a.wrl", "#VRML V2.0\r\n");
    ASSERT_EQ(mkfifo((dir / "b.wrl").c_str(), 0666), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir / "c.wrl").c_str()), 0);
    for (const char* name : {"b.wrl", "c.wrl"}) {
        ChildResult result = RunInChild({.Seconds = 20}, [&] {
            RecordingSink sink;
            RunFixWrls({dir.Path(), {"a.wrl", name}}, sink);
            return std::string("finished");
        });
        EXPECT_TRUE(result.Finished) << name << ": hung or crashed";
        EXPECT_EQ(result.Text,
                  "Run-time error '75': Path/File access error (" + (dir / name) + ")");
    }
}

#endif

}  // namespace

}  // namespace scene
