#include "point_split.hpp"

#include <algorithm>
#include <cstring>

#include "point_line.hpp"

namespace scene {

namespace {

// A half's text: room for four times the bytes of half a full buffer (a usual line of 40 bytes
// or more is written in fewer than four times its bytes); a half of shorter lines stops when
// its text is full, and the rest is placed next time.
constexpr size_t kHalfTextBytes = 4 * (128 << 10);

// Where the line holding `middle` ends: behind its CR, and its LF if one follows. Null when no
// CR with a byte behind it stands before `end` (whether a LF follows is not known).
const char* LineEndFrom(const char* middle, const char* end) {
    const auto* cr =
        static_cast<const char*>(std::memchr(middle, '\r', static_cast<size_t>(end - middle)));
    if (!cr || end - cr < 2) return nullptr;
    return cr + 1 + (cr[1] == '\n');
}

}  // namespace

SplitPointLines::SplitPointLines(platform::FileSystem& system)
    : first_(std::make_unique_for_overwrite<char[]>(kHalfTextBytes)),
      second_(std::make_unique_for_overwrite<char[]>(kHalfTextBytes)),
      jobs_(system, 2) {}

// The lines in pieces of room for 256, so that a half no longer wanted ends soon.
SplitPointLines::Half SplitPointLines::PlaceHalf(const char* at, const char* stop, const char* end,
                                                 const PlacementTurn& turn, char* text,
                                                 const std::atomic<bool>& unwanted) noexcept {
    char* out = text;
    int overflowed = 0;
    const char* const textEnd = text + kHalfTextBytes;
    for (;;) {
        const char* pieceEnd =
            out + std::min(256 * kPointLineMax, static_cast<size_t>(textEnd - out));
        at = PlaceUsualPointLines(at, stop, end, turn, out, pieceEnd, overflowed);
        const bool pieceFull = pieceEnd - out < static_cast<std::ptrdiff_t>(kPointLineMax);
        if (at >= stop || !pieceFull || pieceEnd == textEnd ||
            unwanted.load(std::memory_order_relaxed))
            break;
    }
    Half half;
    half.Stop = at;
    half.Written = static_cast<size_t>(out - text);
    half.Overflowed = overflowed;
    return half;
}

// The second half on the other thread, written there once the first is; meanwhile this thread
// places and writes the first, then reads the next fill. A first half that ends before the cut
// makes the second unwanted.
SplitPointLines::Half SplitPointLines::PlaceHalves(TextFileReader& in, const char* begin,
                                                   const char* cut, const char* listEnd,
                                                   const char* end, const PlacementTurn& turn,
                                                   TextFileWriter& out, Half& second) {
    unwanted_ = false;
    handoff_ = kPending;
    secondPlaced_ = false;
    const std::thread::id caller = std::this_thread::get_id();
    jobs_.Add([&, caller] { return PlaceSecond(cut, listEnd, end, turn, out, caller); });
    const Half first = PlaceHalf(begin, cut, end, turn, first_.get(), unwanted_);
    if (first.Stop != cut) unwanted_ = true;
    try {
        out.Write({first_.get(), first.Written});
    } catch (...) {  // a write that failed (a full disk): the other half ends before this frame
        unwanted_ = true;
        HandOff(kDropSecond);
        jobs_.TakeNext();
        throw;
    }
    // The second half's write follows the first's: the other thread's placing should end as
    // this thread's write does. Whichever waited takes a larger share next time.
    firstShare_ = secondPlaced_ ? std::max(kLeastFirstShare, firstShare_ - kShareStep)
                                : std::min(kMostFirstShare, firstShare_ + kShareStep);
    HandOff(first.Stop == cut ? kWriteSecond : kDropSecond);
    std::exception_ptr readFailure;
    try {
        in.ReadAhead();  // the second half's bytes stay where they are
    } catch (...) {
        readFailure = std::current_exception();
    }
    second = *jobs_.TakeNext();  // also when unused: it reads the reader's bytes
    // The second half's write went first, as on one thread.
    if (second.WriteFailure) std::rethrow_exception(second.WriteFailure);
    if (readFailure) std::rethrow_exception(readFailure);
    return first;
}

SplitPointLines::Half SplitPointLines::PlaceSecond(const char* cut, const char* listEnd,
                                                   const char* end, const PlacementTurn& turn,
                                                   TextFileWriter& out, std::thread::id caller) {
    Half half = PlaceHalf(cut, listEnd, end, turn, second_.get(), unwanted_);
    secondPlaced_ = true;
    // Run on the caller's thread (no other started, or none was free yet): written there.
    if (std::this_thread::get_id() == caller) return half;
    handoff_.wait(kPending);
    if (handoff_.load() != kWriteSecond) return half;
    try {
        out.Write({second_.get(), half.Written});
    } catch (...) {  // a want of memory too: this job must not run again after a part was written
        half.WriteFailure = std::current_exception();
    }
    half.WrittenThere = true;
    return half;
}

bool SplitPointLines::Place(TextFileReader& in, const PlacementTurn& turn, TextFileWriter& out,
                            int& overflowed) {
    const std::string_view bytes = in.Buffered();
    if (in.Fills() != fill_) retryAt_ = SIZE_MAX;
    fill_ = in.Fills();
    if (bytes.size() < kSplitPointBytes || bytes.size() > retryAt_) return false;
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    // The list ends on the line of the first "]": no usual line holds one.
    const auto* bracket = static_cast<const char*>(std::memchr(begin, ']', bytes.size()));
    const char* const listEnd = bracket ? bracket : end;
    const char* const cut = LineEndFrom(begin + (listEnd - begin) * firstShare_ / 1024, listEnd);
    if (listEnd - begin < static_cast<std::ptrdiff_t>(kSplitPointBytes) || !cut) {
        retryAt_ = static_cast<size_t>(end - listEnd);
        return false;
    }
    Half second;
    const Half first = PlaceHalves(in, begin, cut, listEnd, end, turn, out, second);
    overflowed += first.Overflowed;
    const char* taken = first.Stop;
    retryAt_ = static_cast<size_t>(end - cut);
    if (first.Stop == cut) {  // the second half follows on; otherwise it is placed again later
        if (!second.WrittenThere) out.Write({second_.get(), second.Written});
        overflowed += second.Overflowed;
        taken = second.Stop;
        retryAt_ = SIZE_MAX;
    }
    if (taken == begin) return false;
    in.TakeUpTo(taken);
    return true;
}

}  // namespace scene
