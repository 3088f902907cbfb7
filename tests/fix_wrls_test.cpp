// Fix WRLs: seams of exporter-written models deleted in place, other models left alone.
#include "fix_wrls.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "block_search.hpp"
#include "commands.hpp"
#include "paths.hpp"
#include "recording_file_system.hpp"
#include "strings.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

const std::string kHeader(kExporterHeader);

std::vector<std::string> Opening(const std::string& base) {
    return {"DEF MASTER Transform {",
            " children [",
            " DEF VRL_" + base + "_vrl Transform {",
            "  children [",
            "DEF MESH_" + base + " Transform {",
            "  children ["};
}
const std::vector<std::string> kClosing = {"   ]", "}", " ] }", " ] }"};

// The header, then one block per body line, each block opened and closed for `base`.
std::vector<std::string> ExporterModel(const std::string& base,
                                       const std::vector<std::string>& bodies) {
    std::vector<std::string> lines = {kHeader};
    for (const std::string& body : bodies) {
        for (const std::string& line : Opening(base)) lines.push_back(line);
        lines.push_back(body);
        for (const std::string& line : kClosing) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class FixWrls : public ::testing::Test {
  protected:
    TempDir dir;
    RecordingSink sink;

    // Over a recording file system, a dry run.
    void Run(bool dryRun = false) {
        RecordingFileSystem recording(platform::SystemFileSystem());
        RunContext run(dryRun ? recording : platform::SystemFileSystem(), sink);
        RunFixWrls(run, {dir.Path(), ListMatchingFiles(dir.Path(), "*.wrl")});
    }
};

TEST_F(FixWrls, WorkedExampleGivesFifteenLines) {
    std::vector<std::string> model = ExporterModel("box", {"   A", "   B"});
    ASSERT_EQ(model.size(), 23u);
    WriteBytes(dir / "box.wrl", CrLfLines(model));
    Run();
    std::vector<std::string> expected = Join(Join({kHeader}, Opening("box")), {"   A", "", "   B"});
    expected = Join(Join(expected, kClosing), {""});
    ASSERT_EQ(expected.size(), 15u);
    EXPECT_EQ(ReadBytes(dir / "box.wrl"), CrLfLines(expected));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"DONE with  0 invalid file(s)"});
    EXPECT_EQ(sink.Messages[0].Icon, MessageIcon::None);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"box.wrl"});  // no temp left
}

TEST_F(FixWrls, ThreeBlocksLeaveTwoEmptyLinesAndASecondRunAddsALineEnd) {
    WriteBytes(dir / "box.wrl", CrLfLines(ExporterModel("box", {"A", "B", "C"})));
    Run();
    std::vector<std::string> joined =
        Join(Join({kHeader}, Opening("box")), {"A", "", "B", "", "C"});
    joined = Join(Join(joined, kClosing), {""});
    EXPECT_EQ(ReadBytes(dir / "box.wrl"), CrLfLines(joined));
    Run();
    EXPECT_EQ(ReadBytes(dir / "box.wrl"), CrLfLines(joined) + "\r\n");
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"DONE with  0 invalid file(s)",
                                                      "DONE with  0 invalid file(s)"}));
}

TEST_F(FixWrls, ModelsWithoutTheHeaderStayByteIdenticalAndAreCounted) {
    const std::string seams = CrLfLines(ExporterModel("a", {"A", "B"}));
    const std::string noHeader = seams.substr(kHeader.size() + 2);
    const std::string otherCase = "# Produced by qlib's VRML export, version 2\r\n" + noHeader;
    const std::string otherSpacing = "# Produced by QLib's VRML export,  version 2\r\n";
    WriteBytes(dir / "a.wrl", noHeader);
    WriteBytes(dir / "b.wrl", otherCase);
    WriteBytes(dir / "c.wrl", otherSpacing);
    WriteBytes(dir / "d.wrl", "");  // an empty model has no header either
    WriteBytes(dir / "e.wrl", "#VRML V2.0\r\n" + kHeader + " (late)\r\n");  // valid anywhere
    WriteBytes(dir / "notes.txt", "x");
    Run();
    EXPECT_EQ(ReadBytes(dir / "a.wrl"), noHeader);
    EXPECT_EQ(ReadBytes(dir / "b.wrl"), otherCase);
    EXPECT_EQ(ReadBytes(dir / "c.wrl"), otherSpacing);
    EXPECT_EQ(ReadBytes(dir / "d.wrl"), "");
    EXPECT_EQ(ReadBytes(dir / "e.wrl"), "#VRML V2.0\r\n" + kHeader + " (late)\r\n\r\n");
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"DONE with  4 invalid file(s)"});
    EXPECT_TRUE(sink.Failures.empty());
}

