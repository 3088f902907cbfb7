#include "copy_rewriting.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>

#include "block_search.hpp"
#include "number_text.hpp"
#include "parse_number.hpp"
#include "paths.hpp"
#include "point_line.hpp"
#include "sine_cosine.hpp"
#include "strings.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace scene {

namespace {

constexpr std::string_view kNamedNode = "DEF VRL_";
constexpr std::string_view kRenamableNode = "      DEF VRL_";
constexpr std::string_view kCoordinateOpener = "COORD Coordinate {";
constexpr std::string_view kTexCoordOpener = "texCoordIndex [";
constexpr size_t kCheckBlock = 1 << 20;

// The check of a model handed in block by block. Blocks, not lines: a model's line may be
// longer than memory, and this is the cheapest way through a model of millions of point lines.
class ModelChecker {
  public:
    // Takes the next block; true, so that it reads on as ReadBlocks's callback.
    bool Feed(std::string_view block) {
        bytes_ += block.size();
        named_.Feed(block);
        if (header_.First() < 0 && header_.LinesEnded() < 3) header_.Feed(block);
        if (firstLineEnded_) return true;  // whether the first line (up to its CR) holds a LF
        const size_t lf = block.find('\n'), cr = block.find('\r');
        lfLineEnds_ = lf < cr;
        firstLineEnded_ = lfLineEnds_ || cr != std::string_view::npos;
        return true;
    }
    ModelCheck Result() const {
        ModelCheck check;
        check.HasHeader = header_.First() >= 0 && header_.First() < 3;
        check.DefCount = static_cast<int16_t>(std::min<long>(named_.Count(), INT16_MAX));
        check.LfLineEnds = lfLineEnds_;
        check.Bytes = bytes_;
        return check;
    }

  private:
    MarkedLines named_{kNamedNode}, header_{kConverterHeader};
    bool lfLineEnds_ = false;
    bool firstLineEnded_ = false;
    uint64_t bytes_ = 0;
};

}  // namespace

ModelCheck CheckModel(const std::string& modelPath, RunFolders* run) {
    ModelChecker checker;
    ReadBlocks(
        modelPath, kCheckBlock, [&](std::string_view b) { return checker.Feed(b); }, run);
    return checker.Result();
}

ModelCheck CheckModel(std::FILE* model, const std::string& path) {
    ModelChecker checker;
    ReadBlocks(model, path, kCheckBlock, [&](std::string_view b) { return checker.Feed(b); });
    return checker.Result();
}

ModelCheck CheckModelText(std::string_view text) {
    ModelChecker checker;
    checker.Feed(text);
    return checker.Result();
}

namespace {

// What the repair makes of a model, told to a sink as the model is read, line by line and each
// line in pieces (a model's line may be longer than memory):
//   Kept(piece)          a piece of a model line that stays as it is
//   Replaced(piece)      a piece of a model line that the repair replaces by one space
//   LineEnd(replaced, crLf)  the end of that model line, and whether it ended with CR LF
//   Added(line)          a line the repair adds
// Each returns false to stop early.
template <typename Sink>
void RepairModel(TextFileReader& in, Sink& sink) {
    enum class State { Outside, Inside, After };
    static constexpr std::string_view kClosingLines[] = {"", "]", "}", "]", "}", "]", "}"};
    auto addClosingLines = [&sink] {
        for (std::string_view line : kClosingLines)
            if (!sink.Added(line)) return false;
        return true;
    };
    State state = State::Outside;
    int afterCount = 0;  // lines since the block's closer
    BlockFinder opener(kTexCoordOpener);
    while (!in.AtEndOfFile()) {
        State next = state;
        bool replaced = false;
        if (state == State::After) {
            ++afterCount;
            replaced = afterCount > 2;
            if (afterCount == 10) next = State::Outside;
        }
        opener.Reset();
        bool closer = false;
        for (bool last = false; !last;) {
            const std::string_view piece = in.ReadLinePiece(last);
            if (state == State::Outside && opener.Feed(piece)) next = State::Inside;
            if (state == State::Inside && Contains(piece, "]")) closer = true;
            if (!(replaced ? sink.Replaced(piece) : sink.Kept(piece))) return;
        }
        if (closer) {
            next = State::After;
            afterCount = 0;
        }
        if (!sink.LineEnd(replaced, in.LastLineEndedWithCrLf())) return;
        if (state == State::After && next == State::Outside && in.AtEndOfFile() &&
            !addClosingLines())
            return;
        state = next;
    }
    if (state == State::After) addClosingLines();
}

// Finds whether the repair would change the model: a replaced line other than one space, a
// line end other than CR LF (the rewrite ends every line so), or an added line.
struct RepairChangeFinder {
    bool Changed = false;
    size_t ReplacedLength = 0;
    bool ReplacedBySpace = true;

