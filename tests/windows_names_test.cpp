// Names that a Windows file system can hold as plain file names, checked on every system.
#include "windows_names.hpp"

#include <gtest/gtest.h>

namespace scene {

namespace {

TEST(WindowsNames, RefusedNamesAndTheirNearestGoodNeighbours) {
    for (const char* name :
         {"",     "a:b",     "x?",       "<",    "a>",          "\"q\"",  "a/b",
          "a\\b", "|",       "*",        "end.", "end ",        "CON",    "prn",
          "Aux",  "nul.txt", "com1.wrl", "LPT9", "lpt1.tar.gz", "nul .x", "COM\xC2\xB9"})
        EXPECT_NE(WindowsNameProblem(name), "") << name;
    for (char c = 1; c < 32; ++c) EXPECT_NE(WindowsNameProblem(std::string("a") + c), "");
    for (const char* name : {"village", ".hidden", "a.b", "con1", "COM0", "LPT10", "nul_", "x.con",
                             "console", " lead", "h\xC3\xA9", "a..b"})
        EXPECT_EQ(WindowsNameProblem(name), "") << name;
}

}  // namespace

}  // namespace scene
