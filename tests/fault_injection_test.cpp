// Nothing is lost when a write fails partway or the process is killed: every user file is
// either as it was or completely rewritten, and no temporary file is left after a failure.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "camera_file.hpp"
#include "child_process.hpp"
#include "commands.hpp"
#include "duplicate.hpp"
#include "failure_of.hpp"
#include "faulty_file_system.hpp"
#include "file_check.hpp"
#include "file_system.hpp"
#include "fix_wrls.hpp"
#include "paths.hpp"
#include "system.hpp"
#include "test_files.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace scene {

namespace {

// An earlier camera file, which a new one replaces without asking.
const std::string kEarlierCameras = "//////////CAMERAS///////////\r\nearlier cameras";

using Lines = std::vector<std::string>;

// A converter model of about `points` point lines with two named nodes and a texture block.
std::string ConverterModel(int points) {
    std::vector<std::string> lines = {
        std::string(kConverterHeader), "      DEF VRL_a_vrl Transform {",
        "      DEF VRL_b_vrl Transform {", "COORD Coordinate {", "point ["};
    for (int i = 0; i < points; ++i) lines.push_back("  1.25 -2.5 " + std::to_string(i) + ",");
    for (const char* l : {"]", "texCoordIndex [", "0 1 2", "]", "a", "b", "c", "d"})
        lines.push_back(l);
    return CrLfLines(lines);
}

// A full disk is the failure 61 with the file's path, and leaves the file as it was and no
// temporary file: a model's repair, a copy, a camera file.
TEST(FaultInjection, FullDiskLeavesEveryFileAsItWas) {
    TempDir dir;
    const std::string model = ConverterModel(20000);
    WriteBytes(dir / "m.wrl", model);
    WriteBytes(dir / "copy.wrl", "earlier copy");
    WriteBytes(dir / "site.mgp",
               CrLfLines({"number_points=2", "PointPos=(1,0,-2.5)", "PointPos=(1,2,3)"}));
    WriteBytes(dir / "site.txt", kEarlierCameras);
    FaultyFileSystem full;
    full.FillDiskAfter(64 * 1024);
    RunFiles files(full);
    Failure repair = FailureOf([&] { RepairTexCoordBlocks(files, dir / "m.wrl"); });
    EXPECT_EQ(repair.Number(), 61);
    EXPECT_EQ(repair.Path(), dir / "m.wrl");
    // On two threads the disk fills in the first half's write (on the copy's thread) and in
    // the second half's (on the other).
    for (auto [twoThreads, room] :
         {std::pair<platform::FileSystem*, int>{nullptr, 128}, {&full, 128}, {&full, 256}}) {
        full.FillDiskAfter(room * 1024);
        Failure copy = FailureOf([&] {
            TextFileReader in(files, dir / "m.wrl");
            TextFileWriter out(files, dir / "copy.wrl", platform::Durability::Replaceable);
            StepFailures failures;
            WriteCopy(in, out, {}, "t", failures, twoThreads);
            out.Commit();
        });
        EXPECT_EQ(copy.Number(), 61);
    }
    full.FillDiskAfter(100);
    RecordingSink sink;
    RunContext run(full, sink);
    EXPECT_EQ(FailureOf([&] { GenerateCameraFile(run, dir.Path(), "site.mgp"); }).Number(), 61);
    EXPECT_EQ(ReadBytes(dir / "m.wrl"), model);
    EXPECT_EQ(ReadBytes(dir / "copy.wrl"), "earlier copy");
    EXPECT_EQ(ReadBytes(dir / "site.txt"), kEarlierCameras);
    EXPECT_EQ(FolderEntries(dir.Path()), (Lines{"copy.wrl", "m.wrl", "site.mgp", "site.txt"}));
}

// A rewrite decides from what it holds: a model another program writes while the repair reads
// it is read again, and the repair is that of the new content; one that no longer has two named
// nodes is left alone.
TEST(FaultInjection, RepairIsDecidedFromTheContentItReplaces) {
    TempDir dir;
    const std::string model = dir / "m.wrl", theirs = ConverterModel(3) + "theirs\r\n";
    const std::string oneNode = CrLfLines({std::string(kConverterHeader), "DEF VRL_a", "x"});
    WriteBytes(model, ConverterModel(2));
    FaultyFileSystem files;
    files.ChangeWhileRead(model, 1, [&] { WriteBytes(model, theirs); });
    RunFiles run(files);
    EXPECT_TRUE(RepairTexCoordBlocks(run, model));
    WriteBytes(dir / "expected.wrl", theirs);
    RepairTexCoordBlocks(dir / "expected.wrl");
    EXPECT_EQ(ReadBytes(model), ReadBytes(dir / "expected.wrl"));

    WriteBytes(model, ConverterModel(2));
    files.ChangeWhileRead(model, 1, [&] { WriteBytes(model, oneNode); });
    RunFiles again(files);
    EXPECT_FALSE(RepairTexCoordBlocks(again, model));
    EXPECT_EQ(ReadBytes(model), oneNode);
}

std::string ExporterModel(const std::string& base, int blocks) {
    std::vector<std::string> lines = {std::string(kExporterHeader)};
    for (int b = 0; b < blocks; ++b) {
        for (const std::string& l :
             {std::string("DEF MASTER Transform {"), std::string(" children ["),
              " DEF VRL_" + base + "_vrl Transform {", std::string("  children ["),
              "DEF MESH_" + base + " Transform {", std::string("  children [")})
            lines.push_back(l);
        for (int i = 0; i < 50; ++i) lines.push_back("   " + std::to_string(b * 50 + i) + " 0 0,");
        for (const char* l : {"   ]", "}", " ] }", " ] }"}) lines.push_back(l);
    }
    return CrLfLines(lines);
}

struct NullSink : MessageSink {
    void ShowMessage(const std::string&, MessageIcon) override {}
    void ReportFailure(const Failure&) override {}
};

TEST(FaultInjection, FixWrlsOnAFullDiskLeavesEveryModelWholeAndKeepsNoTornOne) {
    TempDir dir;
    std::vector<std::string> originals;
    for (int f = 0; f < 3; ++f) {
        originals.push_back(ExporterModel("m" + std::to_string(f), 300));
        WriteBytes(dir / ("m" + std::to_string(f) + ".wrl"), originals.back());
    }
    // Big enough for no model: the first rewrite fails, and the run stops there.
    FaultyFileSystem files;
    files.FillDiskAfter(4096);
    NullSink sink;
    RunContext run(files, sink);
    Failure full = FailureOf([&] {
        RunFixWrls(run, {dir.Path(), ListMatchingFiles(dir.Path(), "*.wrl")});
    });
    EXPECT_EQ(RunTimeErrorLine(full), "Run-time error '61': Disk full (" + (dir / "m0.wrl") + ")");
    for (int f = 0; f < 3; ++f)
        EXPECT_EQ(ReadBytes(dir / ("m" + std::to_string(f) + ".wrl")), originals[f]);
    EXPECT_EQ(FolderEntries(dir.Path()).size(), 3u);

    // Another program writes a model in place while it is read: it is read again, and what is
    // kept is the fix of the other program's content, never a mix of the two.
    const std::string theirs = ExporterModel("m0", 5);
    FaultyFileSystem changing;  // the second read is the rewrite's, after the header's check
    changing.ChangeWhileRead(dir / "m0.wrl", 2, [&] { WriteBytes(dir / "m0.wrl", theirs); });
    RunContext again(changing, sink);
    RunFixWrls(again, {dir.Path(), {"m0.wrl"}});
    MakeFolder(dir / "theirs");
    WriteBytes(dir / "theirs/m0.wrl", theirs);
    RunFixWrls({dir / "theirs", {"m0.wrl"}}, sink);
    EXPECT_EQ(ReadBytes(dir / "m0.wrl"), ReadBytes(dir / "theirs/m0.wrl"));
}

TEST(FaultInjection, FixWrlsKilledAtRandomMomentsLeavesOldOrFixedModels) {
    TempDir dir;
    const int files = 40;
    std::vector<std::string> originals, fixed;
    {
        TempDir reference;
        for (int f = 0; f < files; ++f) {
            std::string name = "m" + std::to_string(f) + ".wrl";
            originals.push_back(ExporterModel("m" + std::to_string(f), 400));
            WriteBytes(reference / name, originals.back());
        }
        NullSink sink;
        RunFixWrls({reference.Path(), ListMatchingFiles(reference.Path(), "*.wrl")}, sink);
        for (int f = 0; f < files; ++f)
            fixed.push_back(ReadBytes(reference / ("m" + std::to_string(f) + ".wrl")));
    }
    std::mt19937 random(2024);
    for (int round = 0; round < 6; ++round) {
        for (int f = 0; f < files; ++f)
            WriteBytes(dir / ("m" + std::to_string(f) + ".wrl"), originals[f]);
        pid_t child = fork();
        if (child == 0) {
            NullSink sink;
            for (;;) RunFixWrls({dir.Path(), ListMatchingFiles(dir.Path(), "*.wrl")}, sink);
        }
        usleep(std::uniform_int_distribution<int>(2000, 60000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        for (int f = 0; f < files; ++f) {
            std::string bytes = ReadBytes(dir / ("m" + std::to_string(f) + ".wrl"));
            // A rerun adds one CR LF to a fixed model; any of these is a whole file.
            bool whole = bytes == originals[f] || bytes.rfind(fixed[f], 0) == 0;
            ASSERT_TRUE(whole) << "round " << round << " model " << f << " has " << bytes.size()
                               << " bytes";
        }
    }
}

// The messages a command showed, one per line, as handed back from a child process.
std::string MessageLines(const RecordingSink& sink) {
    std::string text;
    for (const std::string& message : sink.Texts()) text += message + "\n";
    return text;
}

// A file in the camera file's place that cannot be read is not taken for a camera file.
TEST(FaultInjection, UnreadableFileInTheCameraFilesPlaceIsAskedAbout) {
    TempDir dir;
    WriteBytes(dir / "site.mgp", CrLfLines({"number_points=1", "PointPos=(1,2,3)"}));
    WriteBytes(dir / "site.txt", kEarlierCameras);
    FaultyFileSystem files;
    files.RefuseOpen(dir / "site.txt");
    RecordingSink sink;
    RunContext run(files, sink);
    GenerateCameraFile(run, dir.Path(), "site.mgp");
    EXPECT_EQ(sink.Questions.size(), 1u);
    EXPECT_EQ(ReadBytes(dir / "site.txt"), kEarlierCameras);
}

TEST(FaultInjection, ReadOnlyCameraFileIsLeftAsItWas) {
    // Models of mode 0444 are covered where Duplicate and Fix WRLs are tested.
    TempDir dir;
    WriteBytes(dir / "site.mgp", CrLfLines({"number_points=1", "PointPos=(1,2,3)"}));
    WriteBytes(dir / "site.txt", kEarlierCameras);
    chmod((dir / "site.txt").c_str(), 0444);
    NullSink sink;
    Failure failure = FailureOf([&] { GenerateCameraFile(dir.Path(), "site.mgp", sink); });
    EXPECT_EQ(failure.Number(), 75);
    EXPECT_EQ(failure.Path(), dir / "site.txt");
    EXPECT_EQ(ReadBytes(dir / "site.txt"), kEarlierCameras);
    EXPECT_EQ(FolderEntries(dir.Path()), (Lines{"site.mgp", "site.txt"}));
}

// A model folder "models" and a TSO list "list.txt" beside it, for Duplicate runs.
class FaultInjectionDuplicate : public ::testing::Test {
  protected:
    TempDir dir;
    DuplicateInputs in;

    std::string Models() const { return dir / "models"; }
    std::string Model(const std::string& name) const { return JoinPath(Models(), name); }
    std::string Output() const { return JoinPath(Models(), "newwrls"); }

    void SetUp() override {
        mkdir(Models().c_str(), 0777);
        in.WRLfolderPath = Models();
        in.TSOfolderPath = dir.Path();
        in.TSOfolderFileName = "list.txt";
    }
    // Writes the TSO list and lists the model folder, as the window would before the command.
    void Prepare(const Lines& records) {
        WriteBytes(dir / "list.txt", CrLfLines(records));
        in.WRLfolderList = ListMatchingFiles(Models(), "*.wrl");
    }
};

// A converter model with one renamable node: copied without a repair.
const std::string kOneNodeModel =
    CrLfLines({std::string(kConverterHeader), "      DEF VRL_a_vrl Transform {",
               "COORD Coordinate {", "point [", "1 2 3,", "]"});

// A converter model with one node and `points` point lines of about 20 bytes: its copy is
// written in steps of 1 MB.
std::string OneNodeModel(int points) {
    Lines lines = {std::string(kConverterHeader), "      DEF VRL_a_vrl Transform {",
                   "COORD Coordinate {", "point ["};
    for (int i = 0; i < points; ++i) lines.push_back("  1.25 -2.5 " + std::to_string(i) + ",");
    lines.push_back("]");
    return CrLfLines(lines);
}

// Whether the program has a file open in the folder that holds a written step (an unnamed new
// file, or a named temporary one): it is mid-copy.
bool MidCopy(pid_t program, const std::string& folder) {
    const std::string fds = "/proc/" + std::to_string(program) + "/fd";
    for (const auto& fd : std::filesystem::directory_iterator(fds)) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
        struct stat st;
        if (!error && target.starts_with(folder + "/") && stat(fd.path().c_str(), &st) == 0 &&
            S_ISREG(st.st_mode) && st.st_size > 0)
            return true;
    }
    return false;
}

bool WaitForMidCopy(pid_t program, const std::string& folder) {
    for (int ms = 0; ms < 60000; ++ms, usleep(1000))
        if (MidCopy(program, folder)) return true;
    return false;
}

// Duplicate of 400000 points (8 MB: even an optimised build takes some 100 ms for a copy)
// into an output folder that exists, run by vandrel-cli.
class InterruptedDuplicate : public FaultInjectionDuplicate {
  protected:
    void SetUp() override {
        FaultInjectionDuplicate::SetUp();
        static const std::string model = OneNodeModel(400000);
        WriteBytes(Model("m.wrl"), model);
        Prepare({"m,0,0,0,0,0,0"});
        MakeFolder(Output());
    }
    std::string Copy() const { return JoinPath(Output(), "m_0.wrl"); }
    // Its standard output and error go to dir/OUTPUT.
    pid_t Start(const std::string& output) {
        return StartProgram(
            {VANDREL_CLI, "duplicate", "--models", Models(), "--tso", dir / "list.txt"},
            dir / output);
    }
};

TEST_F(InterruptedDuplicate, SignalMidCopyLeavesNoTemporaryFileAndKeepsTheEarlierCopy) {
    WriteBytes(Copy(), "earlier copy");
    for (auto [signal, status] : {std::pair{SIGTERM, 143}, {SIGINT, 130}, {SIGHUP, 129}}) {
        pid_t run = Start("printed");
        ASSERT_TRUE(WaitForMidCopy(run, Output()));
        kill(run, signal);
        EXPECT_EQ(ExitStatusOf(run), status) << "signal " << signal;
        EXPECT_EQ(ReadBytes(dir / "printed"), "Interrupted\n");
        EXPECT_EQ(ReadBytes(Copy()), "earlier copy");
        EXPECT_EQ(FolderEntries(Output()), Lines{"m_0.wrl"});
    }
}

// Killed runs leave nothing; a leftover of an older kind goes with the next run, and nothing
// else does.
TEST_F(InterruptedDuplicate, KilledRunsLeaveNothingAndLeftoversGoWithTheNextRun) {
    Lines kept = {".keep", ".m_0.wrl.tmp-12345", ".m_0.wrl.tmp-1234567", "m_0.wrl.tmp-123456"};
    for (const std::string& name : kept) WriteBytes(JoinPath(Output(), name), "not ours");
    WriteBytes(JoinPath(Output(), ".m_0.wrl.tmp-AB12cd"), "a leftover");
    kept.push_back(".folder.tmp-ABCDEF");
    MakeFolder(JoinPath(Output(), kept.back()));
    std::vector<pid_t> runs;
    bool midCopy = true;
    for (const char* output : {"run1", "run2"}) {
        runs.push_back(Start(output));
        midCopy = midCopy && WaitForMidCopy(runs.back(), Output());
    }
    for (pid_t run : runs) kill(run, SIGKILL);
    for (pid_t run : runs) EXPECT_EQ(ExitStatusOf(run), -1);
    ASSERT_TRUE(midCopy);
    WriteBytes(Model("m.wrl"), kOneNodeModel);
    EXPECT_EQ(ExitStatusOf(Start("run3")), 0);
    kept.push_back("m_0.wrl");
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(FolderEntries(Output()), kept);
}

TEST_F(FaultInjectionDuplicate, RepairFailingPartwayIsCountedAndLeavesTheModel) {
    const std::string model = ConverterModel(20000);  // two named nodes: repaired in place
    WriteBytes(Model("m.wrl"), model);
    Prepare({"m,0,0,0,0,0,0"});
    FaultyFileSystem files;
    files.FillDiskAfter(64 * 1024);
    RecordingSink sink;
    RunContext run(files, sink);
    RunDuplicate(run, in);
    // The copy, as large as the model, fails too: two steps, the repair first.
    EXPECT_EQ(MessageLines(sink),
              "Some steps failed (2). First: Disk full (" + Model("m.wrl") + ")\nDONE\n");
    EXPECT_EQ(ReadBytes(Model("m.wrl")), model);
    EXPECT_EQ(FolderEntries(Models()), (Lines{"m.wrl", "newwrls"}));
    EXPECT_TRUE(FolderEntries(Output()).empty());
}

TEST_F(FaultInjectionDuplicate, ReadOnlyFoldersAreReportedAndLoseNothing) {
    // Root writes into a 0555 folder all the same, so the commands run as "nobody" here. The
    // files themselves may be written; the safe writer's temporary file may not be made.
    chmod(dir.Path().c_str(), 0755);
    const std::string model = ConverterModel(10);
    const std::string exporterModel = ExporterModel("e", 3);
    WriteBytes(Model("e.wrl"), exporterModel);
    WriteBytes(Model("m.wrl"), model);
    mkdir((dir / "points").c_str(), 0777);
    WriteBytes(dir / "points/site.mgp", CrLfLines({"number_points=1", "PointPos=(1,2,3)"}));
    for (const std::string& file : {Model("e.wrl"), Model("m.wrl"), dir / "points/site.mgp"})
        chmod(file.c_str(), 0666);
    Prepare({"m,0,0,0,0,0,0"});
    chmod(Models().c_str(), 0555);
    chmod((dir / "points").c_str(), 0555);

    ChildResult fix = RunInChild({.Unprivileged = true}, [&] {
        NullSink sink;
        RunFixWrls({Models(), in.WRLfolderList}, sink);
        return std::string();
    });
    // What failed is the new file in the folder: the folder is named.
    EXPECT_EQ(fix.Text, "Run-time error '70': Permission denied (" + Models() + ")");

    // Duplicate: no output folder, the repair and the copy fail and are counted; the report
    // names their root, the folder that could not be made.
    ChildResult duplicate = RunInChild({.Unprivileged = true}, [&] {
        RecordingSink sink;
        RunDuplicate(in, sink);
        return MessageLines(sink);
    });
    EXPECT_EQ(duplicate.Text, "Some steps failed (2). First: Permission denied (" +
                                  JoinPath(Models(), "newwrls") + ")\nDONE\n");

    ChildResult cameras = RunInChild({.Unprivileged = true}, [&] {
        NullSink sink;
        GenerateCameraFile(dir / "points", "site.mgp", sink);
        return std::string();
    });
    EXPECT_EQ(cameras.Text, "Run-time error '70': Permission denied (" + (dir / "points") + ")");

    EXPECT_EQ(ReadBytes(Model("e.wrl")), exporterModel);
    EXPECT_EQ(ReadBytes(Model("m.wrl")), model);
    EXPECT_EQ(FolderEntries(Models()), (Lines{"e.wrl", "m.wrl"}));
    EXPECT_EQ(FolderEntries(dir / "points"), Lines{"site.mgp"});
}

// A model that may not be read is an invalid one; the message says which and why.
TEST_F(FaultInjectionDuplicate, UnreadableModelIsNamedWithTheSystemsReason) {
    WriteBytes(Model("m.wrl"), kOneNodeModel);
    chmod(Model("m.wrl").c_str(), 0);
    Prepare({"m,0,0,0,0,0,0"});
    ChildResult duplicate = RunInChild({.Unprivileged = true}, [&] {
        RecordingSink sink;
        RunDuplicate(in, sink);
        return sink.Messages.at(0).Text + " (" + sink.Messages.at(0).Detail + ")";
    });
    EXPECT_EQ(duplicate.Text, "invalid WRL file (" + Model("m.wrl") + ": Permission denied)");
}

// Moves the model folder away when the command comes to its second placement or model.
struct FolderMovingSink : RecordingSink, ProgressDisplay {
    std::string From, To;
    void Show(Work, int done, int) override {
        if (done == 1) std::rename(From.c_str(), To.c_str());
    }
};

TEST_F(FaultInjectionDuplicate, ModelFolderVanishingDuringARun) {
    WriteBytes(Model("a.wrl"), kOneNodeModel);
    Prepare({"a,0,0,0,0,0,0", "a,1,0,0,0,0,0"});
    FolderMovingSink sink;
    sink.From = Models();
    sink.To = dir / "moved";
    RunContext run(platform::SystemFileSystem(), sink, {}, sink);
    RunDuplicate(run, in);
    // The model cannot be read any more: the loop ends as for any unreadable model.
    EXPECT_EQ(sink.Texts(), (Lines{"invalid WRL file", "DONE"}));
    EXPECT_FALSE(FileExists(Models()));  // not made again by the output folder
    EXPECT_EQ(ReadBytes(dir / "moved/a.wrl"), kOneNodeModel);
    EXPECT_EQ(FolderEntries(dir / "moved/newwrls"), Lines{"a_0.wrl"});
}

TEST(FaultInjection, ModelFolderVanishingDuringFixWrls) {
    TempDir dir;
    const std::string models = dir / "models";
    mkdir(models.c_str(), 0777);
    const std::string original = ExporterModel("e0", 3);
    WriteBytes(JoinPath(models, "e0.wrl"), original);
    WriteBytes(JoinPath(models, "e1.wrl"), original);
    FolderMovingSink sink;
    sink.From = models;
    sink.To = dir / "moved";
    RunContext run(platform::SystemFileSystem(), sink, {}, sink);
    Failure failure = FailureOf([&] {
        RunFixWrls(run, {models, ListMatchingFiles(models, "*.wrl")});
    });
    EXPECT_EQ(failure.Number(), 76);  // Path not found
    EXPECT_EQ(failure.Path(), JoinPath(models, "e1.wrl"));
    EXPECT_TRUE(sink.Messages.empty());
    EXPECT_NE(ReadBytes(dir / "moved/e0.wrl"), original);  // fixed before the folder went
    EXPECT_EQ(ReadBytes(dir / "moved/e1.wrl"), original);
    EXPECT_EQ(FolderEntries(dir / "moved"), (Lines{"e0.wrl", "e1.wrl"}));
}

TEST_F(FaultInjectionDuplicate, ListedModelDeletedSinceListing) {
    WriteBytes(Model("a.wrl"), kOneNodeModel);
    WriteBytes(Model("b.wrl"), kOneNodeModel);
    Prepare({"a,0,0,0,0,0,0", "b,0,0,0,0,0,0", "a,0,0,0,0,0,0"});
    std::remove(Model("b.wrl").c_str());
    RecordingSink sink;
    RunDuplicate(in, sink);
    EXPECT_EQ(sink.Texts(), (Lines{"invalid WRL file", "DONE"}));
    EXPECT_EQ(FolderEntries(Output()), Lines{"a_0.wrl"});
    EXPECT_EQ(ReadBytes(Model("a.wrl")), kOneNodeModel);

    // The selected model deleted: the first placement already ends the loop.
    in.Check1Value = 1;
    in.WRLfolderFileName = "b.wrl";
    RecordingSink selected;
    RunDuplicate(in, selected);
    EXPECT_EQ(selected.Texts(), (Lines{"invalid WRL file", "DONE"}));
    EXPECT_EQ(FolderEntries(Output()), Lines{"a_0.wrl"});
}

TEST_F(FaultInjectionDuplicate, SourceFileRemovedBeforeTheCommand) {
    for (int mgp : {0, 1}) {
        in.Check2Value = mgp;
        in.TSOfolderFileName = mgp ? "points.mgp" : "list.txt";
        RecordingSink sink;
        Failure failure = FailureOf([&] { RunDuplicate(in, sink); });
        EXPECT_EQ(failure.Number(), 53);
        EXPECT_EQ(failure.Path(), dir / in.TSOfolderFileName);
        EXPECT_TRUE(sink.Messages.empty());
        EXPECT_FALSE(FileExists(Output()));
    }
    RecordingSink sink;
    EXPECT_EQ(FailureOf([&] { CheckPointFile(dir.Path(), "site.mgp", sink); }).Number(), 53);
    Failure cameras = FailureOf([&] { GenerateCameraFile(dir.Path(), "site.mgp", sink); });
    EXPECT_EQ(cameras.Number(), 53);
    EXPECT_EQ(cameras.Path(), dir / "site.mgp");
    EXPECT_TRUE(sink.Messages.empty());
    EXPECT_EQ(FolderEntries(dir.Path()), Lines{"models"});
}

}  // namespace

}  // namespace scene
