// Reading placement lists: TSO list files, MGP point files and the manual fields.
#include "placement_sources.hpp"

#include <gtest/gtest.h>

#include "commands.hpp"
#include "failure.hpp"
#include "failure_of.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

class PlacementSources : public ::testing::Test {
  protected:
    TempDir dir;

    // Reads the placements of a source file holding these bytes.
    std::vector<Placement> FromFile(const std::string& name, const std::string& bytes,
                                    DuplicateInputs in = {}) {
        WriteBytes(dir / name, bytes);
        in.TSOfolderPath = dir.Path();
        in.TSOfolderFileName = name;
        return ReadPlacements(in);
    }
    std::vector<Placement> Tso(const std::string& bytes) { return FromFile("list.txt", bytes); }
    std::vector<Placement> Mgp(const std::string& bytes, DuplicateInputs in = {}) {
        in.Check2Value = 1;
        return FromFile("points.mgp", bytes, in);
    }
};

void ExpectPlacement(const Placement& p, const std::string& name, std::array<double, 8> numbers) {
    EXPECT_EQ(p.Name, name);
    EXPECT_EQ(
        (std::array<double, 8>{p.X, p.Y, p.Z, p.Orientation, p.AngleZ, p.AngleX, p.Index, p.Extra}),
        numbers)
        << "placement " << name << " (X Y Z Orientation AngleZ AngleX Index Extra)";
}

TEST_F(PlacementSources, TsoSecondNumberIsZAndThirdIsY) {
    auto list = Tso(CrLfLines({"house1, 120.5, 40, 2.5, 90, 15, 30"}));
    ASSERT_EQ(list.size(), 1u);
    ExpectPlacement(list[0], "house1", {120.5, 2.5, 40, 90, 15, 30, 0, 0});
}

TEST_F(PlacementSources, TsoCommentsTakeNoIndex) {
    auto list = Tso(CrLfLines({"/old,1,2,3,4,5,6", "a,1,0,0,0,0,0", "  / spaced,9,9,9,9,9,9",
                               ",9,9,9,9,9,9", "b,2,0,0,0,0,0"}));
    ASSERT_EQ(list.size(), 2u);
    ExpectPlacement(list[0], "a", {1, 0, 0, 0, 0, 0, 0, 0});
    ExpectPlacement(list[1], "b", {2, 0, 0, 0, 0, 0, 1, 0});
}

TEST_F(PlacementSources, TsoItemsAcrossLinesQuotedAndNotNumbers) {
    auto list = Tso(CrLfLines({"\"big, old\",1,2", "3,4,5,6", "plain ,x,7,,8,9,1e1"}));
    ASSERT_EQ(list.size(), 2u);
    ExpectPlacement(list[0], "big, old", {1, 3, 2, 4, 5, 6, 0, 0});
    // The name is kept as read, blanks before the comma included; "x" and "" give 0.
    ExpectPlacement(list[1], "plain ", {0, 0, 7, 8, 9, 10, 1, 0});
}

TEST_F(PlacementSources, TsoEmptyFileAndLastLineWithoutLineEnd) {
    EXPECT_TRUE(Tso("").empty());
    EXPECT_EQ(Tso("a,0,0,0,0,0,0\r\nb,0,0,0,0,0,0").size(), 2u);
}

TEST_F(PlacementSources, TsoEndingInsideARecordIsReadingPastTheEnd) {
    for (const std::string& bytes :
         {CrLfLines({"a,1,2,3,4,5,6", "b,1,2"}), CrLfLines({"a,1,2,3,4,5,6", "/c,1,2,3,4,5,6"}),
          CrLfLines({"a,1,2,3,4,5,6", ""})}) {
        Failure f = FailureOf([&] { Tso(bytes); });
        EXPECT_EQ(f.Kind(), FailureKind::ReadPastEnd) << bytes;
        EXPECT_EQ(f.Path(), dir / "list.txt");
    }
}

TEST_F(PlacementSources, TsoNumberBeyondTheDoubleRangeIsOverflow) {
    EXPECT_EQ(FailureOf([&] { Tso("a,1e999,0,0,0,0,0"); }).Kind(), FailureKind::Overflow);
}

TEST_F(PlacementSources, TsoOfMoreThan32766PlacementsOverflows) {
    std::string records;
    for (int i = 0; i < 32766; ++i) records += "a,0,0,0,0,0,0\r\n";
    EXPECT_EQ(Tso(records).size(), 32766u);
    Failure f = FailureOf([&] { Tso(records + "a,0,0,0,0,0,0\r\n"); });
    EXPECT_EQ(f.Kind(), FailureKind::Overflow);
}

TEST_F(PlacementSources, MgpHeaderGivesAnEmptyPlacementAtPosition0) {
    auto list =
        Mgp(CrLfLines({"number_points=2", "PointPos=(10.5,0,-20)", "  Tree=( 1 , 2 , 3 )"}));
    ASSERT_EQ(list.size(), 3u);
    ExpectPlacement(list[0], "", {0, 0, 0, 0, 0, 0, 0, 0});
    ExpectPlacement(list[1], "PointPos", {10.5, 0, -20, 0, 0, 0, 1, 0});
    ExpectPlacement(list[2], "Tree", {1, 2, 3, 0, 0, 0, 2, 0});
}

