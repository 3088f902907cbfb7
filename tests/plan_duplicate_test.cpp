// The plan of a Duplicate run against the run itself: the same ending, message and written
// set, outlines whose corners are points the copies hold, and the problems a list shows.
#include "plan_duplicate.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "commands.hpp"
#include "number_text.hpp"
#include "test_files.hpp"

namespace scene {

namespace {

using Lines = std::vector<std::string>;
const std::string kHeader(kConverterHeader);

// What a real run did: the copies it wrote, and its messages.
struct RealRun : RecordingSink, RunRecord {
    Lines Written;
    void Placed(const PlacementOutcome& outcome) override {
        if (outcome.Outcome == PlacementOutcome::Result::Written)
            Written.push_back(outcome.CopyPath);
    }
};

// Whether a point line of the copy holds these first and third coordinates, as it writes them.
bool HoldsPoint(const std::string& copy, const PlanPoint& corner) {
    const std::string line = NumberText(corner[0]) + " ";
    const std::string bytes = ReadBytes(copy);
    for (size_t at = 0; (at = bytes.find("\r\n " + line, at)) != std::string::npos; ++at) {
        // " x y z,": the second number's own sign position, then a blank before the third.
        const size_t third = bytes.find(' ', at + 3 + line.size() + 1) + 1;
        if (bytes.compare(third, NumberText(corner[1]).size() + 1, NumberText(corner[1]) + ",") ==
            0)
            return true;
    }
    return false;
}

class PlanOfDuplicate : public ::testing::Test {
  protected:
    TempDir dir;
    DuplicateInputs in;
    void SetUp() override {
        MakeFolder(dir / "models");
        in.WRLfolderPath = dir / "models";
        in.TSOfolderPath = dir.Path();
        in.TSOfolderFileName = "list.txt";
    }
    void Model(const std::string& name, const Lines& lines) {
        WriteBytes(dir / ("models/" + name), CrLfLines(lines));
    }
    Plan PlanOf(const Lines& records) {
        WriteBytes(dir / "list.txt", CrLfLines(records));
        in.WRLfolderList = ListMatchingFiles(dir / "models", "*.wrl");
        return PlanDuplicate(in);
    }
};

// Random lists over models that are fine, missing, invalid or repaired first: the plan ends
// where the run ends with the run's message, and writes what the run writes.
TEST_F(PlanOfDuplicate, AgreesWithTheRunOnRandomScenarios) {
    const Lines one = {kHeader,
                       "      DEF VRL_a_vrl Transform {",
                       "COORD Coordinate {",
                       "point [",
                       "1 2 3,",
                       "-4.5 0.25 7,",
                       "0 -1 1e3,",
                       "]"};
    Lines two = one;
    two.insert(two.begin() + 2, "      DEF VRL_b_vrl Group {");
    for (const char* line : {"texCoordIndex [", "0 1", "]", "x"}) two.push_back(line);
    const Lines names = {"one", "two", "bad", "missing"};
    std::mt19937 random(11);
    for (int scenario = 0; scenario < 12; ++scenario) {
        std::filesystem::remove_all(dir / "models");
        MakeFolder(dir / "models");
        Model("one.wrl", one);
        Model("two.wrl", two);
        Model("bad.wrl", {"no header"});
        Lines records;
        for (int i = 0; i < 30; ++i)
            records.push_back(names[random() % (i < 25 ? 2 : 4)] + "," +
                              std::to_string(random() % 500) + ",3,0," +
                              std::to_string(random() % 360) + ",5,10");
        const Plan plan = PlanOf(records);
        RealRun run;
        RunContext context(platform::SystemFileSystem(), run, {}, ProgressDisplay::None(), run);
        RunDuplicate(context, in);
        Lines planned;
        std::string ended;
        for (const PlannedPlacement& p : plan.Placements) {
            if (p.Action == PlannedAction::Write || p.Action == PlannedAction::RepairFirst)
                planned.push_back(dir / ("models/newwrls/" + p.CopyName));
            if (p.Action == PlannedAction::End) ended = p.Message;
        }
        EXPECT_EQ(planned, run.Written) << scenario;
        const bool endedWithMessage = run.Messages.size() > 1;
        EXPECT_EQ(ended,
                  endedWithMessage ? WithDetail(run.Messages[0].Text, run.Messages[0].Detail) : "");
        EXPECT_EQ(plan.ExitStatus, endedWithMessage ? 1 : 0);
        // Every corner of every outline is a point its copy holds, to the copy's digits.
        for (const PlannedPlacement& p : plan.Placements)
            for (const PlanPoint& corner : p.Top)
                EXPECT_TRUE(HoldsPoint(dir / ("models/newwrls/" + p.CopyName), corner))
                    << p.CopyName << " " << corner[0] << " " << corner[1];
    }
}

// 200 placements in a 500-unit square, one 40 km off, a doubled line and a missing model at
// line 120: the plan ends there as the run would, and what follows is not written.
TEST_F(PlanOfDuplicate, FarDoubledAndEndingLinesAreFlagged) {
    Model("house.wrl", {kHeader, "      DEF VRL_h_vrl Transform {", "COORD Coordinate {", "point [",
                        "0 0 0,", "1 0 1,", "]"});
    std::mt19937 random(5);
    Lines records;
    for (int i = 0; i < 200; ++i)
        records.push_back("house," + std::to_string(random() % 500) + "," +
                          std::to_string(random() % 500) + ",0,0,0,0");
    records[9] = "house,-40000,250,0,0,0,0";
    records[30] = records[20];
    records[119] = "gone,1,1,0,0,0,0";
    const Plan plan = PlanOf(records);
    std::multiset<std::pair<ProblemKind, int>> problems;
    for (const PlanProblem& problem : plan.Problems) problems.insert({problem.Kind, problem.Line});
    EXPECT_EQ(problems.count({ProblemKind::FarFromRest, 10}), 1u);
    EXPECT_EQ(problems.count({ProblemKind::Doubled, 31}), 1u);
    EXPECT_EQ(problems.count({ProblemKind::RunEnds, 120}), 1u);
    EXPECT_EQ(plan.Placements[119].Message,
              "WRL does not exist (" + (dir / "models/gone.wrl") + ")");
    for (size_t i = 120; i < plan.Placements.size(); ++i)
        EXPECT_EQ(plan.Placements[i].Action, PlannedAction::NotWritten);
    EXPECT_FALSE(FileExists(dir / "models/newwrls"));  // the plan writes nothing
}

}  // namespace

}  // namespace scene
