// Files and paths where Windows differs: "\" joins, drive roots, replacing files, the read-only
// attribute, letter case and names with bytes beyond ASCII.
#ifdef _WIN32

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "failure.hpp"
#include "paths.hpp"
#include "platform.hpp"
#include "test_files.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace {

using Names = std::vector<std::string>;

// The failure number the call raises, 0 for none.
template <typename Call>
int FailureNumberOf(Call&& call) {
    try {
        call();
    } catch (const Failure& f) {
        return f.Number();
    }
    return 0;
}

void WriteFile(const std::string& path, const std::string& line, Durability durability) {
    TextFileWriter out(path, durability);
    out.WriteTextLine(line);
    out.Commit();
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

TEST(WindowsPaths, BackslashJoinsAndDriveRootsKeepTheirSeparator) {
    EXPECT_EQ(kPathSeparator, '\\');
    EXPECT_EQ(JoinPath("c:\\scene\\models", "house.wrl"), "c:\\scene\\models\\house.wrl");
    EXPECT_EQ(JoinPath("c:\\", "house.wrl"), "c:\\\\house.wrl");
    EXPECT_EQ(FolderOf("c:\\house.wrl"), "c:\\");
    EXPECT_EQ(FolderOf("c:\\\\house.wrl"), "c:\\");
    EXPECT_EQ(FolderOf("c:\\scene\\house.wrl"), "c:\\scene");
    EXPECT_EQ(FolderOf("scene/lists\\site.mgp"), "scene/lists");  // "/" serves too
    EXPECT_EQ(NameOf("c:\\\\house.wrl"), "house.wrl");
    EXPECT_EQ(ResolveCase("c:\\Scene\\HOUSE.WRL"), "c:\\Scene\\HOUSE.WRL");
}

TEST(WindowsPaths, ADoubledSeparatorStillOpens) {
    TempDir dir;
    const std::string doubled = JoinPath(dir.Path() + "\\", "list.txt");
    WriteFile(doubled, "a,1,2,3,4,5,6", Durability::Replaceable);
    EXPECT_EQ(ReadBytes(dir / "list.txt"), "a,1,2,3,4,5,6\r\n");
    EXPECT_EQ(ReadWholeText(doubled), "a,1,2,3,4,5,6\r\n");

    // The root of the temporary folder's drive, as a drive list gives it: "c:\".
    const std::string root = dir.Path().substr(0, 3);
    ASSERT_EQ(root.substr(1), ":\\");
    const std::string name = "scenetools-root-" + NameOf(dir.Path()) + ".txt";
    const std::string atRoot = JoinPath(root, name);
    ASSERT_EQ(atRoot, root + "\\" + name);
    try {
        WriteFile(atRoot, "at the root", Durability::UserFile);
    } catch (const Failure& f) {
        GTEST_SKIP() << "the drive root cannot be written here: " << f.Description();
    }
    EXPECT_EQ(ReadWholeText(atRoot), "at the root\r\n");
    Names listed = ListMatchingFiles(root, "scenetools-root-*.txt");
    EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end());
    DeleteFileA(atRoot.c_str());
}

TEST(WindowsPaths, ReplacingAnExistingFileKeepsItsNameAndAttributes) {
    TempDir dir;
    WriteBytes(dir / "model.wrl", "original");
    {
        TextFileWriter out(dir / "model.wrl", Durability::UserFile);
        out.WriteTextLine("replacement");
        // Meanwhile a hidden temporary file named after the target stands beside it.
        Names entries = FolderEntries(dir.Path());
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].rfind(".model.wrl.tmp-", 0), 0u);
        EXPECT_EQ(entries[0].size(), std::string(".model.wrl.tmp-XXXXXX").size());
        EXPECT_TRUE(Attributes(dir / entries[0]) & FILE_ATTRIBUTE_HIDDEN);
        out.Commit();
    }
    EXPECT_EQ(ReadBytes(dir / "model.wrl"), "replacement\r\n");
    EXPECT_EQ(FolderEntries(dir.Path()), Names{"model.wrl"});
    EXPECT_FALSE(Attributes(dir / "model.wrl") & FILE_ATTRIBUTE_HIDDEN);

    WriteFile(dir / "new.txt", "fresh", Durability::Replaceable);
    EXPECT_FALSE(Attributes(dir / "new.txt") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));

    // A file in other letter case is the same file, and keeps its own name.
    WriteFile(dir / "MODEL.WRL", "again", Durability::UserFile);
    EXPECT_EQ(FolderEntries(dir.Path()), (Names{"model.wrl", "new.txt"}));
    EXPECT_EQ(ReadBytes(dir / "model.wrl"), "again\r\n");
    TextFileReader in(dir / "Model.Wrl");
    EXPECT_EQ(in.ReadTextLine(), "again");
}

TEST(WindowsPaths, AReadOnlyTargetIsTheAccessFailureAndStaysAsItWas) {
    TempDir dir;
    WriteBytes(dir / "model.wrl", "original");
    ASSERT_TRUE(SetFileAttributesA((dir / "model.wrl").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(FailureNumberOf([&] { WriteFile(dir / "model.wrl", "new", Durability::UserFile); }),
              75);
    EXPECT_EQ(ReadBytes(dir / "model.wrl"), "original");
    EXPECT_TRUE(Attributes(dir / "model.wrl") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FolderEntries(dir.Path()), Names{"model.wrl"});
    SetFileAttributesA((dir / "model.wrl").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsPaths, OpeningFailuresCarryTheirNumbers) {
    TempDir dir;
    EXPECT_EQ(FailureNumberOf([&] { TextFileReader r(dir / "missing.txt"); }), 53);
    EXPECT_EQ(FailureNumberOf([&] { TextFileReader r(dir / "nofolder/x.txt"); }), 76);
    EXPECT_EQ(FailureNumberOf([&] { TextFileReader r(dir.Path()); }), 75);
    EXPECT_EQ(FailureNumberOf([&] { ListMatchingFiles(dir / "nofolder", "*.wrl"); }), 76);
    EXPECT_EQ(FailureNumberOf([&] { platform::CreateFolder(dir.Path()); }), 75);

    // A file that another program holds without sharing it.
    WriteBytes(dir / "held.wrl", "held");
    HANDLE held = CreateFileA((dir / "held.wrl").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FailureNumberOf([&] { TextFileReader r(dir / "held.wrl"); }), 75);
    EXPECT_EQ(FailureNumberOf([&] { WriteFile(dir / "held.wrl", "new", Durability::UserFile); }),
              75);
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(dir / "held.wrl"), "held");
    EXPECT_EQ(FolderEntries(dir.Path()), Names{"held.wrl"});
}

TEST(WindowsPaths, ANameWithBytesBeyondAsciiPassesThroughUnchanged) {
    TempDir dir;
    const std::string name = "caf\xE9.wrl";  // Latin-1 e with acute accent
    WriteFile(dir / name, "bytes", Durability::UserFile);
    EXPECT_EQ(ListMatchingFiles(dir.Path(), "*.wrl"), Names{name});
    EXPECT_EQ(ReadWholeText(dir / name), "bytes\r\n");
    std::FILE* file = std::fopen((dir / name).c_str(), "rb");  // the same bytes reach the file
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    WriteFile(dir / name, "again", Durability::Replaceable);
    EXPECT_EQ(ListMatchingFiles(dir.Path(), "*.WRL"), Names{name});
    TextFileReader in(dir / name);
    EXPECT_EQ(in.ReadTextLine(), "again");
}

}  // namespace

#endif  // _WIN32
