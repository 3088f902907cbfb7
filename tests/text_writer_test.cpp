// Safe writing: a file is replaced whole or not at all.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "failure.hpp"
#include "failure_of.hpp"
#include "run_files.hpp"
#include "test_files.hpp"
#include "text_writer.hpp"

namespace scene {

namespace {

TEST(SafeWriting, TargetUntouchedUntilCommitAndTempRemovedWithoutIt) {
    RunFiles files(platform::SystemFileSystem());
    TempDir dir;
    WriteBytes(dir / "model.wrl", "original\r\n");
    {
        TextFileWriter out(files, dir / "model.wrl", platform::Durability::UserFile);
        out.WriteTextLine("replacement");
        EXPECT_EQ(ReadBytes(dir / "model.wrl"), "original\r\n");
    }
    EXPECT_EQ(ReadBytes(dir / "model.wrl"), "original\r\n");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"model.wrl"});
}

TEST(SafeWriting, ReadOnlyTargetIsTheAccessFailureAndStaysAsItWas) {
    RunFiles files(platform::SystemFileSystem());
    TempDir dir;
    WriteBytes(dir / "model.wrl", "original");
    SetReadOnly(dir / "model.wrl");
    EXPECT_EQ(FailureNumberOf([&] {
                  TextFileWriter out(files, dir / "model.wrl", platform::Durability::UserFile);
              }),
              75);
    EXPECT_EQ(ReadBytes(dir / "model.wrl"), "original");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"model.wrl"});
}

TEST(SafeWriting, AFoldersFirstWriteRemovesOnlyTemporaryFilesNoWriterHasOpen) {
    RunFiles files(platform::SystemFileSystem());
    TempDir dir;
    std::vector<std::string> others = {".a.wrl.tmp-12345", ".keep", "a.wrl.tmp-123456"};
    for (const std::string& name : others) WriteBytes(dir / name, "not ours");
    WriteBytes(dir / ".a.wrl.tmp-Ab12Cd", "left by a killed run");
    TextFileWriter going(files, dir / "b.wrl", platform::Durability::Replaceable);
    going.WriteTextLine("b");
    // Another writer, while this one still has its file open.
    TextFileWriter(files, dir / "c.wrl", platform::Durability::Replaceable).Commit();
    // The first writer's file, named or not, is still there to commit.
    std::vector<std::string> entries = FolderEntries(dir.Path());
    std::erase_if(entries, [](const std::string& name) { return name.starts_with(".b.wrl.tmp-"); });
    others.push_back("c.wrl");
    EXPECT_EQ(entries, others);
    going.Commit();
    EXPECT_EQ(ReadBytes(dir / "b.wrl"), "b\r\n");
}

#ifndef _WIN32  // Windows has attributes in their place: windows_paths_test.cpp
TEST(SafeWriting, ReplacedFileKeepsItsPermissionBits) {
    RunFiles files(platform::SystemFileSystem());
    TempDir dir;
    WriteBytes(dir / "model.wrl", "original");
    chmod((dir / "model.wrl").c_str(), 0640);
    TextFileWriter out(files, dir / "model.wrl", platform::Durability::UserFile);
    out.WriteTextLine("new");
    out.Commit();
    struct stat st;
    ASSERT_EQ(stat((dir / "model.wrl").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadBytes(dir / "model.wrl"), "new\r\n");

    TextFileWriter fresh(files, dir / "new.txt", platform::Durability::Replaceable);
    fresh.Commit();
    ASSERT_EQ(stat((dir / "new.txt").c_str(), &st), 0);
    mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);  // as a plain create would make it
    EXPECT_EQ(ReadBytes(dir / "new.txt"), "");
}
#endif

}  // namespace

}  // namespace scene
