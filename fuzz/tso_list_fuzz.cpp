// A TSO list read as placements (ReadTsoRecord through ReadPlacements) and as the preview: a
// list or a Failure, never a crash; a list that reads whole shows every placement's record.
#include "commands.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    WriteInput("list.txt", AsText(data, size));
    DuplicateInputs in;
    in.TSOfolderPath = Scratch().Path();
    in.TSOfolderFileName = "list.txt";

    bool readWhole = false;
    size_t placements = 0;
    try {
        const std::vector<Placement> list = ReadPlacements(in);
        readWhole = true;
        placements = list.size();
        FUZZ_CHECK(placements <= 32766);
        for (size_t i = 0; i < list.size(); ++i)
            FUZZ_CHECK(list[i].Index == static_cast<double>(i));
    } catch (const Failure&) {
    }

    // The file is there, so the preview never fails: its failing reads are skipped.
    const std::vector<std::string> names = PreviewListFile(Scratch().Path(), "list.txt");
    if (readWhole) FUZZ_CHECK(names.size() >= placements);
    return 0;
}
