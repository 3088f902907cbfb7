// The usual point lines of a large model placed on two threads at once: the lines the reader
// holds, up to the list's end, are cut at a line end near their middle; the second half is
// placed on another thread while the caller's thread places and writes the first.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "model_copy.hpp"
#include "ordered_jobs.hpp"

namespace scene {

// Buffered bytes below this are placed line by line: cutting them would cost more than it gains.
inline constexpr size_t kSplitPointBytes = 64 << 10;

class SplitPointLines {
  public:
    // The second thread is started by the file system; without it both halves run here.
    explicit SplitPointLines(platform::FileSystem& system);

    // Places and writes to `out` the usual point lines that stand whole at the start of the
    // reader's buffered bytes, up to the first other line, and takes them from the reader.
    // Counts in `overflowed` the lines with a coordinate placed beyond the double range (written
    // as 0). False, and nothing taken, when the lines up to the list's end are too few to cut,
    // and, after lines that were not all placed, until the reader has passed where they were cut
    // or read on: the caller then reads line by line (so odd lines cost no cutting each).
    bool Place(TextFileReader& in, const PlacementTurn& turn, TextFileWriter& out, int& overflowed);

  private:
    struct Half {
        const char* Stop = nullptr;  // behind the last line placed
        size_t Written = 0;          // bytes of text
        int Overflowed = 0;
    };
    // Both halves placed, the first written to `out`; the second's text waits in second_.
    Half PlaceHalves(const char* begin, const char* cut, const char* listEnd, const char* end,
                     const PlacementTurn& turn, TextFileWriter& out, Half& second);
    static Half PlaceHalf(const char* at, const char* stop, const char* end,
                          const PlacementTurn& turn, char* text,
                          const std::atomic<bool>& unwanted) noexcept;

    std::unique_ptr<char[]> first_, second_;  // each half's text
    std::atomic<bool> unwanted_ = false;      // the second half's text will not be used
    // Cut again once no more than retryAt_ bytes are buffered, or in the reader's next fill.
    size_t retryAt_ = SIZE_MAX;
    uint64_t fill_ = 0;
    OrderedJobs<Half> jobs_;  // last: its thread ends before what it uses goes
};

}  // namespace scene
