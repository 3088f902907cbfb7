// The Duplicate command driven without a window: names of copies, the loop's end, the
// in-place repair, and the reporting of skipped steps.
#include "duplicate.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>

#include "commands.hpp"
#include "faulty_file_system.hpp"
#include "file_system.hpp"
#include "paths.hpp"
#include "recording_file_system.hpp"
#include "scene_index.hpp"
#include "strings.hpp"
#include "system.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

const std::string kHeader(kConverterHeader);
using Lines = std::vector<std::string>;

// A converter model with one renamable node and one point, 1 2 3.
Lines OneNodeModel(const std::string& node = "box") {
    return {kHeader,
            "      DEF VRL_" + node + "_vrl Transform {",
            "  coord DEF COORD Coordinate {",
            "    point [",
            "      1 2 3,",
            "    ]",
            "}"};
}

// What a run tells: its messages, its progress and the files it writes.
struct ProgressSink : RecordingSink, ProgressDisplay, RunRecord {
    std::vector<std::pair<int, int>> ProgressSteps;
    Lines Written;
    std::stop_source Stop;
    void Show(Work, int done, int total) override { ProgressSteps.emplace_back(done, total); }
    void FileWritten(const std::string& path) override { Written.push_back(path); }
    void Placed(const PlacementOutcome& outcome) override {
        if (outcome.Repaired) Written.push_back(outcome.ModelPath);
        if (outcome.Outcome == PlacementOutcome::Result::Written)
            Written.push_back(outcome.CopyPath);
    }
    // The run over the files, telling this sink; over a recording file system, a dry run.
    void Run(const DuplicateInputs& in, const DuplicateOptions& options, bool dryRun = false) {
        RecordingFileSystem recording(platform::SystemFileSystem());
        platform::FileSystem& files = dryRun ? recording : platform::SystemFileSystem();
        RunContext run(files, *this, Stop.get_token(), *this, *this);
        RunDuplicate(run, in, options);
    }
};

// Every entry beneath the folder with its bytes ("" for a folder).
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        entries[entry.path().string()] =
            entry.is_directory() ? "" : ReadBytes(entry.path().string());
    return entries;
}

class Duplicate : public ::testing::Test {
  protected:
    TempDir dir;
    ProgressSink sink;
    DuplicateInputs in;

    std::string Models() const { return dir / "models"; }
    std::string Model(const std::string& name) const { return JoinPath(Models(), name); }
    std::string Output() const { return JoinPath(Models(), "newwrls"); }
    std::string Copy(const std::string& name) const { return JoinPath(Output(), name); }

    void SetUp() override {
        MakeFolder(Models());
        in.WRLfolderPath = Models();
        in.TSOfolderPath = dir.Path();
    }

    void AddModel(const std::string& name, const Lines& lines) {
        WriteBytes(Model(name), CrLfLines(lines));
    }

    // Runs with a TSO list of these lines; the model list is the folder's *.wrl files.
    void RunTso(const Lines& records) {
        WriteBytes(dir / "list.txt", CrLfLines(records));
        in.TSOfolderFileName = "list.txt";
        Run();
    }
    void Run(const DuplicateOptions& options = {}, bool dryRun = false) {
        in.WRLfolderList = ListMatchingFiles(Models(), "*.wrl");
        sink.Run(in, options, dryRun);
    }

    // The name the copy's node carries, from its renamable node line.
    std::string NodeOf(const std::string& copyName) const {
        std::string bytes = ReadBytes(Copy(copyName));
        size_t start = bytes.find("      DEF VRL_") + 14;
        return bytes.substr(start, bytes.find("_vrl Transform {", start) - start);
    }
    bool OnlyDoneShown() const {
        return sink.Texts() == Lines{"DONE"} && sink.Messages[0].Icon == MessageIcon::None;
    }
};

TEST(DuplicateNames, IndexTextBaseNameAndPaths) {
    Placement p;
    p.Name = "house";
    p.Index = 3;
    EXPECT_EQ(IndexText(p), "3");
    EXPECT_EQ(BaseName("house.wrl"), "house");
    EXPECT_EQ(BaseName("a.wrl.wrl"), "a");
    EXPECT_EQ(BaseName("HOUSE.WRL"), "HOUSE.WRL");

    DuplicateInputs in;
#ifdef _WIN32
    const std::string root = "c:\\";
#else
    const std::string root = "/";
#endif
    const std::string sep(1, kPathSeparator);
    in.WRLfolderPath = root;  // a root folder keeps its separator: the join doubles it
    in.WRLfolderFileName = "tree.wrl";
    EXPECT_EQ(OutputFolder(in), root + sep + "newwrls");
    EXPECT_EQ(ModelPath(in, p), root + sep + "house.wrl");
    EXPECT_EQ(CopyPath(in, p), root + sep + "newwrls" + sep + "house_3.wrl");
    EXPECT_EQ(CopyTag(in, p), "house_3");

    in.Check1Value = 1;
    EXPECT_EQ(ModelPath(in, p), root + sep + "tree.wrl");
    EXPECT_EQ(CopyPath(in, p), root + sep + "newwrls" + sep + "tree_3.wrl");
    EXPECT_EQ(CopyTag(in, p), "tree_3");

    in.Check4Value = 1;  // manual mode: the file after the Name, the node after the model
    EXPECT_EQ(CopyPath(in, p), root + sep + "newwrls" + sep + "house_3.wrl");
    EXPECT_EQ(CopyTag(in, p), "tree_3");
}

