// PROVISIONAL: replaced by the engine's plan
#include "plan_duplicate.hpp"

#include <map>
#include <set>
#include <tuple>

#include "duplicate.hpp"
#include "paths.hpp"
#include "placement_sources.hpp"

namespace scene {

namespace {

// A square of side 10 around the point, counter-clockwise.
std::vector<PlanPoint> Square(double a, double b) {
    return {{a - 5, b - 5}, {a + 5, b - 5}, {a + 5, b + 5}, {a - 5, b + 5}};
}

PlannedPlacement Planned(const DuplicateInputs& inputs, const Placement& p) {
    PlannedPlacement planned;
    planned.Index = static_cast<int>(p.Index);
    planned.Line = IsManualMode(inputs) ? 0 : planned.Index + 1;
    planned.Name = p.Name;
    planned.X = p.X;
    planned.Y = p.Y;
    planned.Z = p.Z;
    planned.Orientation = p.Orientation;
    planned.AngleZ = p.AngleZ;
    planned.AngleX = p.AngleX;
    planned.CopyName = NameOf(CopyPath(inputs, p));
    planned.Top = Square(p.X, -p.Z);
    planned.Side = Square(p.X, p.Y);
    return planned;
}

}  // namespace

Plan PlanDuplicate(const DuplicateInputs& inputs, std::stop_token stop) {
    Plan plan;
    plan.Source = IsManualMode(inputs) ? "manual" : SourcePath(inputs);
    const std::vector<Placement> placements = ReadPlacements(inputs);  // throws as the run does
    std::map<std::string, int> models;
    std::set<std::tuple<std::string, double, double, double, double>> seen;
    for (const Placement& p : placements) {
        if (stop.stop_requested()) {
            plan.Stopped = true;
            break;
        }
        PlannedPlacement planned = Planned(inputs, p);
        const auto [model, added] =
            models.emplace(ModelPath(inputs, p), static_cast<int>(plan.Models.size()));
        if (added) plan.Models.push_back({model->first, 0});
        planned.Model = model->second;
        ++plan.Models[static_cast<size_t>(planned.Model)].Placements;
        if (!seen.emplace(p.Name, p.X, p.Y, p.Z, p.Orientation).second)
            plan.Problems.push_back({ProblemKind::Doubled, planned.Line,
                                     static_cast<int>(plan.Placements.size()),
                                     "the same model at the same numbers as an earlier line"});
        plan.Placements.push_back(std::move(planned));
    }
    return plan;
}

}  // namespace scene
