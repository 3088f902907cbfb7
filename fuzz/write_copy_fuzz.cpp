// CheckModel and WriteCopy on arbitrary model bytes, placed by numbers that matter: zero,
// whole and fractional ones, angles of 90 and 1E300, values near the end of the double range.
// The copy has one line for every line of the model, whatever they hold.
#include <fuzzer/FuzzedDataProvider.h>

#include "commands.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    static constexpr double kNumbers[] = {0, 1, -2.5, 90, 45, 1e300, -1e300, 1.7e308, 1e-300};
    FuzzedDataProvider provider(data, size);
    Placement placement;
    for (double* field : {&placement.X, &placement.Y, &placement.Z, &placement.Orientation,
                          &placement.AngleZ, &placement.AngleX})
        *field = provider.PickValueInArray(kNumbers);
    const std::string model = provider.ConsumeRemainingBytesAsString();
    const std::string modelPath = WriteInput("model.wrl", model);
    const std::string copyPath = Scratch() / "copy.wrl";

    const ModelCheck check = CheckModel(modelPath);
    FUZZ_CHECK(check.DefCount >= 0);
    StepFailures failures;
    WriteCopy(modelPath, copyPath, placement, "tag_0", failures);

    const std::string copy = ReadBytes(copyPath);
    FUZZ_CHECK(IsWrittenText(copy));
    FUZZ_CHECK(ReferenceLines(copy).size() == ReferenceLines(model).size());
    FUZZ_CHECK(FolderEntries(Scratch().Path()) ==
               (std::vector<std::string>{"copy.wrl", "model.wrl"}));
    return 0;
}