TEST_F(Duplicate, TsoListCopiesNamedAfterEachPlacement) {
    AddModel("house.wrl", OneNodeModel());
    AddModel("tree.wrl", OneNodeModel());
    RunTso({"house,10,2,5,0,0,0", "/skipped,0,0,0,0,0,0", "House,0,0,0,0,0,0", "tree,0,0,0,0,0,0"});
    EXPECT_TRUE(OnlyDoneShown());
    // Names are matched ignoring case; the copy keeps the placement's spelling.
    EXPECT_EQ(FolderEntries(Output()), (Lines{"House_1.wrl", "house_0.wrl", "tree_2.wrl"}));
    EXPECT_EQ(NodeOf("house_0.wrl"), "house_0");
    EXPECT_EQ(NodeOf("House_1.wrl"), "House_1");
    // X 10, Z 2, Y 5: the point 1 2 3 becomes (11, 7, 1).
    EXPECT_NE(ReadBytes(Copy("house_0.wrl")).find("\r\n  11  7  1,\r\n"), std::string::npos);
    EXPECT_EQ(sink.ProgressSteps, (std::vector<std::pair<int, int>>{{0, 3}, {1, 3}, {2, 3}}));
}

TEST_F(Duplicate, SelectedModelGivesCopiesAfterItsBaseName) {
    AddModel("tree.wrl", OneNodeModel());
    AddModel("TREE.WRL", OneNodeModel());
    in.Check1Value = 1;
    in.WRLfolderFileName = "tree.wrl";
    RunTso({"a,0,0,0,0,0,0", "b,0,0,0,0,0,0", "c,0,0,0,0,0,0"});
    EXPECT_TRUE(OnlyDoneShown());
    EXPECT_EQ(FolderEntries(Output()), (Lines{"tree_0.wrl", "tree_1.wrl", "tree_2.wrl"}));
    EXPECT_EQ(NodeOf("tree_2.wrl"), "tree_2");

    in.WRLfolderFileName = "TREE.WRL";  // the base name keeps its extension
    RunTso({"a,0,0,0,0,0,0"});
    EXPECT_TRUE(FileExists(Copy("TREE.WRL_0.wrl")));
    EXPECT_EQ(NodeOf("TREE.WRL_0.wrl"), "TREE_WRL_0");  // a VRML name holds no "."
}

TEST_F(Duplicate, ManualModeNames) {
    AddModel("house.wrl", OneNodeModel());
    AddModel("tree.wrl", OneNodeModel());
    in.Check4Value = 1;
    in.Text2 = "house";
    Run();
    EXPECT_TRUE(OnlyDoneShown());
    EXPECT_EQ(NodeOf("house_0.wrl"), "house_0");

    in.Check1Value = 1;  // the copy after the manual Name, its node after the model file
    in.WRLfolderFileName = "tree.wrl";
    in.Text2 = "shed";
    Run();
    EXPECT_EQ(NodeOf("shed_0.wrl"), "tree_0");

    in.Text2 = "";
    Run();
    EXPECT_EQ(NodeOf("_0.wrl"), "tree_0");

    in.Check1Value = 0;  // no model is named ".wrl"
    sink.Messages.clear();
    Run();
    EXPECT_EQ(sink.Texts(), (Lines{"WRL does not exist", "DONE"}));
}

TEST_F(Duplicate, MgpHeaderGivesAnUnmovedCopyOfTheSelectedModel) {
    Lines model = OneNodeModel("tree");
    AddModel("tree.wrl", model);
    WriteBytes(dir / "site.mgp", CrLfLines({"number_points=1", "PointPos=(10,0,0)"}));
    in.Check1Value = 1;
    in.Check2Value = 1;
    in.WRLfolderFileName = "tree.wrl";
    in.TSOfolderFileName = "site.mgp";
    Run();
    EXPECT_TRUE(OnlyDoneShown());
    model[1] = "      DEF VRL_tree_0_vrl Transform {";
    model[4] = "  1  2  3,";
    model[5] = "]";
    EXPECT_EQ(ReadBytes(Copy("tree_0.wrl")), CrLfLines(model));
    EXPECT_NE(ReadBytes(Copy("tree_1.wrl")).find("\r\n  11  2  3,\r\n"), std::string::npos);
}

TEST_F(Duplicate, MissingModelEndsTheLoopAfterTheFirstCopy) {
    AddModel("a.wrl", OneNodeModel());
    AddModel("c.wrl", OneNodeModel());
    RunTso({"a,0,0,0,0,0,0", "b,0,0,0,0,0,0", "c,0,0,0,0,0,0"});
    EXPECT_EQ(sink.Texts(), (Lines{"WRL does not exist", "DONE"}));
    EXPECT_EQ(sink.Messages[0].Icon, MessageIcon::Error);
    EXPECT_EQ(sink.Messages[0].Detail, Model("b.wrl"));
    EXPECT_EQ(sink.Messages[1].Icon, MessageIcon::None);
    EXPECT_EQ(FolderEntries(Output()), Lines{"a_0.wrl"});
}

