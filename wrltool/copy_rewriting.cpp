#include "copy_rewriting.hpp"

#include <cmath>
#include <cstring>
#include <optional>

#include "number_text.hpp"
#include "parse_number.hpp"
#include "sine_cosine.hpp"
#include "strings.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace {

constexpr std::string_view kNamedNode = "DEF VRL_";
constexpr std::string_view kRenamableNode = "      DEF VRL_";
constexpr std::string_view kCoordinateOpener = "COORD Coordinate {";
constexpr std::string_view kTexCoordOpener = "texCoordIndex [";

// The numbers of a trimmed point line: space-separated, the last one followed by one
// character (the comma). Missing or rejected numbers stay 0; false when any was.
bool ReadPointNumbers(std::string_view rest, Point3& p) {
    p = {{0, 0, 0}};
    int count = 0;
    bool ok = true;
    const char* at = rest.data();
    const char* const end = at + rest.size();
    for (;;) {
        const char* space = at;
        while (space != end && *space != ' ') ++space;
        const bool last = space == end;
        std::string_view field;
        if (last) {
            if (at == end) return false;  // nothing to drop the comma from
            field = std::string_view(at, static_cast<size_t>(end - at) - 1);
        } else {
            field = std::string_view(at, static_cast<size_t>(space - at));
            at = space + 1;
            while (at != end && *at == ' ') ++at;  // the rest, its blanks removed
        }
        std::optional<double> value = TryParseNumber(field);
        if (!value)
            ok = false;
        else if (count < 3)
            p.v[count] = *value;
        ++count;
        if (last) break;
    }
    return ok && count >= 3;
}

}  // namespace

ModelCheck CheckModel(const std::string& modelPath) {
    TextFileReader in(modelPath);
    ModelCheck check;
    int lineNumber = 0;
    while (!in.AtEndOfFile()) {
        std::string_view line = in.ReadTextLine();
        if (Contains(line, kNamedNode) && check.DefCount < INT16_MAX) ++check.DefCount;
        if (lineNumber < 3 && Contains(line, kConverterHeader)) check.HasHeader = true;
        if (lineNumber < 3) ++lineNumber;
    }
    return check;
}

namespace {

// The repaired model's lines, one call of emit(line, input) each: `input` is the model line it
// stands for (nullptr for an added line). Stops early when emit returns false.
template <typename Emit>
void RepairLines(TextFileReader& in, Emit&& emit) {
    enum class State { Outside, Inside, After };
    static constexpr std::string_view kClosingLines[] = {"", "]", "}", "]", "}", "]", "}"};
    auto addClosingLines = [&emit] {
        for (std::string_view line : kClosingLines)
            if (!emit(line, nullptr)) return false;
        return true;
    };
    State state = State::Outside;
    int afterCount = 0;  // lines since the block's closer
    while (!in.AtEndOfFile()) {
        const std::string_view line = in.ReadTextLine();
        std::string_view output = line;
        State next = state;
        switch (state) {
            case State::Outside:
                if (Contains(line, kTexCoordOpener)) next = State::Inside;
                break;
            case State::Inside:
                if (Contains(line, "]")) {
                    next = State::After;
                    afterCount = 0;
                }
                break;
            case State::After:
                ++afterCount;
                if (afterCount > 2) output = " ";
                if (afterCount == 10) next = State::Outside;
                break;
        }
        if (!emit(output, &line)) return;
        if (state == State::After && next == State::Outside && in.AtEndOfFile() &&
            !addClosingLines())
            return;
        state = next;
    }
    if (state == State::After) addClosingLines();
}

}  // namespace

