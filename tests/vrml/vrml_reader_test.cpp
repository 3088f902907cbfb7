// Copies read back by an independent VRML reader (Coin3D, through vrml_probe): copies of the
// examples in every mode load without an error, and hold the model's points placed by a
// rotation matrix written here, bounding box included.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <sstream>

#include "run_program.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

using Point = std::array<double, 3>;
using Box = std::array<double, 6>;  // X0 Y0 Z0 X1 Y1 Z1

// A placement as the user guide tells it: turned about the first axis (AngleX), the third axis
// (AngleZ) and the vertical axis (Orientation), then X and Y added and Z subtracted.
struct Turn {
    double X = 0, Y = 0, Z = 0, Orientation = 0, AngleZ = 0, AngleX = 0;
};

Point Placed(const Turn& t, const Point& p) {
    using Matrix = std::array<Point, 3>;
    auto times = [](const Matrix& a, const Matrix& b) {
        Matrix c{};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                for (int k = 0; k < 3; ++k) c[i][j] += a[i][k] * b[k][j];
        return c;
    };
    const double r = std::numbers::pi / 180, x = t.AngleX * r, z = t.AngleZ * r,
                 y = t.Orientation * r;
    const Matrix aboutX = {{{1, 0, 0}, {0, cos(x), -sin(x)}, {0, sin(x), cos(x)}}};
    const Matrix aboutZ = {{{cos(z), -sin(z), 0}, {sin(z), cos(z), 0}, {0, 0, 1}}};
    const Matrix aboutY = {{{cos(y), 0, sin(y)}, {0, 1, 0}, {-sin(y), 0, cos(y)}}};
    const Matrix m = times(aboutY, times(aboutZ, aboutX));
    const Point move = {t.X, t.Y, -t.Z};
    Point q;
    for (int i = 0; i < 3; ++i) q[i] = m[i][0] * p[0] + m[i][1] * p[1] + m[i][2] * p[2] + move[i];
    return q;
}

Box BoxOf(const std::vector<Point>& points) {
    Box box = {HUGE_VAL, HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const Point& p : points)
        for (int i = 0; i < 3; ++i) {
            box[i] = std::min(box[i], p[i]);
            box[i + 3] = std::max(box[i + 3], p[i]);
        }
    return box;
}

// Within 1e-6, relative beyond 1: the reader holds single-precision numbers.
template <size_t N>
void ExpectNear(const std::array<double, N>& expected, const std::array<double, N>& read) {
    for (size_t i = 0; i < N; ++i)
        EXPECT_NEAR(read[i], expected[i], 1e-6 * std::max(1.0, std::fabs(expected[i]))) << i;
}

class CopiesInAVrmlReader : public ::testing::Test {
  protected:
    TempDir dir;

    void SetUp() override {
        for (std::string folder : {"models", "lists"}) {
            MakeFolder(dir / folder);
            const std::string from = EXAMPLES_DIR "/" + folder + "/";
            for (const std::string& name : FolderEntries(from))
                WriteBytes(dir / (folder + "/" + name), ReadBytes(from + name));
        }
    }

    void Duplicate(const std::string& args) {
        ProgramResult run = RunProgram(
            VANDREL_CLI, "duplicate --models " + Arg(dir / "models") + " " + args, dir.Path());
        ASSERT_EQ(run.Status, 0) << args << "\n" << run.Out << run.Err;
    }

    // The file as the reader sees it: no error, its bounding box and points.
    std::pair<Box, std::vector<Point>> Read(const std::string& name) {
        ProgramResult run = RunProgram(VRML_PROBE, Arg(dir / ("models/" + name)), dir.Path());
        EXPECT_EQ(run.Status, 0) << name;
        EXPECT_EQ(run.Out.substr(0, 9), "errors 0\n") << name << "\n" << run.Err;
        std::istringstream words(run.Out);
        Box box{};
        std::vector<Point> points;
        for (std::string word; words >> word;) {
            if (word == "box") words >> box[0] >> box[1] >> box[2] >> box[3] >> box[4] >> box[5];
            if (word == "point") {
                Point p;
                words >> p[0] >> p[1] >> p[2];
                points.push_back(p);
            }
        }
        return {box, points};
    }

    // The copy loads and holds the points of the model (as the run left it) placed.
    Box ExpectPlaced(const std::string& copy, const std::string& model, const Turn& turn) {
        SCOPED_TRACE(copy);
        std::vector<Point> expected = Read(model).second;
        for (Point& p : expected) p = Placed(turn, p);
        const auto [box, points] = Read("newwrls/" + copy);
        EXPECT_EQ(points.size(), expected.size());
        EXPECT_FALSE(expected.empty());
        for (size_t i = 0; i < std::min(points.size(), expected.size()); ++i)
            ExpectNear(expected[i], points[i]);
        ExpectNear(BoxOf(expected), box);
        return box;
    }
};