TEST_F(Duplicate, HeaderOnLine4IsAnInvalidModel) {
    AddModel("a.wrl", OneNodeModel());
    AddModel("late.wrl", {"#VRML V2.0 utf8", "", "", kHeader, "      DEF VRL_x_vrl Transform {"});
    RunTso({"late,0,0,0,0,0,0", "a,0,0,0,0,0,0"});
    EXPECT_EQ(sink.Texts(), (Lines{"invalid WRL file", "DONE"}));
    EXPECT_EQ(sink.Messages[0].Icon, MessageIcon::Error);
    EXPECT_TRUE(FolderEntries(Output()).empty());  // the folder was made before the check
}

TEST_F(Duplicate, NodeNamesHoldOnlyWhatVrmlAllowsFileNamesKeepTheirCharacters) {
    std::vector<std::pair<std::string, std::string>> names = {
        {"my house", "my_house_0"},
        {"big, house", "big__house_0"},
        {"house.v2", "house_v2_0"},
        {"o'brien", "o_brien_0"},
        {"a#[]{}\x7f", "a_______0"},
        {"\xc3\xa9-+()", "\xc3\xa9-+()_0"}};  // allowed in VRML names, kept
#ifndef _WIN32
    // Characters that Windows file names cannot hold.
    names.push_back({"a\"\\\t", "a____0"});
    names.push_back({"|:", "|:_0"});
#endif
    in.Check4Value = 1;
    for (const auto& [name, node] : names) {
        AddModel(name + ".wrl", OneNodeModel());
        in.Text2 = name;
        Run();
        EXPECT_EQ(NodeOf(name + "_0.wrl"), node);
    }
    EXPECT_EQ(sink.Texts(), Lines(names.size(), "DONE"));
}

TEST_F(Duplicate, ModelWithLfLineEndsIsInvalidAndNothingIsWritten) {
    std::string lf = CrLfLines(OneNodeModel());
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    WriteBytes(Model("lf.wrl"), lf);
    AddModel("a.wrl", OneNodeModel());
    RunTso({"lf,0,0,0,0,0,0", "a,0,0,0,0,0,0"});
    EXPECT_EQ(sink.Texts(), (Lines{"invalid WRL file", "DONE"}));
    EXPECT_EQ(sink.Messages[0].Detail, Model("lf.wrl"));
    EXPECT_TRUE(FolderEntries(Output()).empty());

    // A lone LF inside a later line of a CR LF model is part of that line, as ever.
    Lines model = OneNodeModel();
    model.push_back("a\nb");
    AddModel("lf.wrl", model);
    sink.Messages.clear();
    RunTso({"lf,0,0,0,0,0,0"});
    EXPECT_TRUE(OnlyDoneShown());
    EXPECT_NE(ReadBytes(Copy("lf_0.wrl")).find("\r\na\nb\r\n"), std::string::npos);
}

TEST_F(Duplicate, ModelThatCannotBeReadIsInvalid) {
    AddModel("a.wrl", OneNodeModel());
    in.Check1Value = 1;  // nothing selected: the model path names the folder
    RunTso({"a,0,0,0,0,0,0", "a,0,0,0,0,0,0"});
    EXPECT_EQ(sink.Texts(), (Lines{"invalid WRL file", "DONE"}));
}

TEST_F(Duplicate, TwoNodeModelIsRepairedInPlaceBeforeEveryCopy) {
    AddModel("two.wrl", {kHeader, "      DEF VRL_a_vrl Transform {", "      DEF VRL_b_vrl Group {",
                         "texCoordIndex [", "0 1 2", "]", "x"});
    WriteBytes(Model("one.wrl"), CrLfLines({kHeader}) + "      DEF VRL_a_vrl Transform {");
    RunTso({"two,0,0,0,0,0,0", "two,0,0,0,0,0,0", "one,0,0,0,0,0,0"});
    EXPECT_TRUE(OnlyDoneShown());

    // The block closes near the end, so each repair adds its closing lines once more.
    const Lines head = {kHeader,
                        "      DEF VRL_a_vrl Transform {",
                        "      DEF VRL_b_vrl Group {",
                        "texCoordIndex [",
                        "0 1 2",
                        "]",
                        "x"};
    const Lines closing = {"", "]", "}", "]", "}", "]", "}"};
    Lines once = head, twice = head;
    once.insert(once.end(), closing.begin(), closing.end());
    twice.push_back("");
    twice.insert(twice.end(), 6, " ");
    twice.insert(twice.end(), closing.begin(), closing.end());
    EXPECT_EQ(ReadBytes(Model("two.wrl")), CrLfLines(twice));

    auto renamed = [](Lines lines, const std::string& tag) {
        lines[1] = lines[2] = "      DEF VRL_" + tag + "_vrl Transform {";
        return CrLfLines(lines);
    };
    EXPECT_EQ(ReadBytes(Copy("two_0.wrl")), renamed(once, "two_0"));
    EXPECT_EQ(ReadBytes(Copy("two_1.wrl")), renamed(twice, "two_1"));

    // A model with one named node is left byte for byte as it was.
    EXPECT_EQ(ReadBytes(Model("one.wrl")),
              CrLfLines({kHeader}) + "      DEF VRL_a_vrl Transform {");
}