TEST_F(FixWrls, SeamsThatCannotMatchAreKept) {
    // LF line ends, an upper-case extension, and DEF names of the name before a rename.
    std::string lfOnly;
    for (const std::string& line : ExporterModel("lf", {"A", "B"})) lfOnly += line + "\n";
    const std::string upper = CrLfLines(ExporterModel("BOX", {"A", "B"}));
    const std::string renamed = CrLfLines(ExporterModel("old", {"A", "B"}));
    WriteBytes(dir / "lf.wrl", lfOnly);
    WriteBytes(dir / "BOX.WRL", upper);
    WriteBytes(dir / "new.wrl", renamed);
    Run();
    EXPECT_EQ(ReadBytes(dir / "lf.wrl"), lfOnly + "\r\n");
    EXPECT_EQ(ReadBytes(dir / "BOX.WRL"), upper + "\r\n");
    EXPECT_EQ(ReadBytes(dir / "new.wrl"), renamed + "\r\n");
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"DONE with  0 invalid file(s)"});
}

// Models are streamed through in blocks: finding, deleting and finding lines in pieces gives
// what Contains, ReplaceAll and the line rule give over the whole text, wherever the blocks
// split it. Texts of few letters make many partial and overlapping occurrences.
TEST(BlockSearch, PiecesGiveWhatTheWholeTextGives) {
    std::mt19937 random(7);
    auto text = [&](size_t length, std::string_view letters) {
        std::string t;
        for (size_t i = 0; i < length; ++i) t += letters[random() % letters.size()];
        return t;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string sought = text(1 + random() % 6, "ab\r\n");
        const std::string marker = text(1 + random() % 3, "ab");
        const std::string whole = text(random() % 60, "ab\r\n");
        BlockFinder finder(sought);
        std::string kept;
        BlockDeleter deleter(sought, [&](std::string_view piece) { kept += piece; });
        MarkedLines marked(marker);
        for (size_t at = 0; at < whole.size();) {
            const std::string_view block = std::string_view(whole).substr(at, random() % 9);
            finder.Feed(block);
            deleter.Feed(block);
            marked.Feed(block);
            at += block.size();
        }
        deleter.Finish();
        ASSERT_EQ(finder.Found(), Contains(whole, sought)) << whole << " / " << sought;
        ASSERT_EQ(kept, ReplaceAll(whole, sought, "")) << whole << " / " << sought;
        // The lines end at CR; a LF right after it belongs to the line end.
        long count = 0, first = -1, number = 0;
        for (size_t start = 0; start < whole.size(); ++number) {
            const size_t cr = std::min(whole.find('\r', start), whole.size());
            if (Contains(whole.substr(start, cr - start), marker) && count++ == 0) first = number;
            start = cr + 1 + (cr + 1 < whole.size() && whole[cr + 1] == '\n');
        }
        ASSERT_EQ(marked.Count(), count) << whole << " / " << marker;
        ASSERT_EQ(marked.First(), first) << whole << " / " << marker;
    }
}

TEST_F(FixWrls, EmptyFolderEndsAtOnce) {
    Run();
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"DONE with  0 invalid file(s)"});
}

TEST_F(FixWrls, UnreadableModelStopsTheRunWhereItIs) {
    const std::string model = CrLfLines(ExporterModel("x", {"A", "B"}));
    for (const char* name : {"a.wrl", "b.wrl", "c.wrl"}) WriteBytes(dir / name, model);
    FixInputs inputs{dir.Path(), ListMatchingFiles(dir.Path(), "*.wrl")};
    std::remove((dir / "b.wrl").c_str());  // removed since the list was shown
    try {
        RunFixWrls(inputs, sink);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number(), 53);
        EXPECT_EQ(failure.Path(), JoinPath(dir.Path(), "b.wrl"));
    }
    EXPECT_NE(ReadBytes(dir / "a.wrl"), model);  // rewritten before the failure
    EXPECT_EQ(ReadBytes(dir / "c.wrl"), model);  // never reached
    EXPECT_TRUE(sink.Messages.empty());
}

// A dry run stops where the real run stops, with the same failure.
TEST_F(FixWrls, ReadOnlyModelWithTheHeaderIsLeftAsItWas) {
    const std::string model = CrLfLines(ExporterModel("ro", {"A", "B"}));
    WriteBytes(dir / "ro.wrl", model);
    SetReadOnly(dir / "ro.wrl");
    for (bool dryRun : {true, false}) {
        try {
            Run(dryRun);
            FAIL() << "no failure";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Kind(), FailureKind::AccessFailure);
            EXPECT_EQ(failure.Number(), 75);
        }
    }
    EXPECT_EQ(ReadBytes(dir / "ro.wrl"), model);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"ro.wrl"});
    EXPECT_TRUE(sink.Messages.empty());
}

// The count of models without the header goes past 16 bits; the models after them are fixed.
TEST_F(FixWrls, InvalidCountPast32767FixesTheModelsAfterIt) {
    WriteBytes(dir / "plain.wrl", "#VRML V2.0\r\n");
    WriteBytes(dir / "box.wrl", CrLfLines(ExporterModel("box", {"   A", "   B"})));
    FixInputs inputs{dir.Path(), std::vector<std::string>(32800, "plain.wrl")};
    inputs.ModelNames.push_back("box.wrl");
    RunFixWrls(inputs, sink);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"DONE with  32800 invalid file(s)"});
    EXPECT_EQ(ReadBytes(dir / "box.wrl").find("DEF MASTER", 60), std::string::npos);
}

}  // namespace

}  // namespace scene
