// The plan's SVG picture: a document an XML parser accepts, whose placements hold every corner
// of the plan as the same doubles, whatever the names and numbers.
#include "plan_svg.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "run_program.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

PlannedPlacement At(int index, std::vector<PlanPoint> corners, std::string name = "house") {
    PlannedPlacement placement;
    placement.Index = index;
    placement.Line = index + 2;
    placement.Name = std::move(name);
    placement.Model = index % 3 - 1;
    placement.Top = std::move(corners);
    return placement;
}

// The numbers of the element with id="placement-I": its points, or a point's centre.
std::vector<double> NumbersOf(const std::string& svg, int index) {
    const size_t at = svg.find("id=\"placement-" + std::to_string(index) + "\"");
    if (at == std::string::npos) return {};
    const size_t start = svg.rfind('<', at);
    const std::string element = svg.substr(start, svg.find('>', at) - start);
    std::vector<double> numbers;
    for (const std::string name : {" points=\"", " cx=\"", " cy=\""}) {
        const size_t from = element.find(name);
        if (from == std::string::npos) continue;
        const char* text = element.c_str() + from + name.size();
        for (char* end; *text != '"'; text = *end == '"' ? end : end + 1)
            numbers.push_back(std::strtod(text, &end));
    }
    return numbers;
}

class PlanSvgFile : public ::testing::Test {
  protected:
    TempDir dir;

    // The document, after xmllint has read it without complaint; `xpath` gives a string of it.
    std::string Checked(const Plan& plan, const std::string& xpath = "") {
        const std::string svg = PlanSvg(plan);
        EXPECT_EQ(svg.find("nan"), std::string::npos);
        EXPECT_EQ(svg.find("inf"), std::string::npos);
#ifndef _WIN32
        WriteBytes(dir / "plan.svg", svg);
        const std::string query = xpath.empty() ? "--noout" : "--xpath " + Arg(xpath);
        const ProgramResult lint =
            RunProgram("xmllint", query + " " + Arg(dir / "plan.svg"), dir.Path());
        EXPECT_EQ(lint.Status, 0) << lint.Err;
        xpathResult = lint.Out;
#endif
        return svg;
    }
    std::string xpathResult;
};

TEST_F(PlanSvgFile, EveryCornerReadsBackAsTheSameDouble) {
    const double max = std::numeric_limits<double>::max();
    const double tiny = std::numeric_limits<double>::denorm_min();
    Plan plan;
    plan.Models = {{"house.wrl", 2}, {"a&b.wrl", 1}};
    plan.Placements = {At(0, {{0.1, -0.0}, {1.0 / 3, 2e-7}, {-123456.789e10, tiny}}),
                       At(1, {{max, -max}, {1e300, 5e-324}}),
                       At(2, {{std::nextafter(1.0, 2.0), -7}}),
                       At(3, {{-1e-300, 1e300}, {2, 3}, {4, 5}, {6, 7}, {8, 9}})};
    plan.Placements.push_back(At(4, {}));
    plan.Placements.back().Action = PlannedAction::NotWritten;
    plan.Problems = {{ProblemKind::FarFromRest, 3, 1, "far from the rest"},
                     {ProblemKind::RunEnds, 0, -1, "x"}};
    const std::string svg = Checked(plan);
    for (const PlannedPlacement& placement : plan.Placements) {
        std::vector<double> expected;
        for (const PlanPoint& corner : placement.Top)
            expected.insert(expected.end(), corner.begin(), corner.end());
        const std::vector<double> read = NumbersOf(svg, placement.Index);
        if (expected.empty()) {
            EXPECT_EQ(read.size(), 2u) << "a point at its origin";
            continue;
        }
        ASSERT_EQ(read.size(), expected.size()) << placement.Index;
        EXPECT_EQ(std::memcmp(read.data(), expected.data(), read.size() * sizeof(double)), 0)
            << placement.Index;
    }
    EXPECT_NE(svg.find("id=\"placement-4\" class=\"not-written\""), std::string::npos);
}

// Thousands of placements are written in pieces on every core, each whole and in list order.
TEST(PlanSvg, ThousandsOfPlacementsStayInListOrder) {
    Plan plan;
    for (int i = 0; i < 9000; ++i) plan.Placements.push_back(At(i, {{1.0 * i, 2}, {3, 4}}));
    const std::string svg = PlanSvg(plan);
    size_t at = 0;
    for (int i = 0; i < 9000; ++i) {
        at = svg.find("<polyline points=\"" + std::to_string(i) + ",2 3,4\" id=\"placement-" +
                          std::to_string(i) + "\"",
                      at);
        ASSERT_NE(at, std::string::npos) << i;
    }
}

TEST_F(PlanSvgFile, PlansWithoutExtentAreDocumentsToo) {
    Checked(Plan{});
    Plan single;
    single.Placements = {At(0, {{5, 5}})};
    Checked(single);
    Plan samePoint;
    for (int i = 0; i < 50; ++i) samePoint.Placements.push_back(At(i, {{1e300, -1e300}}));
    Checked(samePoint);
    Plan stacked = samePoint;
    for (PlannedPlacement& placement : stacked.Placements) placement.Top.clear();
    Checked(stacked);
}

TEST_F(PlanSvgFile, NamesAndPathsReadBackAsTheyAre) {
    Plan plan;
    plan.Source = "/lists/<site> & \"west\".txt";
    plan.Models = {{"/m/a&b\x01.wrl", 1}};
    plan.Placements = {At(0, {{0, 0}, {1, 0}, {1, 1}}, "a&b <c> \"d\"")};
    plan.Placements.push_back(At(1, {{2, 2}}, "caf\xE9"));  // Windows-1252
    Checked(plan, "string(//*[@id='placement-0']/*[local-name()='title'])");
#ifndef _WIN32
    EXPECT_NE(xpathResult.find("line 2: a&b <c> \"d\""), std::string::npos) << xpathResult;
    Checked(plan, "string(/*/*[local-name()='title'])");
    EXPECT_NE(xpathResult.find(plan.Source), std::string::npos) << xpathResult;
    Checked(plan, "string(//*[@id='placement-1']/*[local-name()='title'])");
    EXPECT_NE(xpathResult.find("caf\xC3\xA9"), std::string::npos) << xpathResult;
#endif
}

}  // namespace

}  // namespace scene