TEST_F(Duplicate, EmptyListShowsOnlyDoneAndMakesNoFolder) {
    RunTso({});
    EXPECT_TRUE(OnlyDoneShown());
    EXPECT_FALSE(FileExists(Output()));
    EXPECT_TRUE(sink.ProgressSteps.empty());
}

TEST_F(Duplicate, SameNameAndIndexReplaceTheEarlierCopy) {
    AddModel("house.wrl", OneNodeModel());
    in.Check4Value = 1;
    in.Text2 = "house";
    in.Text3 = "1";
    Run();
    in.Text3 = "2";
    Run();
    EXPECT_EQ(FolderEntries(Output()), Lines{"house_0.wrl"});
    EXPECT_NE(ReadBytes(Copy("house_0.wrl")).find("\r\n  3  2  3,\r\n"), std::string::npos);
    EXPECT_EQ(sink.Texts(), (Lines{"DONE", "DONE"}));  // the existing folder is no failure
}

TEST_F(Duplicate, SkippedStepsAreCountedAndReportedBeforeDone) {
    AddModel("a.wrl", OneNodeModel());
    AddModel("bad.wrl", {kHeader, "COORD Coordinate {", "point [", "1 x 3,", "4 5", "]"});
    // Its texture block closes at the end, so the repair would change it.
    AddModel("two.wrl", {kHeader, "DEF VRL_a", "DEF VRL_b", "texCoordIndex [", "]"});
    SetReadOnly(Model("two.wrl"));
    MakeFolder(Output());
    MakeFolder(Copy("a_0.wrl"));  // the copy path names a folder
    RunTso({"a,0,0,0,0,0,0", "bad,0,0,0,0,0,0", "two,0,0,0,0,0,0", "a,0,0,0,0,0,0"});

    ASSERT_EQ(sink.Texts().size(), 2u);
    EXPECT_EQ(sink.Messages[0].Text,
              "Some steps failed (4). First: Path/File access error (" + Copy("a_0.wrl") + ")");
    EXPECT_EQ(sink.Messages[0].Icon, MessageIcon::Error);
    EXPECT_EQ(sink.Messages[1].Text, "DONE");
    // The steps after each failure still ran: a bad point line is written with 0 for its
    // missing or rejected numbers; the read-only model is copied unrepaired.
    EXPECT_EQ(ReadBytes(Copy("bad_1.wrl")), CrLfLines({kHeader, "COORD Coordinate {", "point [",
                                                       "  1  0  3,", "  4  0  0,", "]"}));
    EXPECT_EQ(ReadBytes(Model("two.wrl")),
              CrLfLines({kHeader, "DEF VRL_a", "DEF VRL_b", "texCoordIndex [", "]"}));
    EXPECT_TRUE(FileExists(Copy("two_2.wrl")));
    EXPECT_TRUE(FileExists(Copy("a_3.wrl")));
}

// With several jobs the copies are written at once, yet a run leaves and tells what a one-job
// run does: files, messages, progress, the files written and the scene index. Copies of
// different lengths, a model that each repair changes again (its block closes near the end),
// points that fail, a copy that cannot be written, and a missing model that ends the loop
// before the last placement.
TEST_F(Duplicate, FourJobsGiveTheFilesMessagesAndProgressOfOne) {
    Lines big = OneNodeModel("big");
    big.insert(big.begin() + 4, 20000, "  1.5 -2 3,");
    const Lines two = {kHeader,
                       "      DEF VRL_a_vrl Transform {",
                       "      DEF VRL_b_vrl Group {",
                       "COORD Coordinate {",
                       "point [",
                       "1 2 3,",
                       "]",
                       "texCoordIndex [",
                       "]",
                       "x"};
    // Long copies first, so that copies of the repaired model wait behind them.
    Lines records;
    for (int i = 0; i < 40; ++i) {
        const char* name = i < 5 || i % 4 == 3 ? "big," : i % 4 == 2 ? "bad," : "two,";
        records.push_back(name + std::to_string(i) + ",1,2,30,10,5");
    }
    records.push_back("missing,0,0,0,0,0,0");
    records.push_back("big,0,0,0,0,0,0");  // after the missing model: never copied

    struct Result {
        std::vector<std::pair<std::string, std::string>> Files;  // the model folder's, in order
        std::vector<std::pair<int, int>> Progress;
        Lines Messages, Written;
    };
    auto run = [&](int jobs) {
        std::filesystem::remove_all(Models());
        MakeFolder(Models());
        AddModel("big.wrl", big);
        AddModel("two.wrl", two);
        AddModel("bad.wrl", {kHeader, "COORD Coordinate {", "point [", "1 x 3,", "4 5", "]"});
        MakeFolder(Output());
        MakeFolder(Copy("bad_6.wrl"));  // the copy path names a folder
        WriteBytes(dir / "list.txt", CrLfLines(records));
        in.TSOfolderFileName = "list.txt";
        in.WRLfolderList = ListMatchingFiles(Models(), "*.wrl");
        ProgressSink runSink;
        runSink.Run(in, {"all", jobs});
        Result result{{}, runSink.ProgressSteps, runSink.Texts(), runSink.Written};
        for (const std::string& folder : {Models(), Output()})
            for (const std::string& name : FolderEntries(folder))
                if (!std::filesystem::is_directory(JoinPath(folder, name)))
                    result.Files.emplace_back(name, ReadBytes(JoinPath(folder, name)));
        return result;
    };
    const Result one = run(1), four = run(4), all = run(100000);
    EXPECT_EQ(all.Files, one.Files);     // no more threads than placements: the same run
    EXPECT_EQ(one.Messages.size(), 3u);  // the missing model, the failed steps, "DONE"
    EXPECT_EQ(one.Progress.size(), 41u);
    EXPECT_EQ(four.Messages, one.Messages);
    EXPECT_EQ(four.Progress, one.Progress);
    const auto repairs = std::count(one.Written.begin(), one.Written.end(), Model("two.wrl"));
    EXPECT_GE(repairs, 1);
    EXPECT_EQ(one.Written.size() - static_cast<size_t>(repairs), 40u);  // copies but bad_6, scene
    EXPECT_EQ(four.Written, one.Written);
    // Names of the files, then those whose bytes differ (the bytes are too long to print).
    Lines names, differing;
    for (const auto& [name, bytes] : one.Files) names.push_back(name);
    EXPECT_EQ(names.size(), 3u + 40u - 1u + 1u);  // the models, the copies but bad_6, the scene
    ASSERT_EQ(four.Files.size(), one.Files.size());
    for (size_t i = 0; i < one.Files.size(); ++i)
        if (four.Files[i] != one.Files[i]) differing.push_back(four.Files[i].first);
    EXPECT_EQ(differing, Lines{});
}

