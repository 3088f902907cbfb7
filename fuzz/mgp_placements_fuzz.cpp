// An MGP point file read as placements, with and without "Orientation Angle": one placement
// per line, or a Failure, never a crash.
#include "commands.hpp"
#include "fuzz_support.hpp"
#include "run_files.hpp"
#include "text_reader.hpp"

namespace {

// The lines a point file has as users save it: behind a UTF-8 mark those of the rest; behind
// a UTF-16 mark those of its text, as the list reader decodes it (its line rule is the one
// the text_lines target checks).
size_t PointFileLines(std::string_view bytes, const std::string& path) {
    using namespace scene;
    RunFiles files(platform::SystemFileSystem());
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        TextFileReader list(files, path, TextSource::List);
        size_t lines = 0;
        for (; !list.AtEndOfFile(); ++lines) list.ReadTextLine();
        return lines;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return ReferenceLines(bytes).size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    RunFiles files(platform::SystemFileSystem());
    const std::string_view bytes = AsText(data, size);
    const size_t lines = PointFileLines(bytes, WriteInput("points.mgp", bytes));
    DuplicateInputs in;
    in.Check2Value = 1;
    in.TSOfolderPath = Scratch().Path();
    in.TSOfolderFileName = "points.mgp";
    for (int orientation : {0, 1}) {
        in.Check3Value = orientation;
        in.Text1 = "45";
        try {
            const std::vector<Placement> list = ReadPlacements(in);
            FUZZ_CHECK(list.size() == lines);
            FUZZ_CHECK(list.size() <= 32767);
        } catch (const Failure&) {
        }
    }
    return 0;
}
