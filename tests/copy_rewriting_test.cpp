// Checking, repairing and placing one converter-written model.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "commands.hpp"
#include "number_text.hpp"
#include "parse_number.hpp"
#include "sine_cosine.hpp"
#include "strings.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

const std::string kHeader(kConverterHeader);

class CopyRewriting : public ::testing::Test {
  protected:
    TempDir dir;
    StepFailures failures;

    // Writes the model lines, copies with the placement, returns the copy's bytes.
    std::string Copy(const std::vector<std::string>& model, const Placement& placement,
                     std::string_view tag = "box_0") {
        return CopyOf(CrLfLines(model), placement, tag);
    }
    std::string CopyOf(const std::string& model, const Placement& placement,
                       std::string_view tag = "box_0") {
        WriteBytes(dir / "box.wrl", model);
        WriteCopy(dir / "box.wrl", dir / "copy.wrl", placement, tag, failures);
        return ReadBytes(dir / "copy.wrl");
    }

    // The copy of a model whose only point line is `point`.
    std::string PlacedPointLine(const std::string& point, const Placement& placement) {
        std::string copy = Copy({"COORD Coordinate {", "point [", point, "]"}, placement);
        size_t start = copy.find("point [\r\n") + 9;
        return copy.substr(start, copy.find("\r\n", start) - start);
    }
};

TEST_F(CopyRewriting, SixLineModelWithX10) {
    Placement p;
    p.X = 10;
    std::string copy =
        Copy({kHeader, "      DEF VRL_box_vrl Transform {", "        coord DEF COORD Coordinate {",
              "          point [", "            1 2 3,", "          ]"},
             p);
    EXPECT_EQ(copy, CrLfLines({kHeader, "      DEF VRL_box_0_vrl Transform {",
                               "        coord DEF COORD Coordinate {", "          point [",
                               "  11  2  3,", "]"}));
    EXPECT_EQ(failures.Count, 0);
}

TEST_F(CopyRewriting, PointsAreTurnedAndMoved) {
    Placement move;
    move.X = 10;
    move.Y = 5;
    move.Z = 2;
    EXPECT_EQ(PlacedPointLine("1 2 3,", move), "  11  7  1,");

    Placement turn;
    turn.Orientation = 90;
    EXPECT_EQ(PlacedPointLine("1 0 0,", turn), "  1.79489673696541E-09  0 -1,");
    EXPECT_EQ(PlacedPointLine("0 0 1,", turn), "  1  0  1.79489673696541E-09,");

    Placement none;
    EXPECT_EQ(PlacedPointLine("0.25   -0.5 100,", none), "  .25 -.5  100,");
}

TEST_F(CopyRewriting, TurnOrderIsFirstAxisThenThirdThenVertical) {
    Placement p;
    p.AngleX = 30;
    p.AngleZ = 45;
    p.Orientation = 60;
    p.X = 1;
    p.Y = 2;
    p.Z = 3;
    PlacementTurn t(p);
    double a5 = 30 * kPointScale, a4 = 45 * kPointScale, a3 = 60 * kPointScale;
    const SineCosine x = SineAndCosine(a5), z = SineAndCosine(a4), v = SineAndCosine(a3);
    double p0 = 4, p1 = 5, p2 = 6;
    double r1 = x.Cosine * p1 - x.Sine * p2;
    double r2 = x.Cosine * p2 + x.Sine * p1;
    double s0 = z.Cosine * p0 - z.Sine * r1;
    double s1 = z.Cosine * r1 + z.Sine * p0;
    Point3 o = PlacePoint(t, {{p0, p1, p2}});
    EXPECT_EQ(o.V[0], (v.Cosine * s0 + v.Sine * r2) + 1);
    EXPECT_EQ(o.V[1], s1 + 2);
    EXPECT_EQ(o.V[2], (v.Cosine * r2 - v.Sine * s0) - 3);
    EXPECT_EQ(kPointScale, 0.0174532925);
}