    bool Kept(std::string_view) { return true; }
    bool Replaced(std::string_view piece) {
        ReplacedLength += piece.size();
        if (piece.find_first_not_of(' ') != std::string_view::npos) ReplacedBySpace = false;
        return true;
    }
    bool LineEnd(bool replaced, bool crLf) {
        Changed = !crLf || (replaced && !(ReplacedLength == 1 && ReplacedBySpace));
        ReplacedLength = 0;
        ReplacedBySpace = true;
        return !Changed;
    }
    bool Added(std::string_view) {
        Changed = true;
        return false;
    }
};

void Put(TextFileWriter& out, std::string_view text) {
    out.Write(text);
}
void Put(std::string& out, std::string_view text) {
    out.append(text);
}

// Writes the repaired model to a TextFileWriter or a string.
template <typename Output>
struct RepairOutput {
    Output& Out;

    bool Kept(std::string_view piece) {
        Put(Out, piece);
        return true;
    }
    bool Replaced(std::string_view) { return true; }
    bool LineEnd(bool replaced, bool) {
        Put(Out, replaced ? " \r\n" : "\r\n");
        return true;
    }
    bool Added(std::string_view line) {
        Put(Out, line);
        Put(Out, "\r\n");
        return true;
    }
};

}  // namespace

std::string RepairedText(TextFileReader& model) {
    std::string text;
    RepairOutput<std::string> writer{text};
    RepairModel(model, writer);
    return text;
}

bool RepairTexCoordBlocks(const std::string& modelPath, RunFolders* run) {
    const std::string path = ResolveCase(modelPath, run);
    platform::FileHandle model = platform::OpenLockedForRewrite(path);
    {
        // A model repaired before comes out unchanged: then it is not rewritten (nor flushed
        // to disk again), which matters when every copy of a model repairs it first.
        TextFileReader in(path, model.get());
        RepairChangeFinder finder;
        RepairModel(in, finder);
        if (!finder.Changed) return false;
    }
    std::rewind(model.get());
    TextFileWriter out(path, Durability::UserFile, run);
    TextFileReader in(path, model.get());
    RepairOutput<TextFileWriter> writer{out};
    RepairModel(in, writer);
    out.Commit(&model);
    return true;
}

std::string VrmlName(std::string_view tag) {
    // Controls, blank, DEL and  " # ' , . [ \ ] { }  may not stand in a VRML name.
    constexpr std::string_view kNotInNames = "\"#',.[\\]{}";
    std::string name(tag);
    for (char& c : name)
        if (static_cast<unsigned char>(c) <= ' ' || c == '\x7f' || Contains(kNotInNames, {&c, 1}))
            c = '_';
    return name;
}

