// Reading text files byte for byte (and writing them back), and the items of list files.
#include "text_reader.hpp"

#include <gtest/gtest.h>

#include "commands.hpp"
#include "failure.hpp"
#include "failure_of.hpp"
#include "run_files.hpp"
#include "test_files.hpp"
#include "text_writer.hpp"
#include "utf16_decoder.hpp"

namespace scene {

namespace {

// The lines as ReadTextLine gives them; the lines read in pieces, and those read with the next
// bytes read ahead after every line, must be the same.
std::vector<std::string> Lines(const std::string& bytes, TextSource source = TextSource::Exact) {
    TempDir dir;
    WriteBytes(dir / "f.txt", bytes);
    std::vector<std::pair<std::string, bool>> whole, pieces, ahead;  // each line and its CR LF
    RunFiles files(platform::SystemFileSystem());
    TextFileReader in(files, dir / "f.txt", source), inPieces(files, dir / "f.txt", source),
        inAhead(files, dir / "f.txt", source);
    while (!in.AtEndOfFile()) {
        whole.emplace_back(in.ReadTextLine(), false);
        whole.back().second = in.LastLineEndedWithCrLf();
    }
    while (!inAhead.AtEndOfFile()) {
        const std::string line(inAhead.ReadTextLine());
        ahead.emplace_back(line, inAhead.LastLineEndedWithCrLf());
        inAhead.ReadAhead();
    }
    EXPECT_EQ(ahead, whole);
    while (!inPieces.AtEndOfFile()) {
        std::string line;
        for (bool last = false; !last;) line += inPieces.ReadLinePiece(last);
        pieces.emplace_back(line, inPieces.LastLineEndedWithCrLf());
    }
    EXPECT_EQ(pieces, whole);
    std::vector<std::string> lines;
    for (auto& [line, crLf] : whole) lines.push_back(line);
    return lines;
}

using L = std::vector<std::string>;

TEST(ReadTextLine, LineEndRules) {
    EXPECT_EQ(Lines("a\r\nb"), (L{"a", "b"}));
    EXPECT_EQ(Lines("a\r\n"), (L{"a"}));
    EXPECT_EQ(Lines("a\r\n\r\n"), (L{"a", ""}));
    EXPECT_EQ(Lines("a\rb"), (L{"a", "b"}));
    EXPECT_EQ(Lines("a\nb\n"), (L{"a\nb\n"}));
    EXPECT_EQ(Lines(""), L{});
    EXPECT_EQ(Lines("x\r\nlast"), (L{"x", "last"}));
    EXPECT_EQ(Lines("\r\r\n\r"), (L{"", "", ""}));
    EXPECT_EQ(Lines(" \ttabs and blanks \r\n"), (L{" \ttabs and blanks "}));
}

TEST(ReadTextLine, LinesLongerThanTheBufferAndCrLfSplitAcrossFills) {
    // A CR as the last byte of the first fill (64 KB) and of the second (256 KB more), its LF
    // the first of the next.
    for (size_t fill : {size_t{64} << 10, size_t{320} << 10}) {
        std::string first(fill - 1, 'a');
        std::string second(3 << 20, 'b');
        EXPECT_EQ(Lines(first + "\r\n" + second + "\r\nc"), (L{first, second, "c"}));
        EXPECT_EQ(Lines(first + "\r"), L{first});
        EXPECT_EQ(Lines(first + "\r\r\n"), (L{first, ""}));
    }
}

TEST(ReadTextLine, ReadingPastTheEndFails) {
    RunFiles files(platform::SystemFileSystem());
    TempDir dir;
    WriteBytes(dir / "f.txt", "only\r\n");
    TextFileReader in(files, dir / "f.txt");
    in.ReadTextLine();
    EXPECT_TRUE(in.AtEndOfFile());
    EXPECT_EQ(FailureNumberOf([&] { in.ReadTextLine(); }), 62);
}

TEST(TextFiles, EveryByteValuePassesThroughReadAndWrite) {
    RunFiles files(platform::SystemFileSystem());
    std::string all;
    for (int i = 0; i < 256; ++i)
        if (i != '\r') all += static_cast<char>(i);
    TempDir dir;
    WriteBytes(dir / "in", all);
    EXPECT_EQ(ReadWholeText(dir / "in"), all);
    TextFileReader in(files, dir / "in");
    std::string line(in.ReadTextLine());
    EXPECT_EQ(line, all);
    TextFileWriter out(files, dir / "out", platform::Durability::Replaceable);
    out.WriteTextLine(line);
    out.WriteTextLine("");
    out.WriteTextLine("ends\r\n");
    out.Commit();
    EXPECT_EQ(ReadBytes(dir / "out"), all + "\r\n\r\nends\r\n\r\n");
}

TEST(TextFiles, OpeningFailuresCarryTheirNumbers) {
    RunFiles files(platform::SystemFileSystem());
    TempDir dir;
    auto number = [](auto&& open) { return FailureNumberOf(open); };
    EXPECT_EQ(number([&] { TextFileReader r(files, dir / "missing.txt"); }), 53);
    EXPECT_EQ(number([&] { TextFileReader r(files, dir / "nofolder/x.txt"); }), 76);
    EXPECT_EQ(number([&] { TextFileReader r(files, dir.Path()); }), 75);
    EXPECT_EQ(number([&] { ReadWholeText(dir / "missing.txt"); }), 53);
    EXPECT_EQ(number([&] {
                  TextFileWriter w(files, dir / "nofolder/x.txt",
                                   platform::Durability::Replaceable);
              }),
              76);
    EXPECT_EQ(
        number([&] { TextFileWriter w(files, dir.Path(), platform::Durability::Replaceable); }),
        75);
}

TEST(TextFiles, ANameInOtherLetterCaseFindsTheFile) {
    RunFiles files(platform::SystemFileSystem());
    TempDir dir;
    WriteBytes(dir / "house.wrl", "content");
    {
        TextFileReader in(files, dir / "House.WRL");
        EXPECT_EQ(in.ReadTextLine(), "content");
    }  // closed: Windows replaces no file that is open
    // Writing to the other-case name replaces the existing file, as on a case-blind system.
    TextFileWriter out(files, dir / "HOUSE.wrl", platform::Durability::UserFile);
    out.WriteTextLine("new");
    out.Commit();
    EXPECT_EQ(FolderEntries(dir.Path()), (L{"house.wrl"}));
    EXPECT_EQ(ReadBytes(dir / "house.wrl"), "new\r\n");
}

std::vector<std::pair<std::string, bool>> Items(const std::string& bytes, int count) {
    TempDir dir;
    WriteBytes(dir / "list.txt", bytes);
    RunFiles files(platform::SystemFileSystem());
    TextFileReader in(files, dir / "list.txt");
    std::vector<std::pair<std::string, bool>> items;
    TextFileReader::Item item;
    for (int i = 0; i < count; ++i) {
        in.ReadItem(item);
        items.emplace_back(item.Text, item.Quoted);
    }
    EXPECT_TRUE(in.AtEndOfFile());
    return items;
}

TEST(ReadItem, CommasLineEndsAndQuotes) {
    using I = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(Items("house1, 120.5,40\r\nb", 4),
              (I{{"house1", false}, {"120.5", false}, {"40", false}, {"b", false}}));
    EXPECT_EQ(Items("\"a, b\" , c\r\n", 2), (I{{"a, b", true}, {"c", false}}));
    EXPECT_EQ(Items("x\ny\rz", 3), (I{{"x", false}, {"y", false}, {"z", false}}));
    EXPECT_EQ(Items("\"open, never closed", 1), (I{{"open, never closed", true}}));
    EXPECT_EQ(Items(",\r\n", 2), (I{{"", false}, {"", false}}));
}

TEST(ReadItem, ReadingPastTheEndFails) {
    RunFiles files(platform::SystemFileSystem());
    TempDir dir;
    WriteBytes(dir / "list.txt", "a,b\r\n");
    TextFileReader in(files, dir / "list.txt");
    TextFileReader::Item item;
    in.ReadItem(item);
    in.ReadItem(item);
    EXPECT_THROW(in.ReadItem(item), Failure);
}

// A list saved behind a byte-order mark reads as the plain UTF-8 list, also across the buffer's
// fills (which split UTF-16 pairs); a model keeps every byte. The decoder fed byte by byte gives
// what it gives for the whole.
TEST(ListSource, MarkedListsReadAsThePlainText) {
    std::string plain;
    for (int i = 0; plain.size() < 3 << 19; ++i)
        plain += "h\xC3\xA9" + std::to_string(i) + ",\xF0\x9D\x84\x9E\xE2\x82\xAC\r\n";
    for (Mark mark : {Mark::Utf8, Mark::Utf16Le, Mark::Utf16Be})
        EXPECT_EQ(Lines(Marked(plain, mark), TextSource::List), Lines(plain));
    EXPECT_EQ(Lines(Marked("a", Mark::Utf8)), L{Marked("a", Mark::Utf8)});

    const std::string bytes = Marked(plain.substr(0, 99), Mark::Utf16Be).substr(2) + "x";
    char whole[256], pieces[256];
    Utf16Decoder wholeDecoder(true), pieceDecoder(true);
    const std::string text(
        whole, wholeDecoder.Finish(wholeDecoder.Decode(bytes.data(), bytes.size(), whole)));
    char* end = pieces;
    for (const char& byte : bytes) end = pieceDecoder.Decode(&byte, 1, end);
    EXPECT_EQ(std::string(pieces, pieceDecoder.Finish(end)), text);
    EXPECT_EQ(text, plain.substr(0, 99) + "\xEF\xBF\xBD");  // the odd byte
}

// Broken UTF-16 reads on: an unpaired surrogate and a last odd byte each become U+FFFD.
TEST(ListSource, BrokenUtf16ReadsWithReplacementCharacters) {
    const std::string r = "\xEF\xBF\xBD";
    const char broken[] = {'\xFF', '\xFE', 'a',    0,      0,      '\xD8', 'b',
                           0,      0,      '\xDC', '\x3D', '\xD8', 'x'};
    EXPECT_EQ(Lines(std::string(broken, sizeof broken), TextSource::List),
              L{"a" + r + "b" + r + r + r});
}

}  // namespace

}  // namespace scene
