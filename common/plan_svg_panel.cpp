#include "plan_svg_panel.hpp"

#include "messages.hpp"
#include "plan_text.hpp"
#include "svg_text.hpp"

namespace scene {

namespace {

constexpr double kLine = 18;
constexpr size_t kListedModels = 30, kListedProblems = 40, kPanelCharacters = 40;

// Lines one below the other.
struct Lines {
    std::string& Out;
    double Left, Y;

    void Add(const std::string& text, const char* attributes = "") {
        SvgText(Out, Left, Y, text, attributes);
        Y += kLine;
    }
    // A line behind a small mark: a square of the colour, or a problem's ring.
    void Marked(const std::string& text, const std::string& colour, const char* extra = "") {
        Out += "<rect x=\"";
        AppendPixel(Out, Left);
        Out += "\" y=\"";
        AppendPixel(Out, Y - 10);
        Out += "\" width=\"12\" height=\"12\" fill=\"" + colour + "\" stroke=\"" + colour +
               "\" fill-opacity=\".4\"" + extra + "/>\n";
        SvgText(Out, Left + 18, Y, text);
        Y += kLine;
    }
};

std::string FileName(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

void Extent(Lines& lines, const Plan& plan, PlanView view) {
    const PlanBox box = BoxOf(plan, view);
    if (box.Empty) return lines.Add("Nothing placed");
    lines.Add("X from " + RoundedText(box.MinA) + " to " + RoundedText(box.MaxA));
    lines.Add(std::string(SecondAxisName(view)) + " from " + RoundedText(box.MinB) + " to " +
              RoundedText(box.MaxB));
}

void Legend(Lines& lines, const Plan& plan) {
    for (size_t model = 0; model < plan.Models.size() && model < kListedModels; ++model) {
        const PlannedModel& entry = plan.Models[model];
        lines.Marked(XmlText(LastCharacters(FileName(entry.Path), kPanelCharacters - 8)) + " (" +
                         std::to_string(entry.Placements) + ")",
                     HexColour(ModelColour(static_cast<int>(model))));
    }
    if (plan.Models.size() > kListedModels)
        lines.Add("\xE2\x80\xA6 and " + std::to_string(plan.Models.size() - kListedModels) +
                  " more models");
    long notWritten = 0, withoutModel = 0;
    for (const PlannedPlacement& placement : plan.Placements) {
        notWritten += placement.Action == PlannedAction::NotWritten;
        withoutModel += placement.Model < 0 && placement.Action != PlannedAction::NotWritten;
    }
    if (withoutModel > 0)
        lines.Marked((plan.Models.empty() ? "placements (" : "no model (") +
                         std::to_string(withoutModel) + ")",
                     HexColour(ModelColour(-1)));
    if (notWritten > 0)
        lines.Marked("not written (" + std::to_string(notWritten) + ")", HexColour(ModelColour(-1)),
                     " opacity=\".3\"");
}

void Problems(Lines& lines, const Plan& plan) {
    lines.Add("Problems (" + std::to_string(plan.Problems.size()) + ")", " font-weight=\"bold\"");
    for (size_t i = 0; i < plan.Problems.size() && i < kListedProblems; ++i) {
        const std::string text = ProblemText(plan.Problems[i]);
        lines.Add(XmlText(FirstCharacters(text, kPanelCharacters)) + "<title>" + XmlText(text) +
                      "</title>",
                  plan.Problems[i].Placement >= 0 ? " fill=\"#b01e1f\"" : "");
    }
    if (plan.Problems.size() > kListedProblems)
        lines.Add("\xE2\x80\xA6 and " + std::to_string(plan.Problems.size() - kListedProblems) +
                  " more");
}

}  // namespace

double WritePlanPanel(std::string& out, const Plan& plan, PlanView view, double left, double top) {
    out += "<g id=\"panel\">\n";
    Lines lines{out, left, top};
    lines.Add("Plan of placements", " font-size=\"15\" font-weight=\"bold\"");
    lines.Add(XmlText(LastCharacters(plan.Source, kPanelCharacters)));
    if (!plan.Note.empty()) lines.Add(XmlText(plan.Note), " font-style=\"italic\"");
    if (plan.Stopped) lines.Add("Partial: its computation was stopped");
    lines.Y += kLine / 2;
    const size_t placements = plan.Placements.size();
    lines.Add(GroupedCount(static_cast<long>(placements)) +
              (placements == 1 ? " placement" : " placements"));
    Extent(lines, plan, view);
    lines.Y += kLine / 2;
    Legend(lines, plan);
    lines.Y += kLine / 2;
    Problems(lines, plan);
    out += "</g>\n";
    return lines.Y;
}

}  // namespace scene
