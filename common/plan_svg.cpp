#include "plan_svg.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "every_core.hpp"
#include "plan_svg_panel.hpp"
#include "plan_text.hpp"
#include "svg_text.hpp"

namespace scene {

namespace {

// The picture: the plan in a square on the left, the legend and problems beside it.
constexpr double kPlotLeft = 20, kPlotTop = 20, kPlotSide = 660;
constexpr double kPanelLeft = 700, kLine = 18;

// Where plan coordinates land in the picture.
struct SvgFrame {
    double CentreA = 0, CentreB = 0;
    double Scale = 1;  // picture units per plan unit
    double Flip = 1;   // the second coordinate grows downward (1) or upward (-1)

    SvgFrame(const Plan& plan, PlanView view) : Flip(view == PlanView::Top ? 1 : -1) {
        const PlanBox box = BoxOf(plan, view);
        CentreA = box.Centre()[0];
        CentreB = box.Centre()[1];
        Scale = kPlotSide / 2 / (ShownHalfSide(box) * 1.05);
    }
    double X(double a) const { return kPlotLeft + kPlotSide / 2 + (a - CentreA) * Scale; }
    double Y(double b) const { return kPlotTop + kPlotSide / 2 + Flip * (b - CentreB) * Scale; }
    // The plan coordinates at the plot's edges.
    double A(double x) const { return CentreA + (x - kPlotLeft - kPlotSide / 2) / Scale; }
    double B(double y) const { return CentreB + Flip * (y - kPlotTop - kPlotSide / 2) / Scale; }
};

void Point(std::string& out, const PlanPoint& point) {
    AppendShortest(out, point[0]);
    out += ',';
    AppendShortest(out, point[1]);
}

const char* ShapeName(size_t corners) {
    return corners > 2 ? "polygon" : corners == 2 ? "polyline" : "circle";
}

// The outline as the copy holds it: a polygon, a line, or a point (a small circle whose
// radius is in plan units); a placement without an outline is a point at its origin.
void Shape(std::string& out, const PlannedPlacement& placement, PlanView view, double pointRadius) {
    const std::vector<PlanPoint>& corners = OutlineIn(placement, view);
    out += '<';
    out += ShapeName(corners.size());
    if (corners.size() >= 2) {
        out += " points=\"";
        for (size_t i = 0; i < corners.size(); ++i) {
            if (i > 0) out += ' ';
            Point(out, corners[i]);
        }
    } else {
        const PlanPoint at = corners.empty() ? OriginIn(placement, view) : corners.front();
        out += " cx=\"";
        AppendShortest(out, at[0]);
        out += "\" cy=\"";
        AppendShortest(out, at[1]);
        out += "\" r=\"";
        AppendShortest(out, pointRadius);
    }
    out += '"';
}

void PlacementElement(std::string& out, const PlannedPlacement& placement, PlanView view,
                      const SvgFrame& frame) {
    Shape(out, placement, view, 2.5 / frame.Scale);
    out += " id=\"placement-" + std::to_string(placement.Index) + "\"";
    if (placement.Action == PlannedAction::NotWritten) out += " class=\"not-written\"";
    out += " color=\"" + HexColour(ModelColour(placement.Model)) + "\"><title>";
    out += XmlText(PlacementTitle(placement)) + "</title></";
    out += ShapeName(OutlineIn(placement, view).size());
    out += ">\n";
}

void Placements(std::string& out, const Plan& plan, PlanView view, const SvgFrame& frame) {
    out += "<g id=\"placements\" transform=\"matrix(";
    const double matrix[] = {frame.Scale, 0, 0, frame.Flip * frame.Scale, frame.X(0), frame.Y(0)};
    for (double value : matrix) {
        AppendShortest(out, value);
        out += ' ';
    }
    out.back() = ')';
    out += "\">\n";
    // Thousands of outlines are megabytes of numbers: written in pieces on every core.
    constexpr size_t kPiece = 128;
    const size_t count = plan.Placements.size();
    std::vector<std::string> pieces((count + kPiece - 1) / kPiece);
    platform::OnEveryCore(platform::SystemFileSystem(), pieces.size(), {}, [&](size_t k) {
        for (size_t i = k * kPiece; i < std::min(count, (k + 1) * kPiece); ++i)
            PlacementElement(pieces[k], plan.Placements[i], view, frame);
    });
    for (const std::string& piece : pieces) out += piece;
    out += "</g>\n";
}

// Lines a round step apart (60 picture units at the least), their values at the plot's edges;
// the axes through the origin darker.
void Grid(std::string& out, const SvgFrame& frame) {
    const double step = RoundStep(60 / frame.Scale);
    const double right = kPlotLeft + kPlotSide, bottom = kPlotTop + kPlotSide;
    out += "<g id=\"grid\" fill=\"#8a8a8a\" font-size=\"9\">\n";
    for (double a : GridValues(frame.A(kPlotLeft), frame.A(right), step, 40)) {
        const double x = frame.X(a);
        SvgLine(out, x, kPlotTop, x, bottom,
                a == 0 ? " stroke=\"#a8a8a8\"" : " stroke=\"#e4e4e4\"");
        SvgText(out, x + 2, bottom - 3, RoundedText(a));
    }
    const double b0 = std::min(frame.B(kPlotTop), frame.B(bottom));
    const double b1 = std::max(frame.B(kPlotTop), frame.B(bottom));
    for (double b : GridValues(b0, b1, step, 40)) {
        const double y = frame.Y(b);
        SvgLine(out, kPlotLeft, y, right, y,
                b == 0 ? " stroke=\"#a8a8a8\"" : " stroke=\"#e4e4e4\"");
        SvgText(out, kPlotLeft + 2, y - 2, RoundedText(b));
    }
    out += "</g>\n";
}

// Arrows along the first axis (to the right) and the second (down from above, up from the side),
// with their names; below the plot, how the view looks at the scene.
void Axes(std::string& out, PlanView view) {
    const bool top = view == PlanView::Top;
    const double x = kPlotLeft + 24, y = top ? kPlotTop + 24 : kPlotTop + kPlotSide - 24;
    const double down = top ? 50 : -50;
    out += "<g id=\"axes\" stroke=\"#202020\" stroke-width=\"1.5\" marker-end=\"url(#arrow)\">\n";
    SvgLine(out, x, y, x + 50, y);
    SvgLine(out, x, y, x, y + down);
    out += "</g>\n";
    SvgText(out, x + 56, y + 4, "X", " font-weight=\"bold\"");
    SvgText(out, x - 4, y + down + (top ? 16 : -8), SecondAxisName(view), " font-weight=\"bold\"");
    SvgText(out, kPlotLeft, kPlotTop + kPlotSide + 18,
            top ? "Seen from above: X to the right, Z downward, the vertical Y toward you"
                : "Seen from the side: X to the right, the vertical Y upward, Z toward you");
}

void ScaleBar(std::string& out, const SvgFrame& frame) {
    const double length = RoundStep(100 / frame.Scale);
    const double right = kPlotLeft + kPlotSide - 16, y = kPlotTop + kPlotSide - 20;
    const double left = right - length * frame.Scale;
    out += "<g id=\"scale-bar\">\n";
    SvgLine(out, left, y, right, y, " stroke=\"#202020\" stroke-width=\"3\"");
    SvgText(out, (left + right) / 2, y - 6, RoundedText(length) + " units",
            " text-anchor=\"middle\"");
    out += "</g>\n";
}

// A ring around each placement a problem concerns, the problem in its title.
void ProblemMarks(std::string& out, const Plan& plan, PlanView view, const SvgFrame& frame) {
    out += "<g id=\"problems\" fill=\"none\" stroke=\"#d62728\" stroke-width=\"2\">\n";
    for (const PlanProblem& problem : plan.Problems) {
        if (problem.Placement < 0 ||
            static_cast<size_t>(problem.Placement) >= plan.Placements.size())
            continue;
        const PlanPoint at =
            BoxOf(plan.Placements[static_cast<size_t>(problem.Placement)], view).Centre();
        out += "<circle class=\"problem\" cx=\"";
        AppendPixel(out, frame.X(at[0]));
        out += "\" cy=\"";
        AppendPixel(out, frame.Y(at[1]));
        out += "\" r=\"9\"><title>" + XmlText(ProblemText(problem)) + "</title></circle>\n";
    }
    out += "</g>\n";
}

// The document's start: its size, title, arrow head and styles, a white ground.
std::string SvgHead(const Plan& plan, double height) {
    std::string head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1000\" height=\"";
    AppendPixel(head, height);
    head += "\" viewBox=\"0 0 1000 ";
    AppendPixel(head, height);
    head +=
        "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n<title>Plan of "
        "placements: " +
        XmlText(plan.Source) + "</title>\n";
    head +=
        "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" markerWidth=\"7\" "
        "markerHeight=\"7\" orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 z\" fill=\"#202020\"/>"
        "</marker></defs>\n"
        "<style>#placements>*{fill:currentColor;fill-opacity:.2;stroke:currentColor;"
        "stroke-width:1.2;vector-effect:non-scaling-stroke}#placements>polyline{fill:none}"
        ".not-written{opacity:.3}</style>\n"
        "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    return head;
}

}  // namespace

std::string PlanSvg(const Plan& plan, PlanView view) {
    const SvgFrame frame(plan, view);
    std::string body;
    Grid(body, frame);
    if (plan.Placements.empty())
        SvgText(body, kPlotLeft + kPlotSide / 2, kPlotTop + kPlotSide / 2, "No placements",
                " text-anchor=\"middle\" fill=\"#606060\"");
    Placements(body, plan, view, frame);
    ProblemMarks(body, plan, view, frame);
    Axes(body, view);
    ScaleBar(body, frame);
    const double panelEnd = WritePlanPanel(body, plan, view, kPanelLeft, kPlotTop + 12);
    const double height = std::max(kPlotTop + kPlotSide + 40, panelEnd + kLine);
    return SvgHead(plan, height) + body + "</svg>\n";
}

}  // namespace scene
