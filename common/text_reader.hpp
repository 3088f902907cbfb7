// Reading text files forward, byte for byte: lines end at CR or CR LF; a lone LF is an
// ordinary character of its line.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.hpp"

namespace scene {

class RunFiles;

// What a file is read as. Exact: every byte as it is (models). List: a TSO list or point file
// as a user's editor saved it: a leading UTF-8 byte-order mark is passed over, and a file that
// begins with a UTF-16 one (either byte order) is read as its text in UTF-8.
enum class TextSource { Exact, List };

class TextFileReader {
  public:
    // Opens for reading, letter case resolved through the run's listings; throws the
    // file-not-found, path-not-found or access failure.
    TextFileReader(RunFiles& files, const std::string& path, TextSource source = TextSource::Exact);
    // Reads, every byte as it is, a file the caller opened and keeps open, from where it stands.
    explicit TextFileReader(platform::ReadableFile& file);
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    const std::string& Path() const { return path_; }

    bool AtEndOfFile();

    // The next line without its line end; valid until the next read. Throws the
    // reading-past-the-end failure at the end of the file.
    std::string_view ReadTextLine() {
        // The common case, inline for the point lists' loop: a source that counts no lines,
        // the line and its CR within the buffer, some byte behind them. The line is then a view
        // into the buffer.
        if (countLines_) return ReadLineAcrossFills();
        const char* const start = buffer_.get() + pos_;
        const auto* cr = static_cast<const char*>(std::memchr(start, '\r', len_ - pos_));
        if (!cr || cr + 1 == buffer_.get() + len_) return ReadLineAcrossFills();
        pos_ = static_cast<size_t>(cr + 1 - buffer_.get());
        lastCrLf_ = buffer_[pos_] == '\n';
        pos_ += lastCrLf_;
        return {start, static_cast<size_t>(cr - start)};
    }
    // The bytes read and not yet taken, for a caller that reads lines where they stand (none
    // from a List source, which counts its lines); TakeUpTo(behind) passes over those lines up
    // to `behind`, which stands behind a line end among them.
    std::string_view Buffered() const {
        return countLines_ ? std::string_view()
                           : std::string_view(buffer_.get() + pos_, len_ - pos_);
    }
    void TakeUpTo(const char* behind) {
        pos_ = static_cast<size_t>(behind - buffer_.get());
        lastCrLf_ = behind[-1] == '\n';
    }
    // How many times the buffer was filled: Buffered() holds other bytes once it changes.
    uint64_t Fills() const { return fills_; }
    // Reads the file's next bytes now into a second buffer, which the next fill takes: the
    // bytes Buffered() shows stay where they are until then. Only once per fill, and not for a
    // List source; without the memory for the second buffer, nothing is read.
    void ReadAhead();
    // The line in pieces, for lines that may be longer than memory: the next piece of the line
    // under way (the first piece begins a line), up to its end or to the end of the buffer.
    // `last` tells whether the line ends with this piece. Valid until the next read.
    std::string_view ReadLinePiece(bool& last);
    // Whether the line last read ended with CR LF (not a lone CR, nor the end of the file).
    bool LastLineEndedWithCrLf() const { return lastCrLf_; }
    // Of a List source: the number, from 1, of the line the next read begins in, as an editor
    // counts lines (a CR LF, a lone CR and a lone LF each end one).
    long LineNumber() const { return lineEnds_ + 1; }

    // The next delimited item: blanks before it skipped; a quoted item runs to its closing
    // quote; any other runs to the next comma or line end. The delimiter is consumed.
    struct Item {
        std::string Text;
        bool Quoted = false;
    };
    void ReadItem(Item& item);

  private:
    std::string_view ReadLineAcrossFills();  // ReadTextLine for every other line
    bool Refill();  // only when everything buffered was used; false at the end of the file
    int Peek();     // the next byte, or -1 at the end of the file
    bool SkipLineEndAfterCr();  // true when a LF followed the CR

    // The file's next bytes as they are; 0 at its end.
    size_t ReadBytes(char* to, size_t size);
    // Refill of a List source: its first fill, and every fill of a UTF-16 file.
    bool RefillList();

    std::unique_ptr<platform::ReadableFile> owned_;  // the file when the reader opened it
    platform::ReadableFile* file_;
    std::string path_;
    size_t capacity_;                 // the buffer's size
    std::unique_ptr<char[]> buffer_;  // not zero-filled
    std::unique_ptr<char[]> ahead_;   // bytes read ahead, kBufferSize of room
    size_t aheadLen_ = 0;
    bool readAhead_ = false;  // ahead_ holds the next fill (none at the end of the file)
    size_t pos_ = 0;
    size_t len_ = 0;
    uint64_t fills_ = 0;
    std::string line_;
    bool lastCrLf_ = false;
    bool countLines_ = false;  // a List source counts its line ends
    long lineEnds_ = 0;
    // Set for a List source until its first bytes show no UTF-16 mark (then it reads on as an
    // Exact one).
    struct ListSource;
    std::unique_ptr<ListSource> list_;
};

// Every byte of the open file from where it stands, in blocks of at most `blockSize` bytes,
// handed to `read` in order; stops early when `read` returns false. Throws the failure when the
// file cannot be read.
void ReadBlocks(platform::ReadableFile& file, size_t blockSize,
                const std::function<bool(std::string_view)>& read);

}  // namespace scene