TEST_F(CopyRewriting, PointLineQuirks) {
    Placement none;
    EXPECT_EQ(PlacedPointLine("1 2 2.5", none), "  1  2  2,");   // no comma: last char lost
    EXPECT_EQ(PlacedPointLine("1 2 3 4,", none), "  1  2  3,");  // fourth number dropped
    EXPECT_EQ(failures.Count, 0);
    EXPECT_EQ(PlacedPointLine("1 x 3,", none), "  1  0  3,");
    EXPECT_EQ(PlacedPointLine("", none), "  0  0  0,");
    EXPECT_EQ(PlacedPointLine("1 2,", none), "  1  2  0,");
    EXPECT_EQ(PlacedPointLine("1\t2\t3,", none), "  0  0  0,");  // tabs do not separate
    EXPECT_EQ(failures.Count, 4);
    ASSERT_TRUE(failures.First);
    EXPECT_EQ(failures.First->Path(), dir / "box.wrl");
    // Lone CRs: the line without its comma, then an empty line, each a point of its own.
    const std::string opener = "COORD Coordinate {\r\npoint [\r\n";
    EXPECT_EQ(CopyOf(opener + "1 2 3\r\r4 5 6,\r]", none),
              opener + "  1  2  0,\r\n  0  0  0,\r\n  4  5  6,\r\n]\r\n");
    EXPECT_EQ(failures.Count, 6);
}

TEST_F(CopyRewriting, PointsBeyondTheDoubleRangeAreCountedNotWritten) {
    Placement far;
    far.X = 1.7E308;
    EXPECT_EQ(PlacedPointLine("1.7E308 0 0,", far), "  0  0  0,");
    EXPECT_EQ(failures.Count, 1);
}

TEST_F(CopyRewriting, NodeLinesAndBlockBoundaries) {
    Placement p;
    p.X = 1;
    std::string copy =
        Copy({"    DEF VRL_four_vrl Transform {", "        DEF VRL_eight Transform {",
              "COORD Coordinate { point [ 9 9 9,", "1 1 1,", "2 2 2,", "  3 3 3 ]  ", "4 4 4,",
              "COORD Coordinate {", "["},
             p, "t_1");
    EXPECT_EQ(copy,
              CrLfLines({"    DEF VRL_four_vrl Transform {", "      DEF VRL_t_1_vrl Transform {",
                         "COORD Coordinate { point [ 9 9 9,", "1 1 1,", "  3  2  2,", "3 3 3 ]",
                         "4 4 4,", "COORD Coordinate {", "["}));
}

TEST_F(CopyRewriting, ModelCheck) {
    auto check = [&](const std::vector<std::string>& lines) {
        WriteBytes(dir / "m.wrl", CrLfLines(lines));
        return CheckModel(dir / "m.wrl");
    };
    ModelCheck c = check({"#VRML V2.0 utf8", "", "x " + kHeader + " y", "DEF VRL_a DEF VRL_b"});
    EXPECT_TRUE(c.HasHeader);
    EXPECT_EQ(c.DefCount, 1);
    c = check({"1", "2", "3", kHeader, "      DEF VRL_a", "    DEF VRL_b"});
    EXPECT_FALSE(c.HasHeader);
    EXPECT_EQ(c.DefCount, 2);
    EXPECT_THROW(CheckModel(dir / "absent.wrl"), Failure);
}

// A model asks for the repair with the header and two named nodes: these head the bodies below.
const std::string kRepairHead = CrLfLines({kHeader, "DEF VRL_a", "DEF VRL_b"});

// The body's bytes after the repair of a model made of the head and the body.
std::string RepairedBody(TempDir& dir, const std::string& body) {
    WriteBytes(dir / "m.wrl", kRepairHead + body);
    RepairTexCoordBlocks(dir / "m.wrl");
    const std::string bytes = ReadBytes(dir / "m.wrl");
    EXPECT_EQ(bytes.substr(0, kRepairHead.size()), kRepairHead);
    return bytes.substr(kRepairHead.size());
}

std::vector<std::string> Repaired(TempDir& dir, const std::vector<std::string>& lines) {
    return {RepairedBody(dir, CrLfLines(lines))};
}

TEST_F(CopyRewriting, TexCoordBlockClosedNearTheEnd) {
    EXPECT_EQ(Repaired(dir, {"a", "texCoordIndex [", "0 1 2", "]", "l1", "l2", "l3"}),
              std::vector<std::string>{CrLfLines({"a", "texCoordIndex [", "0 1 2", "]", "l1", "l2",
                                                  " ", "", "]", "}", "]", "}", "]", "}"})});
}

