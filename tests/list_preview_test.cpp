// The list file preview: the first item of every record of seven, as List1 shows it.
#include "list_preview.hpp"

#include <gtest/gtest.h>

#include "commands.hpp"
#include "failure_of.hpp"
#include "paths.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

using Names = std::vector<std::string>;

class ListPreview : public ::testing::Test {
  protected:
    TempDir dir;

    Names Preview(const std::string& bytes) {
        WriteBytes(dir / "list.txt", bytes);
        return PreviewListFile(dir.Path(), "list.txt");
    }
};

TEST_F(ListPreview, CommentsShownAndBlankFirstItemsSkipped) {
    EXPECT_EQ(Preview(CrLfLines({"house1, 120.5, 40, 2.5, 90, 0, 0", "/old,1,2,3,4,5,6",
                                 " ,1,2,3,4,5,6", "\"  \",1,2,3,4,5,6", "tree,1,2,3,4,5,6"})),
              (Names{"house1", "/old", "tree"}));
}

TEST_F(ListPreview, UnquotedNumbersShowInPlainForm) {
    EXPECT_EQ(Preview(CrLfLines({"007,1,2,3,4,5,6", ".5,1,2,3,4,5,6", "-0.25,1,2,3,4,5,6",
                                 "\"007\",1,2,3,4,5,6", "\" a, b \",1,2,3,4,5,6"})),
              (Names{"7", "0.5", "-0.25", "007", " a, b "}));
}

TEST_F(ListPreview, RecordsRunAcrossLines) {
    // A short last record still shows its first item.
    EXPECT_EQ(Preview(CrLfLines({"a,1,2,3,4,5,6", "b,1,2"})), (Names{"a", "b"}));
    EXPECT_EQ(Preview("a,1,2,3,4,5,6\nb,1,2,3,4,5,6"), (Names{"a", "b"}));

    std::vector<std::string> lines;
    for (int i = 1; i <= 20; ++i) lines.push_back("line" + std::to_string(i));
    EXPECT_EQ(Preview(CrLfLines(lines)), (Names{"line1", "line8", "line15"}));
}

TEST_F(ListPreview, MarkedListShowsThePlainListsNames) {
    const std::string plain = CrLfLines({"h\xC3\xA9,1,2,3,4,5,6", "007,1,2,3,4,5,6"});
    const Names names = Preview(plain);
    for (Mark mark : {Mark::Utf8, Mark::Utf16Le}) EXPECT_EQ(Preview(Marked(plain, mark)), names);
}

TEST_F(ListPreview, EmptyAndMissingFiles) {
    EXPECT_TRUE(Preview("").empty());
    const Failure failure = FailureOf([&] { PreviewListFile(dir.Path(), "gone.txt"); });
    EXPECT_EQ(failure.Number(), 53);
    EXPECT_EQ(failure.Path(), JoinPath(dir.Path(), "gone.txt"));
}

TEST_F(ListPreview, SelectionRule) {
    WriteBytes(dir / "list.txt", CrLfLines({"a,1,2,3,4,5,6"}));
    RecordingSink sink;
    RunFiles files(platform::SystemFileSystem());
    EXPECT_EQ(PreviewForSelection(true, files, dir.Path(), "list.txt", sink), std::nullopt);
    EXPECT_EQ(PreviewForSelection(false, files, dir.Path(), "list.txt", sink), Names{"a"});
    EXPECT_TRUE(sink.Failures.empty());

    // A file that cannot be opened: reported, and List1 is left empty.
    EXPECT_EQ(PreviewForSelection(false, files, dir.Path(), "gone.txt", sink), Names{});
    ASSERT_EQ(sink.Failures.size(), 1u);
    EXPECT_EQ(sink.Failures[0].Number(), 53);
    EXPECT_EQ(PreviewForSelection(true, files, dir.Path(), "gone.txt", sink), std::nullopt);
    EXPECT_EQ(sink.Failures.size(), 1u);
}

}  // namespace

}  // namespace scene
