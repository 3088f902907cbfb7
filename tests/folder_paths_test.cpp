// Folder paths as the folder lists show them: absolute, plain, and their chain of parents.
#include <gtest/gtest.h>

#include "paths.hpp"
#include "platform.hpp"

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

}  // namespace
