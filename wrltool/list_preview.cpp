#include "list_preview.hpp"

#include "number_text.hpp"
#include "parse_number.hpp"
#include "paths.hpp"
#include "strings.hpp"
#include "text_reader.hpp"

namespace scene {

namespace {

constexpr int kItemsPerRecord = 7;

// An item as a general value shows it: an unquoted number in its plain form, else its text.
std::string GeneralValueText(const TextFileReader::Item& item) {
    if (!item.Quoted) {
        if (std::optional<double> number = TryParseNumber(item.Text))
            return PlainNumberText(*number);
    }
    return item.Text;
}

// A failing end test (a read error) ends the reading as the end of the file would.
bool AtEndOrUnreadable(TextFileReader& in) {
    try {
        return in.AtEndOfFile();
    } catch (const Failure&) {
        return true;
    }
}

}  // namespace

std::vector<std::string> PreviewListFile(RunFiles& files, const std::string& folderPath,
                                         const std::string& fileName) {
    // Opening stops on failure.
    TextFileReader in(files, JoinPath(folderPath, fileName), TextSource::List);
    std::vector<std::string> names;
    std::string first;  // the first value; kept across records when its read fails
    TextFileReader::Item item;
    // Ends: when the end test passes, the record's first read takes at least one byte.
    while (!AtEndOrUnreadable(in)) {
        for (int k = 0; k < kItemsPerRecord; ++k) {
            try {
                in.ReadItem(item);
                if (k == 0) first = GeneralValueText(item);  // the other six are read and dropped
            } catch (const Failure&) {
                // Skipped: the value keeps what it held (the usual case: a short last record).
            }
        }
        if (!Trim(first).empty()) names.push_back(first);
    }
    return names;
}

std::optional<std::vector<std::string>> PreviewForSelection(bool mgpMode, RunFiles& files,
                                                            const std::string& folderPath,
                                                            const std::string& fileName,
                                                            MessageSink& sink) {
    if (mgpMode) return std::nullopt;
    try {
        return PreviewListFile(files, folderPath, fileName);
    } catch (const Failure& failure) {
        sink.ReportFailure(failure);
        return std::vector<std::string>{};
    }
}

}  // namespace scene
