// The point file check and camera file generation on arbitrary point file bytes: the camera
// file is written whole (two head lines and blocks of fifteen) or the earlier one stays.
#include <algorithm>

#include "commands.hpp"
#include "file_check.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    WriteInput("site.mgp", AsText(data, size));
    const std::string earlier = "//////////CAMERAS///////////\r\nearlier cameras";
    const std::string cameraPath = WriteInput("site.txt", earlier);
    RecordingSink sink;
    try {
        CheckPointFile(Scratch().Path(), "site.mgp", sink);
    } catch (const Failure&) {
    }
    bool done = false;
    try {
        GenerateCameraFile(Scratch().Path(), "site.mgp", sink);
        done = true;
    } catch (const Failure&) {
    }

    const std::string cameras = ReadBytes(cameraPath);
    if (done) {
        FUZZ_CHECK(!sink.Messages.empty() && sink.Messages.back().Text == "Done");
        FUZZ_CHECK(cameras.starts_with("//////////CAMERAS///////////\r\n\r\n"));
        FUZZ_CHECK(IsWrittenText(cameras));
        const auto lines = std::count(cameras.begin(), cameras.end(), '\n');
        FUZZ_CHECK((lines - 2) % 15 == 0 && lines <= 2 + 15 * 32767);
    } else {
        FUZZ_CHECK(cameras == earlier);
    }
    FUZZ_CHECK(FolderEntries(Scratch().Path()) ==
               (std::vector<std::string>{"site.mgp", "site.txt"}));
    return 0;
}
