// Hostile input: huge lines, files of nothing but line ends, NUL bytes, unterminated quotes,
// numbers of hundreds of digits, absurd counts and angles, files that are no files. Each gives
// a defined result or a clear failure; none crashes, hangs or takes memory without bound.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "camera_file.hpp"
#include "child_process.hpp"
#include "failure_of.hpp"
#include "fix_wrls.hpp"
#include "paths.hpp"
#include "test_files.hpp"

namespace {

using Lines = std::vector<std::string>;

TEST(HostileInput, CameraCountBeyond16BitsIsOverflowBeforeAnythingIsWritten) {
    // A blank point line ends the reading, and every camera of the count is still written:
    // a count of a billion would write blocks without end.
    TempDir dir;
    WriteBytes(dir / "site.txt", "earlier cameras");
    RecordingSink sink;
    for (const char* count : {"32768", "1E9", "1E300"}) {
        WriteBytes(dir / "site.mgp", CrLfLines({std::string("number_points=") + count, ""}));
        Failure failure = FailureOf([&] { GenerateCameraFile(dir.Path(), "site.mgp", sink); });
        EXPECT_EQ(failure.Kind(), FailureKind::Overflow) << count;
        EXPECT_EQ(failure.Path(), dir / "site.mgp");
    }
    EXPECT_EQ(ReadBytes(dir / "site.txt"), "earlier cameras");
    EXPECT_TRUE(sink.messages.empty());

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
}

TEST(HostileInput, FifoOrDeviceNamedLikeAModelIsRefusedNotWaitedOn) {
    // Opening a FIFO for reading waits for a writer; /dev/zero never ends. Both would hang
    // Fix WRLs, so a file that is not a regular file is the access failure.
    TempDir dir;
    WriteBytes(dir / "a.wrl", "#VRML V2.0\r\n");
    ASSERT_EQ(mkfifo((dir / "b.wrl").c_str(), 0666), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir / "c.wrl").c_str()), 0);
    for (const char* name : {"b.wrl", "c.wrl"}) {
        ChildResult result = RunInChild({.seconds = 20}, [&] {
            RecordingSink sink;
            RunFixWrls({dir.Path(), {"a.wrl", name}}, sink);
            return std::string("finished");
        });
        EXPECT_TRUE(result.finished) << name << ": hung or crashed";
        EXPECT_EQ(result.text,
                  "Run-time error '75': Path/File access error (" + (dir / name) + ")");
    }
}

}  // namespace
