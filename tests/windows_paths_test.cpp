// Files and paths where Windows differs: "\" joins, drive roots, replacing files, the read-only
// attribute, letter case and names with bytes beyond ASCII.
#ifdef _WIN32

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "commands.hpp"
#include "duplicate.hpp"
#include "failure.hpp"
#include "failure_of.hpp"
#include "file_system.hpp"
#include "list_preview.hpp"
#include "paths.hpp"
#include "run_files.hpp"
#include "system.hpp"
#include "test_files.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace scene {

namespace {

using Names = std::vector<std::string>;

void WriteFile(const std::string& path, const std::string& line, platform::Durability durability) {
    RunFiles files(platform::SystemFileSystem());
    TextFileWriter out(files, path, durability);
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
    EXPECT_EQ(RunFiles(platform::SystemFileSystem()).ResolveCase("c:\\Scene\\HOUSE.WRL"),
              "c:\\Scene\\HOUSE.WRL");
}

TEST(WindowsPaths, ADoubledSeparatorStillOpens) {
    TempDir dir;
    const std::string doubled = JoinPath(dir.Path() + "\\", "list.txt");
    WriteFile(doubled, "a,1,2,3,4,5,6", platform::Durability::Replaceable);
    EXPECT_EQ(ReadBytes(dir / "list.txt"), "a,1,2,3,4,5,6\r\n");
    EXPECT_EQ(ReadWholeText(doubled), "a,1,2,3,4,5,6\r\n");

    // The root of the temporary folder's drive, as a drive list gives it: "c:\".
    const std::string root = dir.Path().substr(0, 3);
    ASSERT_EQ(root.substr(1), ":\\");
    const std::string name = "scenetools-root-" + NameOf(dir.Path()) + ".txt";
    const std::string atRoot = JoinPath(root, name);
    ASSERT_EQ(atRoot, root + "\\" + name);
    try {
        WriteFile(atRoot, "at the root", platform::Durability::UserFile);
    } catch (const Failure& f) {
        GTEST_SKIP() << "the drive root cannot be written here: " << f.Description();
    }
    EXPECT_EQ(ReadWholeText(atRoot), "at the root\r\n");
    Names listed = ListMatchingFiles(root, "scenetools-root-*.txt");
    EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end());
    DeleteFileA(atRoot.c_str());
}

TEST(WindowsPaths, ReplacingAnExistingFileKeepsItsNameAndAttributes) {
    RunFiles files(platform::SystemFileSystem());
    TempDir dir;
    WriteBytes(dir / "model.wrl", "original");
    {
        TextFileWriter out(files, dir / "model.wrl", platform::Durability::UserFile);
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

    WriteFile(dir / "new.txt", "fresh", platform::Durability::Replaceable);
    EXPECT_FALSE(Attributes(dir / "new.txt") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));

    // A file in other letter case is the same file, and keeps its own name.
    WriteFile(dir / "MODEL.WRL", "again", platform::Durability::UserFile);
    EXPECT_EQ(FolderEntries(dir.Path()), (Names{"model.wrl", "new.txt"}));
    EXPECT_EQ(ReadBytes(dir / "model.wrl"), "again\r\n");
    TextFileReader in(files, dir / "Model.Wrl");
    EXPECT_EQ(in.ReadTextLine(), "again");
}

