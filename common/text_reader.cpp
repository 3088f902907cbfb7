#include "text_reader.hpp"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#include "failure.hpp"
#include "run_files.hpp"
#include "utf16_decoder.hpp"

namespace scene {

namespace {
constexpr size_t kBufferSize = 1 << 18;

// The first fill of a file read as it is: most models and lists are smaller, and a buffer of a
// megabyte for each of thousands of copies only kept the allocator busy.
constexpr size_t kFirstFill = 64 << 10;
// UTF-16 bytes converted at a time: their UTF-8 fills the buffer at most.
constexpr size_t kUtf16Piece = kBufferSize / 2;
static_assert(Utf16Decoder::MaxOutput(kUtf16Piece) + Utf16Decoder::MaxOutput(0) <= kBufferSize);
}  // namespace

// A List source before its first fill; for a UTF-16 file, its bytes as read and their decoder.
struct TextFileReader::ListSource {
    std::optional<Utf16Decoder> Utf16;  // set once the mark was seen
    std::unique_ptr<char[]> Bytes;      // read, converted kUtf16Piece at a time
    size_t Used = 0;
    size_t Length = 0;
    bool Finished = false;
};

TextFileReader::TextFileReader(RunFiles& files, const std::string& path, TextSource source)
    : owned_(files.OpenForReading(path)),
      file_(owned_.get()),
      path_(file_->Path()),
      capacity_(source == TextSource::List ? kBufferSize : kFirstFill),
      buffer_(std::make_unique_for_overwrite<char[]>(capacity_)),
      countLines_(source == TextSource::List) {
    if (source == TextSource::List) list_ = std::make_unique<ListSource>();
}

TextFileReader::TextFileReader(platform::ReadableFile& file)
    : file_(&file),
      path_(file.Path()),
      capacity_(kFirstFill),
      buffer_(std::make_unique_for_overwrite<char[]>(capacity_)) {}

TextFileReader::~TextFileReader() = default;

size_t TextFileReader::ReadBytes(char* to, size_t size) {
    return file_->Read(to, size);
}

void TextFileReader::ReadAhead() {
    if (countLines_ || readAhead_) return;
    if (!ahead_) {
        try {
            ahead_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
        } catch (const std::bad_alloc&) {
            return;
        }
    }
    aheadLen_ = ReadBytes(ahead_.get(), kBufferSize);
    readAhead_ = true;
}

bool TextFileReader::Refill() {
    pos_ = 0;
    ++fills_;
    if (list_) return RefillList();
    if (readAhead_) {  // the buffers change places; the one read from gets kBufferSize of room
        readAhead_ = false;
        std::swap(buffer_, ahead_);
        if (capacity_ < kBufferSize) ahead_.reset();
        capacity_ = kBufferSize;
        len_ = aheadLen_;
        return len_ > 0;
    }
    if (len_ == capacity_ && capacity_ < kBufferSize) {  // a larger file: read on in large fills
        capacity_ = kBufferSize;
        buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    }
    len_ = ReadBytes(buffer_.get(), capacity_);
    return len_ > 0;
}

bool TextFileReader::RefillList() {
    ListSource& list = *list_;
    if (!list.Utf16) {  // the first fill: its first bytes tell what the file is
        len_ = ReadBytes(buffer_.get(), kBufferSize);
        const std::string_view start(buffer_.get(), std::min<size_t>(len_, 3));
        if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) {
            list.Utf16.emplace(start[0] == '\xFE');
            list.Bytes =
                std::exchange(buffer_, std::make_unique_for_overwrite<char[]>(kBufferSize));
            list.Used = 2;
            list.Length = len_;
            return RefillList();
        }
        list_.reset();  // no UTF-16: the bytes as they are, past a UTF-8 mark
        if (start == "\xEF\xBB\xBF") pos_ = 3;
        return pos_ < len_ || Refill();
    }
    char* const out = buffer_.get();
    char* end = out;
    while (end == out && !list.Finished) {
        if (list.Used == list.Length) {
            list.Used = 0;
            list.Length = ReadBytes(list.Bytes.get(), kBufferSize);
        }
        if (list.Length == 0) {
            end = list.Utf16->Finish(out);
            list.Finished = true;
            break;
        }
        const size_t n = std::min(kUtf16Piece, list.Length - list.Used);
        end = list.Utf16->Decode(list.Bytes.get() + list.Used, n, out);
        list.Used += n;
    }
    len_ = static_cast<size_t>(end - out);
    return len_ > 0;
}