bool RepairTexCoordBlocks(const std::string& modelPath,
                          const std::function<void()>& beforeReplacing) {
    {
        // A model repaired before comes out unchanged: then it is not rewritten (nor flushed
        // to disk again), which matters when every copy of a model repairs it first.
        TextFileReader in(modelPath);
        bool unchanged = true;
        RepairLines(in, [&](std::string_view line, const std::string_view* input) {
            unchanged = input && line == *input && in.LastLineEndedWithCrLf();
            return unchanged;
        });
        if (unchanged) return false;
    }
    std::optional<TextFileWriter> out;
    {
        TextFileReader in(modelPath);
        out.emplace(in.Path(), Durability::UserFile);
        RepairLines(in, [&](std::string_view line, const std::string_view*) {
            out->WriteTextLine(line);
            return true;
        });
    }  // the model is closed before it is replaced
    if (beforeReplacing) beforeReplacing();
    out->Commit();
    return true;
}

PlacementTurn::PlacementTurn(const Placement& placement)
    : X(placement.X), Y(placement.Y), Z(placement.Z) {
    const double a5 = placement.AngleX * kPointScale;
    const double a4 = placement.AngleZ * kPointScale;
    const double a3 = placement.Orientation * kPointScale;
    // Not std::cos and std::sin: their last bits differ between systems.
    const SineCosine x = SineAndCosine(a5), z = SineAndCosine(a4), o = SineAndCosine(a3);
    cosX = x.cosine;
    sinX = x.sine;
    cosZ = z.cosine;
    sinZ = z.sine;
    cosO = o.cosine;
    sinO = o.sine;
}

Point3 PlacePoint(const PlacementTurn& t, const Point3& p) {
    // Each product and sum is its own double, in this order (built without FP contraction).
    const double r0 = p.v[0];
    const double r1 = t.cosX * p.v[1] - t.sinX * p.v[2];
    const double r2 = t.cosX * p.v[2] + t.sinX * p.v[1];
    const double s0 = t.cosZ * r0 - t.sinZ * r1;
    const double s1 = t.cosZ * r1 + t.sinZ * r0;
    const double s2 = r2;
    Point3 o;
    o.v[0] = (t.cosO * s0 + t.sinO * s2) + t.X;
    o.v[2] = (t.cosO * s2 - t.sinO * s0) - t.Z;
    o.v[1] = s1 + t.Y;
    return o;
}

void WriteCopy(const std::string& modelPath, const std::string& copyPath,
               const Placement& placement, std::string_view copyTag, StepFailures& failures) {
    std::string nodeLine;
    nodeLine.append(kRenamableNode).append(copyTag).append("_vrl Transform {");
    const PlacementTurn turn(placement);

    std::optional<TextFileWriter> out;
    {
        TextFileReader in(modelPath);
        out.emplace(copyPath, Durability::Replaceable);
        char pointLine[3 * (kNumberTextMax + 1) + 3];
        while (!in.AtEndOfFile()) {
            std::string_view line = in.ReadTextLine();
            if (Contains(line, kRenamableNode)) line = nodeLine;
            out->WriteTextLine(line);
            if (!Contains(line, kCoordinateOpener) || in.AtEndOfFile()) continue;
            out->WriteTextLine(in.ReadTextLine());  // the point list opener, unchanged
            while (!in.AtEndOfFile()) {
                std::string_view trimmed = Trim(in.ReadTextLine());
                if (Contains(trimmed, "]")) {
                    out->WriteTextLine(trimmed);
                    break;
                }
                Point3 p;
                bool ok = ReadPointNumbers(trimmed, p);
                Point3 o = PlacePoint(turn, p);
                // " x y z," and the line end, built in place: one write per point.
                char* end = pointLine;
                for (double& value : o.v) {
                    if (!std::isfinite(value)) {  // beyond the double range: overflow
                        value = 0;
                        ok = false;
                    }
                    *end++ = ' ';
                    end = WriteNumberText(end, value);
                }
                std::memcpy(end, ",\r\n", 3);
                end += 3;
                if (!ok) failures.Add(Failure(FailureKind::TypeMismatch, in.Path()));
                out->Write(std::string_view(pointLine, static_cast<size_t>(end - pointLine)));
            }
        }
    }
    out->Commit();
}