// A large model copied once, with threads to spare, has its point lines placed on two threads:
// the copy and messages are those of one thread, whatever ends the lines (CR LF or a lone CR,
// where the lines are cut too). Three point lists; points placed beyond the double range stand
// anywhere, and from the middle on odd lines too (a bad number, a fourth number), which stop a
// half where they stand.
TEST_F(Duplicate, OneLargeCopyOnTwoThreadsIsTheCopyOnOne) {
    Lines big = OneNodeModel("big"), points;
    std::mt19937 random(5);
    for (int i = 0; i < 30000; ++i) {
        const unsigned odd = random() % 300;
        if (i % 10000 == 9999)
            points.insert(points.end(), {"4 5 6]", "COORD Coordinate {", "point ["});
        else if (odd == 0)
            points.push_back("1.7E308 0 1.7E308,");
        else if (odd < 3 && i >= 15000)
            points.push_back(odd == 1 ? "1 x 3," : "1 2 3 4,");
        else
            points.push_back(std::string(" ").append(std::to_string(i)).append(".25 -2.5 ") +
                             std::to_string(odd) + ",");
    }
    big.insert(big.begin() + 4, points.begin(), points.end());
    std::string bytes;  // lines ending in CR LF or a lone CR
    for (const std::string& line : big) bytes += line + (random() % 3 ? "\r\n" : "\r");
    WriteBytes(Model("big.wrl"), bytes);
    WriteBytes(dir / "list.txt", CrLfLines({"big,3,4,5,45,10,20"}));
    in.TSOfolderFileName = "list.txt";
    in.WRLfolderList = {"big.wrl"};
    std::string copies[2];
    Lines messages[2];
    for (int jobs : {1, 2}) {
        ProgressSink runSink;
        runSink.Run(in, {"", jobs});
        copies[jobs - 1] = ReadBytes(Copy("big_0.wrl"));
        messages[jobs - 1] = runSink.Texts();
    }
    EXPECT_EQ(copies[1].size(), copies[0].size());
    EXPECT_TRUE(copies[1] == copies[0]);  // too long to print
    EXPECT_EQ(messages[1], messages[0]);
    EXPECT_EQ(messages[0].size(), 2u);  // the failed point lines, "DONE"
}

// A run ended by a run-time error while copies are being written (here a sink that throws)
// waits for the copies under way, keeps none of a later placement and leaves no temporary file.
TEST_F(Duplicate, RunEndedMidwayKeepsNoCopyOfALaterPlacement) {
    Lines big = OneNodeModel();
    big.insert(big.begin() + 4, 20000, "  1.5 -2 3,");
    AddModel("box.wrl", big);
    struct Stopping : ProgressSink {
        void Show(Work, int done, int) override {
            if (done == 3) throw std::runtime_error("stopped");
        }
    } stopping;
    WriteBytes(dir / "list.txt", CrLfLines(Lines(40, "box,0,0,0,0,0,0")));
    in.TSOfolderFileName = "list.txt";
    in.WRLfolderList = ListMatchingFiles(Models(), "*.wrl");
    EXPECT_THROW(stopping.Run(in, {{}, 4}), std::runtime_error);
    EXPECT_EQ(FolderEntries(Output()), (Lines{"box_0.wrl", "box_1.wrl", "box_2.wrl"}));
}