bool TextFileReader::AtEndOfFile() {
    return pos_ == len_ && !Refill();
}

int TextFileReader::Peek() {
    if (AtEndOfFile()) return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
}

bool TextFileReader::SkipLineEndAfterCr() {
    if (Peek() != '\n') return false;
    ++pos_;
    return true;
}

std::string_view TextFileReader::ReadLineAcrossFills() {
    if (AtEndOfFile()) throw Failure(FailureKind::ReadPastEnd, path_);
    line_.clear();
    lastCrLf_ = false;
    bool assembled = false;  // the line spans more than one buffer fill
    for (;;) {
        const char* start = buffer_.get() + pos_;
        const size_t available = len_ - pos_;
        const char* cr = static_cast<const char*>(std::memchr(start, '\r', available));
        if (cr) {
            const size_t n = static_cast<size_t>(cr - start);
            pos_ += n + 1;
            if (countLines_) lineEnds_ += 1 + static_cast<long>(std::count(start, cr, '\n'));
            if (!assembled && pos_ < len_) {  // the common case: a view into the buffer
                lastCrLf_ = buffer_[pos_] == '\n';
                pos_ += lastCrLf_;
                return {start, n};
            }
            line_.append(start, n);
            lastCrLf_ = SkipLineEndAfterCr();
            return line_;
        }
        if (countLines_) lineEnds_ += static_cast<long>(std::count(start, start + available, '\n'));
        line_.append(start, available);
        assembled = true;
        pos_ = len_;
        if (!Refill()) return line_;
    }
}

std::string_view TextFileReader::ReadLinePiece(bool& last) {
    last = true;
    lastCrLf_ = false;
    if (pos_ == len_ && !Refill()) return {};  // the end of the file ends the line
    const char* start = buffer_.get() + pos_;
    const size_t available = len_ - pos_;
    const char* cr = static_cast<const char*>(std::memchr(start, '\r', available));
    if (!cr) {
        pos_ = len_;
        last = false;
        return {start, available};
    }
    const size_t n = static_cast<size_t>(cr - start);
    if (n + 1 < available) {
        pos_ += n + 1;
        lastCrLf_ = buffer_[pos_] == '\n';
        pos_ += lastCrLf_;
        return {start, n};
    }
    // The CR is the buffer's last byte: whether a LF follows is known only from the next fill,
    // which would overwrite this piece. The piece goes first; the CR is taken next time.
    if (n > 0) {
        pos_ += n;
        last = false;
        return {start, n};
    }
    pos_ = len_;
    lastCrLf_ = SkipLineEndAfterCr();
    return {};
}

void TextFileReader::ReadItem(Item& item) {
    if (AtEndOfFile()) throw Failure(FailureKind::ReadPastEnd, path_);
    item.Text.clear();
    item.Quoted = false;
    int c;
    while ((c = Peek()) == ' ') ++pos_;
    if (c == '"') {
        item.Quoted = true;
        ++pos_;
        while ((c = Peek()) != -1 && c != '"') {
            if (c == '\n') ++lineEnds_;
            item.Text += static_cast<char>(c);
            ++pos_;
        }
        if (c == '"') ++pos_;
        // Whatever stands between the closing quote and the delimiter is passed over.
        while ((c = Peek()) != -1 && c != ',' && c != '\r' && c != '\n') ++pos_;
    } else {
        while ((c = Peek()) != -1 && c != ',' && c != '\r' && c != '\n') {
            item.Text += static_cast<char>(c);
            ++pos_;
        }
    }
    if (c == -1) return;
    ++pos_;
    if (c == '\r' || c == '\n') ++lineEnds_;
    if (c == '\r') SkipLineEndAfterCr();
}

void ReadBlocks(platform::ReadableFile& file, size_t blockSize,
                const std::function<bool(std::string_view)>& read) {
    std::unique_ptr<char[]> block = std::make_unique_for_overwrite<char[]>(blockSize);
    size_t n;
    while ((n = file.Read(block.get(), blockSize)) > 0)
        if (!read(std::string_view(block.get(), n))) return;
}

}  // namespace scene