TEST_F(CopiesInAVrmlReader, TsoListCopiesAndTheirSceneIndex) {
    Duplicate("--tso " + Arg(dir / "lists/village.txt") + " --scene village");
    // The list read here with strtod: name, X, Z, Y, orientation, angle Z, angle X.
    std::istringstream lines(ReadBytes(dir / "lists/village.txt"));
    std::vector<Point> corners;
    for (std::string line; std::getline(lines, line);) {
        if (line[0] == '/') continue;
        char* at = line.data() + line.find(',');
        double n[6];
        for (double& v : n) v = std::strtod(at + 1, &at);
        const std::string name = line.substr(0, line.find(','));
        const Box box = ExpectPlaced(name + "_" + std::to_string(corners.size() / 2) + ".wrl",
                                     name + ".wrl", {n[0], n[2], n[1], n[3], n[4], n[5]});
        corners.push_back({box[0], box[1], box[2]});
        corners.push_back({box[3], box[4], box[5]});
    }
    EXPECT_EQ(corners.size(), 6u);
    // The scene index inlines the three copies: its box is the union of theirs.
    const auto [box, points] = Read("newwrls/village.wrl");
    EXPECT_EQ(points.size(), 15u);
    ExpectNear(BoxOf(corners), box);
}

// The tower has two named nodes: the run repairs it in place before its copies.
TEST_F(CopiesInAVrmlReader, MgpCopiesWithAndWithoutTheOrientationAngle) {
    for (std::string orientation : {"", "45"}) {
        Duplicate("--use-selected tower.wrl --mgp " + Arg(dir / "lists/site.mgp") +
                  (orientation.empty() ? "" : " --orientation " + orientation));
        std::istringstream lines(ReadBytes(dir / "lists/site.mgp"));
        int index = 0;
        for (std::string line; std::getline(lines, line); ++index) {
            Turn turn;  // the header line gives an unmoved copy, the orientation angle aside
            if (std::sscanf(line.c_str(), "%*[^=]=(%lf,%lf,%lf)", &turn.X, &turn.Y, &turn.Z) == 3)
                turn.Orientation = std::atof(orientation.c_str());
            ExpectPlaced("tower_" + std::to_string(index) + ".wrl", "tower.wrl", turn);
        }
        EXPECT_EQ(index, 4);
    }
}

TEST_F(CopiesInAVrmlReader, ManualCopyAndTurnsAboutAllThreeAxes) {
    Duplicate("--manual house 3.5 1 -2 30");
    ExpectPlaced("house_0.wrl", "house.wrl", {3.5, 1, -2, 30, 0, 0});

    WriteBytes(dir / "lists/turns.txt",
               CrLfLines({"tower,1.5,-2,0.25,30,40,50", "house,-3,4,2,-60,15,-75"}));
    Duplicate("--tso " + Arg(dir / "lists/turns.txt"));
    ExpectPlaced("tower_0.wrl", "tower.wrl", {1.5, 0.25, -2, 30, 40, 50});
    ExpectPlaced("house_1.wrl", "house.wrl", {-3, 2, 4, -60, 15, -75});
}

// Characters VRML does not allow in a name: the node names are legal, and the scene index finds
// each copy by its file name.
TEST_F(CopiesInAVrmlReader, ModelNamesVrmlDisallowsStillGiveReadableCopies) {
    const std::vector<std::string> names = {"my house", "big, house", "house.v2", "o'brien"};
    std::string list;
    for (const std::string& name : names) {
        WriteBytes(dir / ("models/" + name + ".wrl"), ReadBytes(dir / "models/house.wrl"));
        list += "\"" + name + "\",1,0,0,0,0,0\r\n";
    }
    WriteBytes(dir / "lists/names.txt", list);
    Duplicate("--tso " + Arg(dir / "lists/names.txt") + " --scene names");
    for (size_t i = 0; i < names.size(); ++i)
        ExpectPlaced(names[i] + "_" + std::to_string(i) + ".wrl", names[i] + ".wrl", {1});
    EXPECT_EQ(Read("newwrls/names.wrl").second.size(), 20u);
}

TEST_F(CopiesInAVrmlReader, ModelJoinedByFixWrlsLoadsAndSoDoItsCopies) {
    // Two exporter blocks of one point list each; the converter header makes it copyable.
    std::vector<std::string> lines = {
        "#VRML V2.0 utf8",
        std::string("#VRML output generated by ") + "Tolvane's VRL-to-VRML 3D file converter.",
        "# Produced by QLib's VRML export, version 2"};
    for (std::string point : {"0 0 0,", "4 5 6,"})
        for (std::string line : std::vector<std::string>{
                 "DEF MASTER Transform {", " children [", " DEF VRL_box_vrl Transform {",
                 "  children [", "DEF MESH_box Transform {", "  children [",
                 "   Shape { geometry PointSet { coord DEF P" + point.substr(0, 1) +
                     "_COORD Coordinate {",
                 "   point [", "   " + point, "   ]", "   } } }", "   ]", "}", " ] }", " ] }"})
            lines.push_back(line);
    WriteBytes(dir / "models/box.wrl", CrLfLines(lines));

    ProgramResult fix = RunProgram(VANDREL_CLI, "fix-wrls " + Arg(dir / "models"), dir.Path());
    ASSERT_EQ(fix.Status, 0) << fix.Out;
    const std::string fixed = ReadBytes(dir / "models/box.wrl");
    EXPECT_EQ(fixed.find("DEF MASTER", fixed.find("DEF MASTER") + 1), std::string::npos);
    Duplicate("--use-selected box.wrl --manual b 1 2 3 90");
    ExpectPlaced("b_0.wrl", "box.wrl", {1, 2, 3, 90});
}

}  // namespace

}  // namespace scene
