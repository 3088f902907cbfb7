// Paths: folders as the folder lists show them (absolute, plain, their chain of parents), name
// order, letter case, and listing a folder.
#include "paths.hpp"

#include <gtest/gtest.h>

#include "commands.hpp"
#include "failure_of.hpp"
#include "file_system.hpp"
#include "run_files.hpp"
#include "strings.hpp"
#include "system.hpp"
#include "test_files.hpp"
#include "text_writer.hpp"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace scene {

namespace {

using Chain = std::vector<std::string>;

#ifdef _WIN32
TEST(FolderPaths, DriveRootsAndBackslashes) {
    EXPECT_EQ(NormalFolder("c:\\a\\.\\b\\..\\c\\"), "c:\\a\\c");
    EXPECT_EQ(NormalFolder("c:/a//b"), "c:\\a\\b");
    EXPECT_EQ(NormalFolder("d:\\"), "d:\\");
    EXPECT_EQ(NormalFolder("d:\\.."), "d:\\");
    EXPECT_EQ(FolderChain("c:\\a\\b"), (Chain{"c:\\", "c:\\a", "c:\\a\\b"}));
    EXPECT_EQ(FolderChain("c:\\"), Chain{"c:\\"});
    EXPECT_EQ(SubfolderPath("c:\\", "x"), "c:\\x");
    EXPECT_EQ(SubfolderPath("c:\\a", "x"), "c:\\a\\x");
}
#else
TEST(FolderPaths, RootDotsAndDoubledSeparators) {
    EXPECT_EQ(NormalFolder("/a/./b/../c/"), "/a/c");
    EXPECT_EQ(NormalFolder("//a///b"), "/a/b");
    EXPECT_EQ(NormalFolder("/"), "/");
    EXPECT_EQ(NormalFolder("/.."), "/");
    EXPECT_EQ(FolderChain("/a/b"), (Chain{"/", "/a", "/a/b"}));
    EXPECT_EQ(FolderChain("/"), Chain{"/"});
    EXPECT_EQ(SubfolderPath("/", "x"), "/x");
    EXPECT_EQ(SubfolderPath("/a", "x"), "/a/x");
}
#endif

TEST(FolderPaths, RelativeFoldersStartAtTheCurrentFolder) {
    const std::string current = NormalFolder(platform::CurrentFolder());
    EXPECT_EQ(NormalFolder("."), current);
    EXPECT_EQ(NormalFolder("sub"), SubfolderPath(current, "sub"));
    EXPECT_EQ(FolderChain(current).back(), current);
}

// Lists sort by name ignoring letter case; the oracle compares upper-cased copies.
TEST(FolderPaths, NameOrderIsTheUpperCasedOrderThenTheBytes) {
    const std::vector<std::string> names = {"",  "a", "A",    "ab",    "aB", "B",
                                            "_", "[", "\xe9", "a\xe9", "Z1", "z"};
    for (const std::string& a : names)
        for (const std::string& b : names) {
            const std::string upperA = UpperCase(a), upperB = UpperCase(b);
            EXPECT_EQ(LessIgnoringCase(a, b), upperA != upperB ? upperA < upperB : a < b)
                << a << " / " << b;
        }
}

#ifndef _WIN32
// A run lists a folder once; its answers stay those of a listing made at the time, also for
// the files the run makes. Links to files and to nothing, folders, and several case variants.
TEST(FolderPaths, RunFoldersResolveLetterCaseAsAFreshListingWould) {
    TempDir dir;
    for (const char* name : {"house.wrl", "Tree.wrl", "TREE.wrl", "box.wrl", "GONE.wrl"})
        WriteBytes(dir / name, "");
    MakeFolder(dir / "BOX.WRL");
    MakeFolder(dir / "Sub.wrl");
    ASSERT_EQ(::symlink("nowhere", (dir / "gone.wrl").c_str()), 0);  // GONE.wrl is taken
    ASSERT_EQ(::symlink("house.wrl", (dir / "Link.wrl").c_str()), 0);
    const Chain names = {"house.wrl", "HOUSE.WRL", "tree.wrl", "Tree.wrl", "box.wrl",  "Box.wrl",
                         "BOX.WRL",   "sub.wrl",   "gone.wrl", "Gone.wrl", "link.wrl", "new.wrl",
                         "NEW.WRL",   "",          ".",        ".."};
    auto resolveAll = [&](RunFiles& files) {
        Chain paths;
        for (const std::string& name : names) paths.push_back(files.ResolveCase(dir / name));
        return paths;
    };
    auto fresh = [&] {
        RunFiles files(platform::SystemFileSystem());
        return resolveAll(files);
    };
    const Chain before = fresh();
    Chain during, afterMaking;
    {
        RunFiles run(platform::SystemFileSystem());
        during = resolveAll(run);
        TextFileWriter made(run, dir / "New.wrl", platform::Durability::Replaceable);
        made.Commit();
        afterMaking = resolveAll(run);
    }
    EXPECT_EQ(during, before);
    EXPECT_EQ(afterMaking, fresh());
    EXPECT_EQ(afterMaking[11], dir / "New.wrl");
    EXPECT_EQ(before[1], dir / "house.wrl");
    EXPECT_EQ(before[8], dir / "GONE.wrl");
}
#endif

TEST(FolderListing, AMissingFolderIsPathNotFound) {
    TempDir dir;
    const Failure failure = FailureOf([&] { ListMatchingFiles(dir / "absent", "*.wrl"); });
    EXPECT_EQ(failure.Number(), 76);
    EXPECT_EQ(failure.Path(), dir / "absent");
}

}  // namespace

}  // namespace scene
