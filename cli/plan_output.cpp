#include "plan_output.hpp"

#include <map>

#include "plan_problems.hpp"
#include "plan_svg.hpp"
#include "run_files.hpp"
#include "text_writer.hpp"

namespace scene {

void PrintPlan(CliSession& session, const Plan& plan, const std::string& svgPath) {
    std::map<ProblemKind, int> counts;
    for (const PlanProblem& problem : plan.Problems) {
        ++counts[problem.Kind];
        session.Messages.PrintLine(problem.Line > 0 ? "line " + std::to_string(problem.Line) +
                                                          ": " + problem.Text
                                                    : problem.Text);
    }
    for (const auto& [kind, count] : counts)
        session.Messages.PrintLine(std::string(ProblemKindText(kind)) + ": " +
                                   std::to_string(count));
    RunFiles files(platform::SystemFileSystem());
    TextFileWriter picture(files, svgPath, platform::Durability::Replaceable);
    picture.Write(PlanSvg(plan));
    picture.Commit();
    session.Messages.EndWith(plan.ExitStatus);
}

}  // namespace scene