// Forty copies of a model, with a big point list so that several are under way at once.
class DuplicateUnderWay : public Duplicate {
  protected:
    void SetUp() override {
        Duplicate::SetUp();
        Lines big = OneNodeModel();
        big.insert(big.begin() + 4, 5000, "  1.5 -2 3,");
        AddModel("box.wrl", big);
        WriteBytes(dir / "list.txt", CrLfLines(Lines(40, "box,0,0,0,0,0,0")));
        in.TSOfolderFileName = "list.txt";
        in.WRLfolderList = {"box.wrl"};
    }
    // The copies left are those of the first placements, each as a whole run writes it.
    void ExpectWholeCopiesOfTheFirstPlacements(const Lines& copies) {
        Lines first;
        for (size_t i = 0; i < copies.size(); ++i)
            first.push_back("box_" + std::to_string(i) + ".wrl");
        std::sort(first.begin(), first.end());
        ASSERT_EQ(copies, first);
        for (const std::string& name : copies)
            EXPECT_EQ(ReadBytes(Copy(name)), wholeCopies_.at(name)) << name;
    }
    void WriteWholeCopies() {
        sink.Run(in, {{}, 1});
        for (const std::string& name : FolderEntries(Output()))
            wholeCopies_[name] = ReadBytes(Copy(name));
        std::filesystem::remove_all(Output());
        sink.Messages.clear();
    }
    std::map<std::string, std::string> wholeCopies_;
};

TEST_F(DuplicateUnderWay, StopFinishesTheCopiesUnderWayAndBeginsNoOther) {
    WriteWholeCopies();
    struct StopAtSix : ProgressSink {
        void Show(Work, int done, int) override {
            if (done == 6) Stop.request_stop();
        }
    } stopping;
    stopping.Run(in, {{}, 4});
    const Lines copies = FolderEntries(Output());
    EXPECT_GE(copies.size(), 6u);
    EXPECT_LT(copies.size(), 40u);
    ExpectWholeCopiesOfTheFirstPlacements(copies);
    EXPECT_EQ(stopping.Texts(),
              Lines{StoppedText(Work::WritingCopies, static_cast<int>(copies.size()), 40)});
}

#ifndef _WIN32  // Windows replaces no file that a copy still has open
// The model replaced mid-run by a version whose lines end in LF alone: no copy is made from
// it; the run ends, in placement order, at the first placement that meets it.
TEST_F(DuplicateUnderWay, ModelSwappedMidRunIsNeverCopiedUnchecked) {
    WriteWholeCopies();
    const std::string whole = ReadBytes(Model("box.wrl"));
    std::string lf = whole;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    struct Swapping : ProgressSink {
        std::string Path, Bytes;
        void Show(Work, int done, int) override {
            if (done != 5) return;
            WriteBytes(Path + ".new", Bytes);
            std::rename((Path + ".new").c_str(), Path.c_str());
        }
    };
    for (int round = 0; round < 5; ++round) {
        WriteBytes(Model("box.wrl"), whole);
        std::filesystem::remove_all(Output());
        Swapping swapping;
        swapping.Path = Model("box.wrl");
        swapping.Bytes = lf;
        swapping.Run(in, {{}, 2});
        EXPECT_EQ(swapping.Texts(), (Lines{"invalid WRL file", "DONE"}));
        const Lines copies = FolderEntries(Output());
        EXPECT_GE(copies.size(), 5u);
        ExpectWholeCopiesOfTheFirstPlacements(copies);
    }
}
#endif

// Names up to the system's limit: the temporary names beside them fit too, and the dry run
// says what the run does.
TEST_F(Duplicate, NamesAtTheLimitAreWrittenAndTheDryRunAgrees) {
    const std::string name(249, 'n');  // the model 253 bytes, its copy 255
    Lines model = OneNodeModel();
    model.insert(model.begin() + 2, "      DEF VRL_second_vrl Group {");
    model.insert(model.begin() + 3, "texCoordIndex [");
    AddModel(name + ".wrl", model);
    WriteBytes(dir / "list.txt", CrLfLines({name + ",0,0,0,0,0,0"}));
    in.TSOfolderFileName = "list.txt";
    Run({{}, 1}, true);
    EXPECT_EQ(sink.Written, (Lines{Model(name + ".wrl"), Copy(name + "_0.wrl")}));
    sink.Written.clear();
    Run();
    EXPECT_EQ(sink.Written, (Lines{Model(name + ".wrl"), Copy(name + "_0.wrl")}));
    EXPECT_EQ(sink.Texts(), (Lines{"DONE", "DONE"}));
    EXPECT_TRUE(FileExists(Copy(name + "_0.wrl")));
    EXPECT_EQ(FolderEntries(Models()), (Lines{"newwrls", name + ".wrl"}));
}

