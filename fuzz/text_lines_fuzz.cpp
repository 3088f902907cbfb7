// The buffered readers against the reading rules in their plainest form: ReadWholeText gives
// every byte, ReadTextLine (and ReadLinePiece, joined) the lines, ReadItem the delimited items.
#include "commands.hpp"
#include "fuzz_support.hpp"
#include "run_files.hpp"
#include "text_reader.hpp"

namespace scene {

namespace {

// Items: blanks before one skipped; a quoted item runs to its closing quote (what follows up to
// the delimiter is passed over), any other to the next comma, CR or LF; CR LF is one delimiter.
std::vector<TextFileReader::Item> ReferenceItems(std::string_view b) {
    auto isDelimiter = [](char c) { return c == ',' || c == '\r' || c == '\n'; };
    std::vector<TextFileReader::Item> items;
    size_t i = 0;
    while (i < b.size()) {
        TextFileReader::Item item;
        while (i < b.size() && b[i] == ' ') ++i;
        if (i < b.size() && b[i] == '"') {
            item.Quoted = true;
            for (++i; i < b.size() && b[i] != '"'; ++i) item.Text += b[i];
            if (i < b.size()) ++i;
            while (i < b.size() && !isDelimiter(b[i])) ++i;
        } else {
            for (; i < b.size() && !isDelimiter(b[i]); ++i) item.Text += b[i];
        }
        if (i < b.size() && b[i++] == '\r' && i < b.size() && b[i] == '\n') ++i;
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

}  // namespace scene

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scene;
    RunFiles files(platform::SystemFileSystem());
    const std::string_view bytes = AsText(data, size);
    const std::string path = WriteInput("input.txt", bytes);
    FUZZ_CHECK(ReadWholeText(path) == bytes);

    std::vector<std::string> lines;
    {
        TextFileReader in(files, path);
        while (!in.AtEndOfFile()) lines.emplace_back(in.ReadTextLine());
    }
    FUZZ_CHECK(lines == ReferenceLines(bytes));
    {
        TextFileReader in(files, path);
        std::vector<std::string> joined;
        while (!in.AtEndOfFile()) {
            std::string line;
            for (bool last = false; !last;) line += in.ReadLinePiece(last);
            joined.push_back(std::move(line));
        }
        FUZZ_CHECK(joined == lines);
    }
    {  // As a list: behind a UTF-8 mark the same lines; behind a UTF-16 one, any bytes read.
        TextFileReader list(files, WriteInput("utf8.txt", "\xEF\xBB\xBF" + std::string(bytes)),
                            TextSource::List);
        std::vector<std::string> listLines;
        while (!list.AtEndOfFile()) listLines.emplace_back(list.ReadTextLine());
        FUZZ_CHECK(listLines == lines);
        TextFileReader utf16(files, WriteInput("utf16.txt", "\xFE\xFF" + std::string(bytes)),
                             TextSource::List);
        while (!utf16.AtEndOfFile()) utf16.ReadTextLine();
    }

    const std::vector<TextFileReader::Item> expected = ReferenceItems(bytes);
    TextFileReader in(files, path);
    TextFileReader::Item item;
    size_t count = 0;
    while (!in.AtEndOfFile()) {
        in.ReadItem(item);
        FUZZ_CHECK(count < expected.size());
        FUZZ_CHECK(item.Text == expected[count].Text && item.Quoted == expected[count].Quoted);
        ++count;
    }
    FUZZ_CHECK(count == expected.size());
    return 0;
}
