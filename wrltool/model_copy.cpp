#include "model_copy.hpp"

#include <cmath>
#include <memory>
#include <new>

#include "point_line.hpp"
#include "point_split.hpp"
#include "sine_cosine.hpp"
#include "strings.hpp"

namespace scene {

namespace {

constexpr std::string_view kRenamableNode = "      DEF VRL_";
constexpr std::string_view kCoordinateOpener = "COORD Coordinate {";
// Room for the placed lines of one pass over the reader's buffer: an eighth of the copy's buffer.
constexpr size_t kPlacedRoom = 8 << 10;

// Walks the model's lines as a copy reads them, telling the visitor of each:
//   Line(line, renamable)  a line outside the point lists, and whether it is a renamable node
//   Opener(line)           the line after a coordinate opener, copied unchanged
//   PointLine(in)          reads a line of a point list; false for the line that ends it
template <typename Visitor>
void WalkModel(TextFileReader& in, Visitor& visitor) {
    while (!in.AtEndOfFile()) {
        const std::string_view line = in.ReadTextLine();
        // A renamed line is the node line, which opens no coordinate block.
        const bool renamable = Contains(line, kRenamableNode);
        const bool opener = !renamable && Contains(line, kCoordinateOpener);
        visitor.Line(line, renamable);
        if (!opener || in.AtEndOfFile()) continue;
        visitor.Opener(in.ReadTextLine());
        while (!in.AtEndOfFile())
            if (!visitor.PointLine(in)) break;
    }
}

// Writes the copy: each point placed and written as " x y z," and CR LF in the copy's buffer.
class CopyWriter {
  public:
    CopyWriter(TextFileWriter& out, const Placement& placement, std::string_view copyTag,
               StepFailures& failures, const std::string& modelPath,
               platform::FileSystem* twoThreads)
        : out_(out),
          turn_(placement),
          failures_(failures),
          modelPath_(modelPath),
          twoThreads_(twoThreads) {
        nodeLine_.append(kRenamableNode).append(VrmlName(copyTag)).append("_vrl Transform {");
    }
    void Line(std::string_view line, bool renamable) {
        out_.WriteTextLine(renamable ? std::string_view(nodeLine_) : line);
    }
    void Opener(std::string_view line) { out_.WriteTextLine(line); }
    bool PointLine(TextFileReader& in) {
        if (twoThreads_ && PlaceOnTwoThreads(in)) return true;
        if (PlaceBuffered(in)) return true;
        bool ok;
        const std::string_view line = in.ReadTextLine();
        const char* end = WritePlacedPointLine(line, turn_, out_.Room(kPointLineMax), ok);
        if (!end) {  // the list's last line, copied trimmed
            out_.WriteTextLine(Trim(line));
            return false;
        }
        out_.Wrote(end);
        if (!ok) failures_.Add(Failure(FailureKind::TypeMismatch, modelPath_));
        return true;
    }

  private:
    // The usual lines that stand whole in the reader's buffer, as many as the copy's buffer
    // takes at once; false when the next line is no such line.
    bool PlaceBuffered(TextFileReader& in) {
        const std::string_view bytes = in.Buffered();
        char* out = out_.Room(kPlacedRoom);
        int overflowed = 0;
        const char* const taken = PlaceUsualPointLines(bytes.data(), bytes.data() + bytes.size(),
                                                       bytes.data() + bytes.size(), turn_, out,
                                                       out + kPlacedRoom, overflowed);
        if (taken == bytes.data()) return false;
        out_.Wrote(out);
        in.TakeUpTo(taken);
        AddOverflowed(overflowed);
        return true;
    }
    void AddOverflowed(int lines) {
        for (int i = 0; i < lines; ++i)
            failures_.Add(Failure(FailureKind::TypeMismatch, modelPath_));
    }

    // The lines the reader holds, when there are many, on two threads. The second thread and
    // its texts are made at the first such lines; without the memory for them, all stays here.
    [[gnu::noinline]] bool PlaceOnTwoThreads(TextFileReader& in) {
        if (in.Buffered().size() < kSplitPointBytes) return false;
        try {
            if (!split_) split_ = std::make_unique<SplitPointLines>(*twoThreads_);
        } catch (const std::bad_alloc&) {
            twoThreads_ = nullptr;
            return false;
        }
        int overflowed = 0;
        const bool placed = split_->Place(in, turn_, out_, overflowed);
        AddOverflowed(overflowed);
        return placed;
    }

    TextFileWriter& out_;
    const PlacementTurn turn_;
    StepFailures& failures_;
    const std::string& modelPath_;
    std::string nodeLine_;
    platform::FileSystem* twoThreads_;
    std::unique_ptr<SplitPointLines> split_;  // made at the first large point list
};

// Hands on the points alone.
struct PointReader {
    const std::function<void(const Point3&, bool)>& Found;
    void Line(std::string_view, bool) {}
    void Opener(std::string_view) {}
    bool PointLine(TextFileReader& in) {
        Point3 p;
        bool read;
        if (!ReadPointLine(in.ReadTextLine(), p, read)) return false;
        Found(p, read);
        return true;
    }
};

}  // namespace

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

void WriteCopy(TextFileReader& model, TextFileWriter& copy, const Placement& placement,
               std::string_view copyTag, StepFailures& failures, platform::FileSystem* twoThreads) {
    CopyWriter writer(copy, placement, copyTag, failures, model.Path(), twoThreads);
    WalkModel(model, writer);
}

void ReadModelPoints(TextFileReader& model,
                     const std::function<void(const Point3& point, bool read)>& point) {
    PointReader reader{point};
    WalkModel(model, reader);
}

}  // namespace scene
