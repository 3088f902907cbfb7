#include "plan_problems.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>

namespace scene {

namespace {

bool IsWritten(const PlannedPlacement& p) {
    return p.Action == PlannedAction::Write || p.Action == PlannedAction::RepairFirst;
}

// A number as text: the shortest that reads back as it (a number of the list), or rounded to
// a whole number (a ratio), or to 6 digits (a median, only told).
enum class Shown { Exactly, Whole, SixDigits };
std::string Text(double value, Shown shown) {
    char text[400];  // room for the widest whole number a double holds
    const auto end =
        shown == Shown::Exactly ? std::to_chars(text, std::end(text), value)
        : shown == Shown::Whole
            ? std::to_chars(text, std::end(text), value, std::chars_format::fixed, 0)
            : std::to_chars(text, std::end(text), value, std::chars_format::general, 6);
    return std::string(text, end.ptr);
}

// What makes two placements the same: the model (its name when it copies none) and the six
// numbers, equal as numbers (0 and -0 alike).
struct SameKey {
    int Model;
    std::string_view Name;
    std::array<uint64_t, 6> Numbers;
    bool operator==(const SameKey&) const = default;
};

SameKey SameKeyOf(const PlannedPlacement& p) {
    SameKey key{p.Model, p.Model < 0 ? std::string_view(p.Name) : std::string_view(), {}};
    const double numbers[] = {p.X, p.Y, p.Z, p.Orientation, p.AngleZ, p.AngleX};
    for (size_t i = 0; i < key.Numbers.size(); ++i)
        key.Numbers[i] = std::bit_cast<uint64_t>(numbers[i] == 0 ? 0.0 : numbers[i]);
    return key;
}

struct SameKeyHash {
    size_t operator()(const SameKey& key) const {
        size_t hash = std::hash<std::string_view>{}(key.Name) + static_cast<size_t>(key.Model);
        for (uint64_t bits : key.Numbers) hash = hash * 0x100000001b3 ^ std::hash<uint64_t>{}(bits);
        return hash;
    }
};

void AddDoubled(const std::vector<PlannedPlacement>& placements, std::vector<PlanProblem>& out) {
    std::unordered_map<SameKey, int, SameKeyHash> firstLine;
    firstLine.reserve(placements.size());
    for (size_t i = 0; i < placements.size(); ++i) {
        const PlannedPlacement& p = placements[i];
        if (!IsWritten(p)) continue;
        const auto [first, isFirst] = firstLine.emplace(SameKeyOf(p), p.Line);
        if (isFirst) continue;
        out.push_back({ProblemKind::Doubled, p.Line, static_cast<int>(i),
                       "doubled: same model and numbers as line " + std::to_string(first->second)});
    }
}

// Fewer placements tell no typical spread: of sets of 20 placed uniformly at random, one in
// 4,000 would show one as far.
constexpr size_t kFewestForFar = 25;

struct Axis {
    const char* Name;
    double PlannedPlacement::*Value;
};
constexpr std::array<Axis, 3> kAxes = {
    {{"X", &PlannedPlacement::X}, {"Y", &PlannedPlacement::Y}, {"Z", &PlannedPlacement::Z}}};

// The median (of an even count, the midpoint of the middle two), in linear time; reorders the
// values.
double Median(std::vector<double>& values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2) return *middle;
    return std::midpoint(*std::max_element(values.begin(), middle), *middle);
}

struct Spread {
    double Median = 0;
    double MedianDistance = 0;  // the median of the distances from the median
};

Spread SpreadOf(const std::vector<const PlannedPlacement*>& written, const Axis& axis) {
    std::vector<double> values;
    for (const PlannedPlacement* p : written)
        if (std::isfinite(p->*axis.Value)) values.push_back(p->*axis.Value);
    if (values.empty()) return {};
    Spread spread;
    spread.Median = Median(values);
    for (double& v : values) v = std::fabs(v - spread.Median);
    spread.MedianDistance = Median(values);
    return spread;
}

void AddFar(const std::vector<PlannedPlacement>& placements, std::vector<PlanProblem>& out) {
    std::vector<const PlannedPlacement*> written;
    for (const PlannedPlacement& p : placements)
        if (IsWritten(p)) written.push_back(&p);
    if (written.size() < kFewestForFar) return;
    std::array<Spread, 3> spreads;
    double widest = 0;
    for (size_t a = 0; a < kAxes.size(); ++a) {
        spreads[a] = SpreadOf(written, kAxes[a]);
        widest = std::max(widest, spreads[a].MedianDistance);
    }
    if (widest == 0) return;
    for (const PlannedPlacement* p : written) {
        for (size_t a = 0; a < kAxes.size(); ++a) {
            const double scale = std::max(spreads[a].MedianDistance, widest / 10);
            const double value = p->*kAxes[a].Value,
                         distance = std::fabs(value - spreads[a].Median);
            if (!(distance > 10 * scale)) continue;
            const std::string axis = kAxes[a].Name;
            out.push_back({ProblemKind::FarFromRest, p->Line,
                           static_cast<int>(p - placements.data()),
                           "far from the rest: " + axis + " " + Text(value, Shown::Exactly) +
                               " is " + Text(distance / scale, Shown::Whole) +
                               " times the median distance from the median " + axis + " " +
                               Text(spreads[a].Median, Shown::SixDigits)});
        }
    }
}

}  // namespace

void AddPlacementProblems(Plan& plan) {
    AddDoubled(plan.Placements, plan.Problems);
    AddFar(plan.Placements, plan.Problems);
    std::stable_sort(plan.Problems.begin(), plan.Problems.end(),
                     [](const PlanProblem& a, const PlanProblem& b) { return a.Line < b.Line; });
}

const char* ProblemKindText(ProblemKind kind) {
    switch (kind) {
        case ProblemKind::RunEnds:
            return "run ends";
        case ProblemKind::Doubled:
            return "doubled";
        case ProblemKind::FarFromRest:
            return "far from the rest";
        case ProblemKind::Repaired:
            return "repaired in place";
        case ProblemKind::ReplacesFile:
            return "replaces a file";
        case ProblemKind::UnreadableNumber:
            return "unreadable number";
        case ProblemKind::FailedStep:
            return "failed step";
    }
    return "problem";
}

}  // namespace scene