// Copy names of 236 to 256 bytes, into an output folder that exists or that the run makes: the
// dry run tells the files and messages of the run, also where the name is too long.
TEST_F(Duplicate, DryRunAgreesWithTheRunOnNamesNearTheLimit) {
    AddModel("m.wrl", OneNodeModel());
    in.Check1Value = in.Check4Value = 1;  // the copy after the manual Name, from the model
    in.WRLfolderFileName = "m.wrl";
    for (bool folder : {false, true}) {
        for (size_t length = 236; length <= 256; ++length) {
            std::filesystem::remove_all(Output());
            if (folder) MakeFolder(Output());
            in.Text2 = std::string(length - 6, 'n');  // NAME_0.wrl
            sink = {};
            Run({}, true);
            const Lines dryMessages = sink.Texts(), dryWritten = sink.Written;
            sink = {};
            Run();
            EXPECT_EQ(sink.Texts(), dryMessages) << length;
            EXPECT_EQ(sink.Written, dryWritten) << length;
            EXPECT_EQ(sink.Written.size(), length <= 255 ? 1u : 0u) << length;
        }
    }
}

// A model another program writes in place while a copy reads it: no copy of the torn model is
// kept, the placement is taken again and copies what the model holds now; a model whose time
// alone changes is copied on without a restart.
TEST_F(Duplicate, ModelWrittenInPlaceMidCopyIsNeverCopiedTorn) {
    Lines before = OneNodeModel(), after = OneNodeModel();
    before.insert(before.begin() + 4, 20000, "  1.5 -2 3,");
    after.insert(after.begin() + 4, 30000, "  7 8 9,");
    AddModel("box.wrl", before);
    WriteBytes(dir / "list.txt", CrLfLines(Lines(3, "box,0,0,0,0,0,0")));
    in.TSOfolderFileName = "list.txt";
    in.WRLfolderList = {"box.wrl"};
    FaultyFileSystem files;
    files.ChangeWhileRead(Model("box.wrl"), 3, [&] { AddModel("box.wrl", after); });
    RunContext run(files, sink);
    RunDuplicate(run, in, {{}, 1});
    EXPECT_TRUE(OnlyDoneShown());
    Lines copies;
    for (const char* copy : {"box_0.wrl", "box_1.wrl", "box_2.wrl"})
        copies.push_back(ReadBytes(Copy(copy)));
    WriteBytes(dir / "list.txt", CrLfLines({"box,0,0,0,0,0,0"}));
    sink = {};
    Run();  // the reference: a copy of the model as it is now
    for (size_t i = 0; i < copies.size(); ++i)
        EXPECT_TRUE(ReplaceAll(ReadBytes(Copy("box_0.wrl")), "box_0", "box_" + std::to_string(i)) ==
                    copies[i])
            << i;

    // A writer that stops halfway for the whole read of a copy and goes on after it: the copy of
    // the half is not kept. The model's stamps: its check's, the copy's before and after the read,
    // the copy's as it is kept.
    const std::string reference = ReadBytes(Copy("box_0.wrl")), whole = CrLfLines(before);
    AddModel("box.wrl", before);
    FaultyFileSystem pausing;  // the list's open, the check's, the copy's
    pausing.BeforeOpen(3, [&] { WriteBytes(Model("box.wrl"), whole.substr(0, whole.size() / 2)); });
    pausing.ChangeBeforeStamp(Model("box.wrl"), 4, [&] { AddModel("box.wrl", after); });
    RunContext paused(pausing, sink);
    RunDuplicate(paused, in, {{}, 1});
    EXPECT_TRUE(ReadBytes(Copy("box_0.wrl")) == reference);

    struct Touching : ProgressSink {  // a new modification time before every placement
        std::filesystem::path Path;
        std::filesystem::file_time_type Base;
        void Show(Work, int done, int) override {
            std::filesystem::last_write_time(Path, Base + std::chrono::seconds(1 + done));
        }
    } touching;
    touching.Path = Model("box.wrl");
    touching.Base = std::filesystem::last_write_time(touching.Path);
    WriteBytes(dir / "list.txt", CrLfLines(Lines(10, "box,0,0,0,0,0,0")));
    touching.Run(in, {{}, 2});
    EXPECT_EQ(touching.Texts(), Lines{"DONE"});
    EXPECT_EQ(touching.Written.size(), 10u);

    // Touched again and again while it is read: a copy read in a touch is taken again, at most
    // eight times at one placement, and the run goes on to "DONE".
    FaultyFileSystem touchingWhileRead;
    int touches = 0;
    std::function<void()> touch = [&] {
        std::filesystem::last_write_time(touching.Path,
                                         touching.Base - std::chrono::hours(++touches));
        touchingWhileRead.ChangeWhileRead(Model("box.wrl"), 6, touch);
    };
    touchingWhileRead.ChangeWhileRead(Model("box.wrl"), 6, touch);
    sink = {};
    for (const std::string& copy : FolderEntries(Output())) std::filesystem::remove(Copy(copy));
    RunContext touched(touchingWhileRead, sink);
    RunDuplicate(touched, in, {{}, 2});
    EXPECT_EQ(sink.Texts(), Lines{"DONE"}) << touches << " touches";
    EXPECT_TRUE(FileExists(Copy("box_9.wrl")));
}

TEST_F(Duplicate, FailureWhileReadingPlacementsStopsBeforeAnyFolder) {
    AddModel("a.wrl", OneNodeModel());
    WriteBytes(dir / "list.txt", CrLfLines({"a,0,0,0,0,0,0", "a,1,2"}));
    in.TSOfolderFileName = "list.txt";
    in.WRLfolderList = {"a.wrl"};
    try {
        RunDuplicate(in, sink);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Kind(), FailureKind::ReadPastEnd);
        EXPECT_EQ(failure.Path(), dir / "list.txt");
    }
    EXPECT_TRUE(sink.Messages.empty());
    EXPECT_FALSE(FileExists(Output()));
}