TEST_F(CopyRewriting, TexCoordBlockInTheMiddle) {
    std::vector<std::string> model = {"texCoordIndex [ ]", "x ]"};
    for (int i = 1; i <= 12; ++i) model.push_back("line" + std::to_string(i));
    std::vector<std::string> expected = {"texCoordIndex [ ]", "x ]", "line1", "line2"};
    for (int i = 3; i <= 10; ++i) expected.push_back(" ");
    expected.push_back("line11");
    expected.push_back("line12");
    EXPECT_EQ(Repaired(dir, model), std::vector<std::string>{CrLfLines(expected)});
}

TEST_F(CopyRewriting, TexCoordRepairEdges) {
    // Ten lines after the closer and then the end: the closing lines are added too.
    std::vector<std::string> model = {"texCoordIndex [", "]"};
    std::vector<std::string> expected = model;
    for (int i = 1; i <= 10; ++i) {
        model.push_back("x");
        expected.push_back(i <= 2 ? "x" : " ");
    }
    for (const char* l : {"", "]", "}", "]", "}", "]", "}"}) expected.push_back(l);
    EXPECT_EQ(Repaired(dir, model), std::vector<std::string>{CrLfLines(expected)});
    // A block left open at the end: nothing is added.
    EXPECT_EQ(Repaired(dir, {"texCoordIndex [", "1 2"}),
              std::vector<std::string>{CrLfLines({"texCoordIndex [", "1 2"})});
    // No block: rewritten line for line with CR LF endings; a lone LF stays inside its line.
    EXPECT_EQ(RepairedBody(dir, "a\rb\nc"), "a\r\nb\nc\r\n");
}

// Lines longer than the reader's 1 MiB buffer are read in pieces: markers split by a buffer's
// end are found, and long lines are kept or replaced whole.
TEST_F(CopyRewriting, CheckAndRepairOfLinesLongerThanTheBuffer) {
    const size_t fill = 1 << 20;
    const std::string head = kHeader + "\r\n";
    // The opener begins 5 bytes before the first buffer's end, a named node 3 before the second.
    const std::string opener = std::string(fill - head.size() - 5, 'x') + "texCoordIndex [";
    const size_t keptStart = head.size() + opener.size() + 2 + 3;  // behind the opener and "]"
    const std::string kept = std::string(2 * fill - 3 - keptStart, 'y') + "DEF VRL_";
    const std::vector<std::string> model = {
        kHeader, opener, "]", kept, "DEF VRL_", "k", std::string(2 * fill, 'z')};
    WriteBytes(dir / "m.wrl", CrLfLines(model));
    const ModelCheck check = CheckModel(dir / "m.wrl");
    EXPECT_TRUE(check.HasHeader);
    EXPECT_EQ(check.DefCount, 2);
    EXPECT_TRUE(RepairTexCoordBlocks(dir / "m.wrl"));
    EXPECT_EQ(ReadBytes(dir / "m.wrl"), CrLfLines({kHeader, opener, "]", kept, "DEF VRL_", " ", " ",
                                                   "", "]", "}", "]", "}", "]", "}"}));
}

