// The usual point lines of a large model placed on two threads at once: the lines the reader
// holds, up to the list's end, are cut at a line end near their middle; the second half is
// placed on another thread while the caller's thread places and writes the first, then written
// there while the caller's thread reads the model's next bytes.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <thread>

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
        bool WrittenThere = false;        // its text written to `out` by the other thread
        std::exception_ptr WriteFailure;  // what that write threw
    };
    // What the caller's thread tells the other once the first half is written.
    enum Handoff : int { kPending, kWriteSecond, kDropSecond };

    // Both halves placed and written to `out` in order, the next fill read meanwhile; the
    // second's text stays in second_ when the other thread did not write it.
    Half PlaceHalves(TextFileReader& in, const char* begin, const char* cut, const char* listEnd,
                     const char* end, const PlacementTurn& turn, TextFileWriter& out, Half& second);
    // The second half, on the other thread; written there once the first is.
    Half PlaceSecond(const char* cut, const char* listEnd, const char* end,
                     const PlacementTurn& turn, TextFileWriter& out, std::thread::id caller);
    void HandOff(Handoff handoff) {
        handoff_.store(handoff);
        handoff_.notify_one();
    }
    static Half PlaceHalf(const char* at, const char* stop, const char* end,
                          const PlacementTurn& turn, char* text,
                          const std::atomic<bool>& unwanted) noexcept;

    std::unique_ptr<char[]> first_, second_;  // each half's text
    std::atomic<bool> unwanted_ = false;      // the second half's text will not be used
    std::atomic<int> handoff_ = kPending;
    std::atomic<bool> secondPlaced_ = false;
    // The first half's share of the bytes cut, in 1024ths: what a write costs differs from one
    // file system to another, so the share follows which thread waited for the other.
    static constexpr int kLeastFirstShare = 256, kMostFirstShare = 768, kShareStep = 8;
    int firstShare_ = 448;
    // Cut again once no more than retryAt_ bytes are buffered, or in the reader's next fill.
    size_t retryAt_ = SIZE_MAX;
    uint64_t fill_ = 0;
    OrderedJobs<Half> jobs_;  // last: its thread ends before what it uses goes
};

}  // namespace scene
