// The problems a plan's placements show by themselves, on scenes with a known answer.
#include "plan_problems.hpp"

#include <gtest/gtest.h>

#include <random>

namespace scene {

namespace {

// `count` placements spread evenly over a box of the given sides, on lines 1 to count.
Plan UniformScene(std::mt19937_64& random, int count, double width, double height) {
    std::uniform_real_distribution<double> across(0, width), up(0, height);
    Plan plan;
    for (int line = 1; line <= count; ++line) {
        PlannedPlacement& p = plan.Placements.emplace_back();
        p.Line = line;
        p.Model = line % 3;
        p.X = across(random);
        p.Y = up(random);
        p.Z = across(random);
    }
    return plan;
}

TEST(PlanProblems, FarAndDoubledPlacementsAreFoundAmongWrittenOnes) {
    std::mt19937_64 random(3);
    Plan plan = UniformScene(random, 200, 500, 0);              // flat ground...
    for (int i = 0; i < 5; ++i) plan.Placements[40 + i].Y = 3;  // ...with a hill
    plan.Placements.push_back(plan.Placements[16]);             // doubled, line 201
    plan.Placements.push_back(plan.Placements[20]);  // line 202: not written, far, doubled
    plan.Placements.back().X = -40000;
    plan.Placements.back().Action = PlannedAction::NotWritten;
    plan.Placements.push_back(plan.Placements[30]);  // far on line 203
    plan.Placements.back().X = -40000;
    for (int i = 200; i < 203; ++i) plan.Placements[static_cast<size_t>(i)].Line = i + 1;
    plan.Problems.push_back({ProblemKind::Repaired, 201, 200, "repaired"});

    AddPlacementProblems(plan);
    ASSERT_EQ(plan.Problems.size(), 3u);
    EXPECT_EQ(plan.Problems[0].Text, "repaired");
    EXPECT_EQ(plan.Problems[1].Text, "doubled: same model and numbers as line 17");
    EXPECT_EQ(plan.Problems[1].Placement, 200);
    EXPECT_EQ(plan.Problems[2].Line, 203);
    const std::string& far = plan.Problems[2].Text;  // ratio and median as the scene has them
    EXPECT_TRUE(far.starts_with("far from the rest: X -40000 is ")) << far;
    EXPECT_NE(far.find(" times the median distance from the median X 2"), std::string::npos);
}

TEST(PlanProblems, UniformScenesOfAnySizeHaveNone) {
    std::mt19937_64 random(5);
    for (int count : {1, 3, 10, 25, 30, 500, 20'000})
        for (double width : {1e-3, 1.0, 500.0, 1e7})
            for (double height : {0.0, width / 100, width}) {
                Plan plan = UniformScene(random, count, width, height);
                AddPlacementProblems(plan);
                EXPECT_TRUE(plan.Problems.empty()) << count << " in " << width << " by " << height;
            }
}

}  // namespace

}  // namespace scene