PlacementTurn::PlacementTurn(const Placement& placement)
    : X(placement.X), Y(placement.Y), Z(placement.Z) {
    const double a5 = placement.AngleX * kPointScale;
    const double a4 = placement.AngleZ * kPointScale;
    const double a3 = placement.Orientation * kPointScale;
    // Not std::cos and std::sin: their last bits differ between systems.
    const SineCosine x = SineAndCosine(a5), z = SineAndCosine(a4), o = SineAndCosine(a3);
    CosX = x.Cosine;
    SinX = x.Sine;
    CosZ = z.Cosine;
    SinZ = z.Sine;
    CosO = o.Cosine;
    SinO = o.Sine;
}

Point3 PlacePoint(const PlacementTurn& t, const Point3& p) {
    // Each product and sum is its own double, in this order (built without FP contraction).
    const double r0 = p.V[0];
    const double r1 = t.CosX * p.V[1] - t.SinX * p.V[2];
    const double r2 = t.CosX * p.V[2] + t.SinX * p.V[1];
    const double s0 = t.CosZ * r0 - t.SinZ * r1;
    const double s1 = t.CosZ * r1 + t.SinZ * r0;
    const double s2 = r2;
    Point3 o;
    o.V[0] = (t.CosO * s0 + t.SinO * s2) + t.X;
    o.V[2] = (t.CosO * s2 - t.SinO * s0) - t.Z;
    o.V[1] = s1 + t.Y;
    return o;
}

namespace {

// Copies a point list from the line after its opener through the line holding "]". Each point
// is placed and written in place as " x y z," and CR LF; a line with a number that is missing,
// rejected or placed beyond the double range has 0 for it and counts as a failure.
template <typename Output>
void CopyPointList(TextFileReader& in, Output& out, const PlacementTurn& turn,
                   StepFailures& failures) {
    while (!in.AtEndOfFile()) {
        const std::string_view line = in.ReadTextLine();
        bool ok;
        const char* end = WritePlacedPointLine(line, turn, out.Room(kPointLineMax), ok);
        if (!end) {
            out.WriteTextLine(Trim(line));
            return;
        }
        out.Wrote(end);
        if (!ok) failures.Add(Failure(FailureKind::TypeMismatch, in.Path()));
    }
}

// Writes the copy's lines, read from the model, to `out`: a TextFileWriter, or nothing.
template <typename Output>
void CopyLines(TextFileReader& in, Output& out, const Placement& placement,
               std::string_view copyTag, StepFailures& failures) {
    std::string nodeLine;
    nodeLine.append(kRenamableNode).append(VrmlName(copyTag)).append("_vrl Transform {");
    const PlacementTurn turn(placement);
    while (!in.AtEndOfFile()) {
        std::string_view line = in.ReadTextLine();
        if (Contains(line, kRenamableNode)) line = nodeLine;
        out.WriteTextLine(line);
        if (!Contains(line, kCoordinateOpener) || in.AtEndOfFile()) continue;
        out.WriteTextLine(in.ReadTextLine());  // the point list opener, unchanged
        CopyPointList(in, out, turn, failures);
    }
}

// An output that keeps nothing: what a dry run "writes".
struct NoOutput {
    void WriteTextLine(std::string_view) {}
    void Write(std::string_view) {}
    char* Room(size_t) { return line; }
    void Wrote(const char*) {}
    char line[kPointLineMax];
};

}  // namespace

void WriteCopy(TextFileReader& model, TextFileWriter& copy, const Placement& placement,
               std::string_view copyTag, StepFailures& failures) {
    CopyLines(model, copy, placement, copyTag, failures);
}

void WriteCopy(const std::string& modelPath, const std::string& copyPath,
               const Placement& placement, std::string_view copyTag, StepFailures& failures) {
    TextFileReader in(modelPath);
    TextFileWriter out(copyPath, Durability::Replaceable);
    WriteCopy(in, out, placement, copyTag, failures);
    out.Commit();
}

void CountCopyFailures(TextFileReader& model, const Placement& placement, StepFailures& failures) {
    NoOutput nothing;
    CopyLines(model, nothing, placement, {}, failures);
}

}  // namespace scene
