#include "plan_text.hpp"

#include <charconv>

namespace scene {

void AppendShortest(std::string& out, double value) {
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    out.append(text, written.ptr);
}

std::string ShortestText(double value) {
    std::string text;
    AppendShortest(text, value);
    return text;
}

namespace {

std::string Where(int line) {
    return line > 0 ? "line " + std::to_string(line) : std::string("typed in");
}

const char* ActionWords(PlannedAction action) {
    switch (action) {
        case PlannedAction::RepairFirst:
            return "its model repaired first";
        case PlannedAction::Fail:
            return "fails";
        case PlannedAction::End:
            return "the run ends here";
        case PlannedAction::NotWritten:
            return "not written";
        case PlannedAction::Write:
            break;
    }
    return "";
}

}  // namespace

std::string PlacementTitle(const PlannedPlacement& placement) {
    std::string title = Where(placement.Line) + ": " + placement.Name;
    if (!placement.Label.empty()) title += " (" + placement.Label + ")";
    if (!placement.CopyName.empty()) title += " \xE2\x86\x92 " + placement.CopyName;  // →
    if (placement.Action != PlannedAction::Write) {
        title += std::string(", ") + ActionWords(placement.Action);
        if (!placement.Message.empty()) title += ": " + placement.Message;
    }
    return title;
}

std::string PlacementDetails(const PlannedPlacement& placement) {
    std::string text = PlacementTitle(placement);
    const std::pair<const char*, double> numbers[] = {{"\nX ", placement.X},
                                                      {"  Y ", placement.Y},
                                                      {"  Z ", placement.Z},
                                                      {"\norientation ", placement.Orientation},
                                                      {"  angle Z ", placement.AngleZ},
                                                      {"  angle X ", placement.AngleX}};
    for (const auto& [label, value] : numbers) {
        text += label;
        AppendShortest(text, value + 0.0);  // + 0.0: a negated zero reads 0
    }
    return text;
}

std::string ProblemText(const PlanProblem& problem) {
    return problem.Line > 0 ? Where(problem.Line) + ": " + problem.Text : problem.Text;
}

}  // namespace scene