TEST(WindowsPaths, AReadOnlyTargetIsTheAccessFailureAndStaysAsItWas) {
    TempDir dir;
    WriteBytes(dir / "model.wrl", "original");
    ASSERT_TRUE(SetFileAttributesA((dir / "model.wrl").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(FailureNumberOf(
                  [&] { WriteFile(dir / "model.wrl", "new", platform::Durability::UserFile); }),
              75);
    EXPECT_EQ(ReadBytes(dir / "model.wrl"), "original");
    EXPECT_TRUE(Attributes(dir / "model.wrl") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FolderEntries(dir.Path()), Names{"model.wrl"});
    SetFileAttributesA((dir / "model.wrl").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsPaths, OpeningFailuresCarryTheirNumbers) {
    RunFiles files(platform::SystemFileSystem());
    TempDir dir;
    EXPECT_EQ(FailureNumberOf([&] { TextFileReader r(files, dir / "missing.txt"); }), 53);
    EXPECT_EQ(FailureNumberOf([&] { TextFileReader r(files, dir / "nofolder/x.txt"); }), 76);
    EXPECT_EQ(FailureNumberOf([&] { TextFileReader r(files, dir.Path()); }), 75);
    EXPECT_EQ(FailureNumberOf([&] { ListMatchingFiles(dir / "nofolder", "*.wrl"); }), 76);
    EXPECT_EQ(FailureNumberOf([&] { platform::SystemFileSystem().CreateFolder(dir.Path()); }), 75);

    // A file that another program holds without sharing it.
    WriteBytes(dir / "held.wrl", "held");
    HANDLE held = CreateFileA((dir / "held.wrl").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FailureNumberOf([&] { TextFileReader r(files, dir / "held.wrl"); }), 75);
    EXPECT_EQ(FailureNumberOf(
                  [&] { WriteFile(dir / "held.wrl", "new", platform::Durability::UserFile); }),
              75);
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(dir / "held.wrl"), "held");
    EXPECT_EQ(FolderEntries(dir.Path()), Names{"held.wrl"});
}

// Names beyond the ANSI code page: UTF-8 bytes name the file Windows holds in UTF-16 (the
// compiler's L"" literals are the oracle), Windows-1252 bytes the same file, and listings give
// UTF-8 back.
TEST(WindowsPaths, NamesAreUtf8OrWindows1252AndComeBackAsUtf8) {
    TempDir dir;
    const std::string folder = dir /
                               "\xCE\xA9"
                               "dir";                          // Omega
    const std::string model = "\xE6\x97\xA5\xE6\x9C\xAC.wrl";  // two CJK characters
    platform::SystemFileSystem().CreateFolder(folder);
    WriteFile(PathIn(folder, model), "bytes", platform::Durability::UserFile);
    EXPECT_EQ(ListFolderNames(platform::SystemFileSystem(), dir.Path()), Names{"\xCE\xA9"
                                                                               "dir"});
    EXPECT_EQ(ListMatchingFiles(folder, "*.WRL"), Names{model});
    const std::wstring wide =
        std::wstring(dir.Path().begin(), dir.Path().end()) + L"\\\u03a9dir\\\u65e5\u672c.wrl";
    EXPECT_NE(::GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);

    WriteFile(dir / "caf\xE9.wrl", "latin", platform::Durability::Replaceable);  // Windows-1252
    EXPECT_EQ(ReadWholeText(dir / "caf\xC3\xA9.wrl"), "latin\r\n");
    EXPECT_EQ(ListMatchingFiles(dir.Path(), "caf*"), Names{"caf\xC3\xA9.wrl"});
}

// A TSO list saved as UTF-8 and one saved as Windows-1252 both find the models named in UTF-8.
TEST(WindowsPaths, ListsInUtf8AndInWindows1252FindTheirModels) {
    TempDir dir;
    const std::string models = dir /
                               "\xCE\xA9"
                               "dir";
    platform::SystemFileSystem().CreateFolder(models);
    const std::string model =
        CrLfLines({std::string(kConverterHeader), "      DEF VRL_m_vrl Transform {", "    point [",
                   "      1 2 3,", "    ]", "}"});
    for (const char* name : {"caf\xC3\xA9.wrl", "M\xC3\xBCll.wrl"})
        WriteBytes(PathIn(models, name), model);
    for (const char* list : {"caf\xC3\xA9,0,0,0,0,0,0\r\nM\xC3\xBCll,1,0,0,0,0,0\r\n",
                             "caf\xE9,0,0,0,0,0,0\r\nM\xFCll,1,0,0,0,0,0\r\n"}) {
        WriteBytes(PathIn(models, "list.txt"), list);
        DuplicateInputs in;
        in.WRLfolderPath = models;
        in.WRLfolderList = ListMatchingFiles(models, "*.wrl");
        in.TSOfolderPath = models;
        in.TSOfolderFileName = "list.txt";
        RecordingSink sink;
        RunDuplicate(in, sink);
        EXPECT_EQ(sink.Texts(), Names{"DONE"});
        EXPECT_EQ(FolderEntries(PathIn(models, "newwrls")),
                  (Names{"M\xC3\xBCll_1.wrl", "caf\xC3\xA9_0.wrl"}));
        EXPECT_EQ(PreviewListFile(models, "list.txt").size(), 2u);
    }
}

}  // namespace

}  // namespace scene

#endif  // _WIN32
