// Fix WRLs on one model of arbitrary bytes: without the exporter header it stays byte for byte
// as it was; with it, it is rewritten whole (seams deleted, one CR LF added), as ReplaceAll
// over the whole text gives it (the command streams the model through in blocks).
#include "commands.hpp"
#include "fuzz_support.hpp"
#include "strings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    const std::string_view model = AsText(data, size);
    const std::string path = WriteInput("m.wrl", model);
    RecordingSink sink;
    RunFixWrls({Scratch().Path(), {"m.wrl"}}, sink);

    const std::string after = ReadBytes(path);
    if (Contains(model, kExporterHeader)) {
        FUZZ_CHECK(sink.Texts() == std::vector<std::string>{"DONE with  0 invalid file(s)"});
        FUZZ_CHECK(after == ReplaceAll(model, ExporterSeam("m"), "") + "\r\n");
    } else {
        FUZZ_CHECK(sink.Texts() == std::vector<std::string>{"DONE with  1 invalid file(s)"});
        FUZZ_CHECK(after == model);
    }
    FUZZ_CHECK(FolderEntries(Scratch().Path()) == std::vector<std::string>{"m.wrl"});
    return 0;
}
