// The in-place texture index repair on arbitrary model bytes: a model is rewritten whole, line
// for line, with the seven closing lines added or not, or left byte for byte as it was; nothing
// else is left behind.
#include "commands.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    const std::string_view model = AsText(data, size);
    const std::string path = WriteInput("model.wrl", model);
    const bool rewritten = RepairTexCoordBlocks(path);

    const std::string repaired = ReadBytes(path);
    FUZZ_CHECK(rewritten ? IsWrittenText(repaired) : repaired == model);
    const size_t before = ReferenceLines(model).size();
    const size_t after = ReferenceLines(repaired).size();
    FUZZ_CHECK(after == before || after == before + 7);
    FUZZ_CHECK(FolderEntries(Scratch().Path()) == std::vector<std::string>{"model.wrl"});
    return 0;
}
