#include "file_check.hpp"

#include "mgp_header.hpp"
#include "number_text.hpp"
#include "parse_number.hpp"
#include "paths.hpp"
#include "text_reader.hpp"

namespace scene {

std::optional<FileCheckResult> CheckPointFile(RunContext& run, const std::string& folder,
                                              const std::string& fileName) {
    int16_t count = 0;
    {
        TextFileReader file(run.Files, JoinPath(folder, fileName), TextSource::List);
        std::string_view header = file.ReadTextLine();
        if (!IsMgpHeader(header)) {
            run.Messages.ShowMessage("wrong file contents", MessageIcon::Error);
            return std::nullopt;
        }
        count = WithFailurePath(file.Path(), [&] { return ParseInteger(MgpCountText(header)); });
    }
    return FileCheckResult{fileName, PlainNumberText(count)};
}

}  // namespace scene
