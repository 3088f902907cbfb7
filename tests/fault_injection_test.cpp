// Nothing is lost when a write fails partway or the process is killed: every user file is
// either as it was or completely rewritten, and no temporary file is left after a failure.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "child_process.hpp"
#include "copy_rewriting.hpp"
#include "fix_wrls.hpp"
#include "paths.hpp"
#include "test_files.hpp"

namespace {

// Runs `work` in a child process whose files may not grow beyond `maxBytes`. Returns true
// when the work threw a Failure.
template <typename Work>
bool FailsWithFileSizeLimit(rlim_t maxBytes, Work work) {
    return RunInChild({.maxFileBytes = maxBytes},
                      [&] {
                          work();
                          return std::string();
                      })
        .failed;
}

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

TEST(FaultInjection, RepairInterruptedByAFullDiskLeavesTheModel) {
    TempDir dir;
    const std::string model = ConverterModel(20000);
    WriteBytes(dir / "m.wrl", model);
    EXPECT_TRUE(FailsWithFileSizeLimit(64 * 1024, [&] { RepairTexCoordBlocks(dir / "m.wrl"); }));
    EXPECT_EQ(ReadBytes(dir / "m.wrl"), model);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"m.wrl"});
}

TEST(FaultInjection, CopyInterruptedLeavesTheEarlierCopy) {
    TempDir dir;
    WriteBytes(dir / "m.wrl", ConverterModel(20000));
    WriteBytes(dir / "copy.wrl", "earlier copy");
    EXPECT_TRUE(FailsWithFileSizeLimit(64 * 1024, [&] {
        StepFailures failures;
        WriteCopy(dir / "m.wrl", dir / "copy.wrl", {}, "t", failures);
    }));
    EXPECT_EQ(ReadBytes(dir / "copy.wrl"), "earlier copy");
    EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"copy.wrl", "m.wrl"}));
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

TEST(FaultInjection, FixWrlsInterruptedByAFullDiskLeavesEveryModelWhole) {
    TempDir dir;
    std::vector<std::string> originals;
    for (int f = 0; f < 3; ++f) {
        originals.push_back(ExporterModel("m" + std::to_string(f), 300));
        WriteBytes(dir / ("m" + std::to_string(f) + ".wrl"), originals.back());
    }
    // Big enough for no model: the first rewrite fails, and the run stops there.
    EXPECT_TRUE(FailsWithFileSizeLimit(4096, [&] {
        NullSink sink;
        RunFixWrls({dir.Path(), ListMatchingFiles(dir.Path(), "*.wrl")}, sink);
    }));
    for (int f = 0; f < 3; ++f)
        EXPECT_EQ(ReadBytes(dir / ("m" + std::to_string(f) + ".wrl")), originals[f]);
    EXPECT_EQ(FolderEntries(dir.Path()).size(), 3u);
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

}  // namespace