// Point lines of many shapes behind any number of blanks, copied unmoved, against the rule
// written out plainly: the text before the first blank is a number, the blanks behind it are
// dropped, the last field loses its last character; three numbers are kept, a bad line counts
// once. A line ending in "]" ends the list. Lines end in CR LF or a lone CR.
TEST_F(CopyRewriting, PointLinesOfManyShapesAreReadByTheRule) {
    const std::vector<std::string> pieces = {"1",          "-2.5",      "+.5",
                                             "12345678",   "1234567.5", "0.0001",
                                             "7e3",        "3.",        "1E-5",
                                             "255.1555",   "x",         ".",
                                             "1.2.3",      "-",         "-363.7273",
                                             "12345678.5", "1234567.",  "0.12345678",
                                             "1e400",      "4.9e-324",  "123456789012345678901"};
    std::mt19937 random(3);
    std::vector<std::string> model = {"COORD Coordinate {", "point ["}, expected = model;
    int bad = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string line;
        for (int k = 0, n = 1 + random() % 4; k < n; ++k)
            line += std::string(k ? 1 + random() % 2 : 0, ' ') + pieces[random() % pieces.size()];
        if (random() % 16 == 0) line.clear();
        if (random() % 4) line += random() % 8 ? "," : "]";
        if (line.ends_with(']')) {  // the list's last line; another list follows
            for (const std::string& copied : {line, model[0], model[1]}) {
                model.push_back(copied);
                expected.push_back(copied);
            }
            continue;
        }
        model.push_back(std::string(random() % 20, ' ') + line);
        double v[3] = {0, 0, 0};
        bool ok = true;
        int count = 0;
        for (std::string_view rest = line;;) {
            const size_t blank = rest.find(' ');
            std::string_view field = rest.substr(0, blank);
            if (blank == std::string_view::npos) {
                if (rest.empty()) {
                    ok = false;
                    break;
                }
                field.remove_suffix(1);
            }
            std::optional<double> value = TryParseNumber(field);
            if (!value) ok = false;
            if (value && count < 3) v[count] = *value;
            ++count;
            if (blank == std::string_view::npos) break;
            rest = Trim(rest.substr(blank + 1));
        }
        bad += !ok || count < 3;
        expected.push_back(NumberText(v[0]) + " " + NumberText(v[1]) + " " + NumberText(v[2]) +
                           ",");
        expected.back().insert(0, " ");
    }
    model.push_back("]");
    expected.push_back("]");
    std::string bytes;
    for (const std::string& line : model) bytes += line + (random() % 3 ? "\r\n" : "\r");
    const std::string copy = CopyOf(bytes, Placement{});
    size_t at = 0;
    for (size_t i = 0; i < expected.size(); ++i) {  // line by line: the first difference only
        const size_t end = copy.find("\r\n", at);
        ASSERT_EQ(copy.substr(at, end - at), expected[i]) << "model line: " << model[i];
        at = end + 2;
    }
    EXPECT_EQ(at, copy.size());
    EXPECT_EQ(failures.Count, bad);
}

TEST_F(CopyRewriting, FailedCopyLeavesTheEarlierCopy) {
    WriteBytes(dir / "copy.wrl", "earlier");
    EXPECT_THROW(WriteCopy(dir / "absent.wrl", dir / "copy.wrl", {}, "t", failures), Failure);
    EXPECT_EQ(ReadBytes(dir / "copy.wrl"), "earlier");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"copy.wrl"});
}

TEST_F(CopyRewriting, ARepairedModelIsNotRewrittenAgain) {
    std::vector<std::string> model = {"texCoordIndex [", "0 1", "]", "a", "b"};
    for (int i = 0; i < 8; ++i) model.push_back(" ");
    model.push_back("tail");
    WriteBytes(dir / "m.wrl", kRepairHead + CrLfLines(model));
    SetReadOnly(dir / "m.wrl");  // a rewrite would fail: nothing is written
    EXPECT_NO_THROW(RepairTexCoordBlocks(dir / "m.wrl"));
    EXPECT_EQ(ReadBytes(dir / "m.wrl"), kRepairHead + CrLfLines(model));
    SetReadOnly(dir / "m.wrl", false);

    // Unchanged lines but a lone CR, or no line end at the end: rewritten as before.
    EXPECT_EQ(RepairedBody(dir, "x\r\ny\rz\r\nlast"), "x\r\ny\r\nz\r\nlast\r\n");

    // A block closed near the end gains its closing lines on every repair.
    RepairedBody(dir, CrLfLines({"texCoordIndex [", "]"}));
    RepairTexCoordBlocks(dir / "m.wrl");
    EXPECT_EQ(ReadBytes(dir / "m.wrl"),
              kRepairHead + CrLfLines({"texCoordIndex [", "]", "", "]", " ", " ", " ", " ", " ", "",
                                       "]", "}", "]", "}", "]", "}"}));

    // A model without the header, or with fewer than two named nodes, is not rewritten.
    for (const std::string& bytes : {CrLfLines({"DEF VRL_a", "DEF VRL_b", "texCoordIndex [", "]"}),
                                     CrLfLines({kHeader, "DEF VRL_a", "texCoordIndex [", "]"})}) {
        WriteBytes(dir / "m.wrl", bytes);
        EXPECT_FALSE(RepairTexCoordBlocks(dir / "m.wrl"));
        EXPECT_EQ(ReadBytes(dir / "m.wrl"), bytes);
    }
}

}  // namespace

}  // namespace scene
