// An MGP point file read as placements, with and without "Orientation Angle": one placement
// per line, or a Failure, never a crash.
#include "fuzz_support.hpp"
#include "placement_sources.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    const std::string_view bytes = AsText(data, size);
    WriteInput("points.mgp", bytes);
    DuplicateInputs in;
    in.Check2Value = 1;
    in.TSOfolderPath = Scratch().Path();
    in.TSOfolderFileName = "points.mgp";
    for (int orientation : {0, 1}) {
        in.Check3Value = orientation;
        in.Text1 = "45";
        try {
            const std::vector<Placement> list = ReadPlacements(in);
            FUZZ_CHECK(list.size() == ReferenceLines(bytes).size());
            FUZZ_CHECK(list.size() <= 32767);
        } catch (const Failure&) {
        }
    }
    return 0;
}
