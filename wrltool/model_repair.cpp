#include "model_repair.hpp"

#include "block_search.hpp"
#include "model_check.hpp"
#include "strings.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace scene {

namespace {

constexpr std::string_view kTexCoordOpener = "texCoordIndex [";
// A model another program keeps changing while it is read is given up after this many reads.
constexpr int kMaxReads = 8;

// What the repair makes of a model, told to a sink as the model is read, line by line and each
// line in pieces (a model's line may be longer than memory):
//   Kept(piece)          a piece of a model line that stays as it is
//   Replaced(piece)      a piece of a model line that the repair replaces by one space
//   LineEnd(replaced, crLf)  the end of that model line, and whether it ended with CR LF
//   Added(line)          a line the repair adds
// Each returns false to stop early.
template <typename Sink>
void RepairLines(TextFileReader& in, Sink& sink) {
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

// Writes the repaired model.
struct RepairOutput {
    TextFileWriter& Out;

    bool Kept(std::string_view piece) {
        Out.Write(piece);
        return true;
    }
    bool Replaced(std::string_view) { return true; }
    bool LineEnd(bool replaced, bool) {
        Out.Write(replaced ? " \r\n" : "\r\n");
        return true;
    }
    bool Added(std::string_view line) {
        Out.WriteTextLine(line);
        return true;
    }
};

}  // namespace

bool RepairWanted(platform::ReadableFile& model) {
    model.Rewind();
    const ModelCheck check = CheckModel(model);
    if (!IsCopyable(check) || !NeedsRepair(check)) return false;
    // A model repaired before comes out unchanged: then it is not rewritten (nor flushed to
    // disk again), which matters when every copy of a model repairs it first.
    model.Rewind();
    TextFileReader in(model);
    RepairChangeFinder finder;
    RepairLines(in, finder);
    return finder.Changed;
}

bool RepairTexCoordBlocks(RunFiles& files, const std::string& modelPath) {
    std::unique_ptr<platform::ReadableFile> model = files.OpenLocked(modelPath);
    for (int read = 1;; ++read) {
        if (read > kMaxReads)
            throw Failure(FailureKind::AccessFailure, model->Path(), "changed while it was read");
        const platform::ContentStamp before = model->Stamp();
        // Written in place by another program while it was read: read again.
        const bool wanted = RepairWanted(*model);
        if (model->Stamp() != before) continue;
        if (!wanted) return false;
        model->Rewind();
        TextFileWriter out(files, *model);
        TextFileReader in(*model);
        RepairOutput writer{out};
        RepairLines(in, writer);
        if (model->Stamp() == before) {
            out.Commit();
            return true;
        }
    }
}

}  // namespace scene