TEST_F(Duplicate, MgpAndManualTogetherAreRejectedBeforeReading) {
    in.Check2Value = 1;
    in.Check4Value = 1;
    in.Text3 = "not a number";
    Run();
    ASSERT_EQ(sink.Messages.size(), 1u);
    EXPECT_EQ(sink.Messages[0].Text, "Use MGP files and Manual Mode cannot both be set");
    EXPECT_EQ(sink.Messages[0].Icon, MessageIcon::Error);
    EXPECT_FALSE(FileExists(Output()));
}

// A dry run changes nothing, and tells in order the files a real run then writes, and the
// real run's messages (the count of failed steps among them).
TEST_F(Duplicate, DryRunTellsWhatTheRealRunDoesAndWritesNothing) {
    AddModel("a.wrl", OneNodeModel());
    AddModel("bad.wrl", {kHeader, "COORD Coordinate {", "point [", "1 x 3,", "4 5", "]"});
    // Its texture block closes at the end: every repair changes it again.
    AddModel("two.wrl", {kHeader, "DEF VRL_a", "DEF VRL_b", "texCoordIndex [", "]"});
    AddModel("tower.wrl", {kHeader, "DEF VRL_a", "DEF VRL_b", "texCoordIndex [", "]", "x", "x", "x",
                           "x", "x", "x", "x", "x", "x", "x"});  // repaired once only
    AddModel("ro.wrl", {kHeader, "DEF VRL_a", "DEF VRL_b", "texCoordIndex [", "]"});
    SetReadOnly(Model("ro.wrl"));
    const Lines lists[] = {
        {"two,0,0,0,0,0,0", "tower,0,0,0,0,0,0", "two,1,0,0,0,0,0", "tower,1,0,0,0,0,0",
         "a,1,2,3,4,5,6"},  // the output folder is made by the run
        {"a,0,0,0,0,0,0", "bad,0,0,0,0,0,0", "ro,0,0,0,0,0,0", "a,0,0,0,0,0,0",
         "missing,0,0,0,0,0,0", "a,0,0,0,0,0,0"}};
    for (const Lines& list : lists) {
        if (&list == &lists[1]) MakeFolder(Copy("a_0.wrl"));  // a copy path naming a folder
        WriteBytes(dir / "list.txt", CrLfLines(list));
        in.TSOfolderFileName = "list.txt";
        const auto before = Snapshot(dir.Path());
        Run({.SceneName = "all"}, true);
        EXPECT_EQ(Snapshot(dir.Path()), before);
        const Lines dryMessages = sink.Texts(), dryWritten = sink.Written;
        sink = {};
        Run({.SceneName = "all"});
        EXPECT_EQ(sink.Texts(), dryMessages);
        EXPECT_EQ(sink.Written, dryWritten);
        sink = {};
    }
}

TEST_F(Duplicate, SceneIndexInlinesEachCopyOfTheRunOnce) {
    AddModel("a.wrl", OneNodeModel());
    RunTso({"a,0,0,0,0,0,0", "a,1,0,0,0,0,0"});  // an earlier run's copies are not inlined
    WriteBytes(dir / "list.txt", CrLfLines({"a,0,0,0,0,0,0", "/x,0,0,0,0,0,0", "A,1,0,0,0,0,0"}));
    // A_1 replaces a_1.wrl: the index names the file as it stands (on Windows the replacing
    // name's letter case stands).
    Run({.SceneName = "all"});
#ifdef _WIN32
    const std::string second = "A_1.wrl";
#else
    const std::string second = "a_1.wrl";
#endif
    EXPECT_EQ(ReadBytes(Copy("all.wrl")),
              CrLfLines({"#VRML V2.0 utf8", "Inline { url \"a_0.wrl\" }",
                         "Inline { url \"" + second + "\" }"}));

    Run({.SceneName = "A_0"});  // would replace a copy (letter case aside) and inline itself
    EXPECT_EQ(sink.Texts().back(), "DONE");
    EXPECT_EQ(sink.Texts()[sink.Texts().size() - 2],
              "Some steps failed (1). First: Path/File access error (" + Copy("A_0.wrl") + ")");
    EXPECT_NE(ReadBytes(Copy("a_0.wrl")).find("DEF VRL_a_0_vrl"), std::string::npos);

    SceneIndex index;  // a file name in a VRML string escapes its quote and backslash
    index.Add("q\"b\\s.wrl");
    EXPECT_EQ(index.Text(), CrLfLines({"#VRML V2.0 utf8", "Inline { url \"q\\\"b\\\\s.wrl\" }"}));
    for (const char* refused : {"", "a/b", "a\\b", "..", "x..y"})
        EXPECT_FALSE(SceneNameProblem(refused).empty()) << refused;
    EXPECT_EQ(SceneNameProblem("village.v2"), "");
}

}  // namespace

}  // namespace scene