TEST_F(PlacementSources, MgpLineShapes) {
    auto list = Mgp(CrLfLines({"PointPos=(1,2,3", "", "P=(1,2,3,4,5,6,99,8)", "noComma"}));
    ASSERT_EQ(list.size(), 4u);
    // Without ")" the 3 after the last comma is not used.
    ExpectPlacement(list[0], "PointPos", {1, 2, 0, 0, 0, 0, 0, 0});
    ExpectPlacement(list[1], "", {0, 0, 0, 0, 0, 0, 1, 0});
    // The line's seventh value is replaced by the line's position.
    ExpectPlacement(list[2], "P", {1, 2, 3, 4, 5, 6, 2, 8});
    ExpectPlacement(list[3], "", {0, 0, 0, 0, 0, 0, 3, 0});
}

// Saved behind a byte-order mark, in UTF-8 or UTF-16, a list gives the plain list's placements.
TEST_F(PlacementSources, MarkedListsGiveThePlainListsPlacements) {
    for (Mark mark : {Mark::Utf8, Mark::Utf16Le}) {
        auto tso = Tso(Marked(CrLfLines({"h\xC3\xA9,1,2,3,4,5,6"}), mark));
        auto mgp = Mgp(Marked(CrLfLines({"number_points=1", "P\xC3\xA9=(1,2,3)"}), mark));
        ASSERT_EQ(tso.size(), 1u);
        ASSERT_EQ(mgp.size(), 2u);
        ExpectPlacement(tso[0], "h\xC3\xA9", {1, 3, 2, 4, 5, 6, 0, 0});
        ExpectPlacement(mgp[1], "P\xC3\xA9", {1, 2, 3, 0, 0, 0, 1, 0});
    }
}

TEST_F(PlacementSources, MgpOrientationOverride) {
    DuplicateInputs in;
    in.Check3Value = 1;
    in.Text1 = "45";
    auto list = Mgp(CrLfLines({"number_points=2", "P=(1,2,3,90)", ""}), in);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].Orientation, 0);  // the header line stays an empty placement
    EXPECT_EQ(list[1].Orientation, 45);
    EXPECT_EQ(list[2].Orientation, 45);

    in.Text1 = "4 5";
    EXPECT_EQ(FailureOf([&] { Mgp(CrLfLines({"P=(1,2,3)"}), in); }).Kind(),
              FailureKind::TypeMismatch);
}

TEST_F(PlacementSources, MgpFailures) {
    Failure nine = FailureOf([&] { Mgp(CrLfLines({"P=(1,2,3,4,5,6,7,8,9)"})); });
    EXPECT_EQ(nine.Kind(), FailureKind::OutOfRange);
    EXPECT_EQ(nine.Path(), dir / "points.mgp");

    Failure notNumber = FailureOf([&] { Mgp(CrLfLines({"P=(1,x,3)"})); });
    EXPECT_EQ(notNumber.Kind(), FailureKind::TypeMismatch);
    EXPECT_EQ(notNumber.Path(), dir / "points.mgp");

    std::string lines;
    for (int i = 0; i < 32767; ++i) lines += "\r\n";
    EXPECT_EQ(Mgp(lines).size(), 32767u);
    EXPECT_EQ(FailureOf([&] { Mgp(lines + "\r\n"); }).Kind(), FailureKind::Overflow);
}

TEST_F(PlacementSources, SourceMissingOrNotSelected) {
    DuplicateInputs in;
    in.TSOfolderPath = dir.Path();
    in.TSOfolderFileName = "absent.txt";
    Failure missing = FailureOf([&] { ReadPlacements(in); });
    EXPECT_EQ(missing.Kind(), FailureKind::FileNotFound);
    EXPECT_EQ(missing.Path(), dir / "absent.txt");

    in.TSOfolderFileName = "";  // the path names the folder
    in.Check2Value = 1;
    EXPECT_EQ(FailureOf([&] { ReadPlacements(in); }).Kind(), FailureKind::AccessFailure);
}

TEST_F(PlacementSources, ManualFields) {
    DuplicateInputs in;
    in.Check4Value = 1;
    in.Check2Value = 0;
    in.Text2 = " house ";
    in.Text3 = "1.5";
    in.Text4 = " -2 ";
    in.Text5 = "1e3";
    in.Text6 = ".5";
    auto list = ReadPlacements(in);
    ASSERT_EQ(list.size(), 1u);
    ExpectPlacement(list[0], " house ", {1.5, -2, 1000, 0.5, 0, 0, 0, 0});

    in.Text5 = "";
    EXPECT_EQ(FailureOf([&] { ReadPlacements(in); }).Kind(), FailureKind::TypeMismatch);
}

}  // namespace

}  // namespace scene
