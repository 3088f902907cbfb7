#include "point_line.hpp"

#include <emmintrin.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "parse_number.hpp"
#include "strings.hpp"

namespace scene {

namespace {

// Where the blanks at the line's start end, sixteen at a time.
const char* SkipBlanks(const char* at, const char* end) {
    for (; end - at >= 16; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const auto blanks =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '))));
        if (blanks != 0xFFFF) return at + std::countr_zero(~blanks);
    }
    while (at != end && *at == ' ') ++at;
    return at;
}

// The usual point line, "x y z," with single numbers between the blanks and none behind the
// comma, in one pass: false for any other line, and for one ending in "]" (so that a line read
// here holds no "]").
bool ReadUsualPointLine(std::string_view line, Point3& p) {
    const char* const end = line.data() + line.size();
    const char* behind = ScanNumbers(SkipBlanks(line.data(), end), end, p.V, 3);
    return behind && behind + 1 == end && *behind != ']';
}

// Any other line, field by field.
bool ReadPointFields(std::string_view rest, Point3& p) {
    p = {{0, 0, 0}};
    int count = 0;
    bool ok = true;
    const char* at = rest.data();
    const char* const end = at + rest.size();
    for (;;) {
        const char* space = at;
        while (space != end && *space != ' ') ++space;
        const bool last = space == end;
        std::string_view field;
        if (last) {
            if (at == end) return false;  // nothing to drop the comma from
            field = std::string_view(at, static_cast<size_t>(end - at) - 1);
        } else {
            field = std::string_view(at, static_cast<size_t>(space - at));
            at = space + 1;
            while (at != end && *at == ' ') ++at;  // the rest, its blanks removed
        }
        std::optional<double> value = TryParseNumber(field);
        if (!value)
            ok = false;
        else if (count < 3)
            p.V[count] = *value;
        ++count;
        if (last) break;
    }
    return ok && count >= 3;
}

// ReadPointLine, inline for the copy's loop.
[[gnu::always_inline]] inline bool ReadPoint(std::string_view line, Point3& p, bool& ok) {
    ok = ReadUsualPointLine(line, p);
    if (ok) return true;
    const std::string_view trimmed = Trim(line);
    if (Contains(trimmed, "]")) return false;
    ok = ReadPointFields(trimmed, p);
    return true;
}

// The point of a usual line at `at`: where the line and its end stop, or nullptr for any other
// line. The numbers stop at the CR as they stop at the end of a line read alone; behind them one
// character other than "]" or CR, then the CR and a byte that tells whether a LF follows.
[[gnu::always_inline]] inline const char* ReadUsual(const char* at, const char* end, Point3& p) {
    const char* behind = ScanNumbers(SkipBlanks(at, end), end, p.V, 3);
    if (!behind || end - behind < 3 || behind[0] == ']' || behind[0] == '\r' || behind[1] != '\r')
        return nullptr;
    return behind + 2 + (behind[2] == '\n');
}

// The point placed and written as " x y z," and CR LF at `out`; returns the end.
[[gnu::always_inline]] inline char* WritePlaced(const PlacementTurn& turn, const Point3& p,
                                                char* out, bool& ok) {
    Point3 placed = PlacePoint(turn, p);
    ok = KeepInRange(placed);
    out = WriteNumberTexts(out, placed.V, 3);
    std::memcpy(out, ",\r\n", 3);
    return out + 3;
}

}  // namespace

bool ReadPointLine(std::string_view line, Point3& p, bool& ok) {
    return ReadPoint(line, p, ok);
}

char* WritePlacedPointLine(std::string_view line, const PlacementTurn& turn, char* out, bool& ok) {
    Point3 p;
    if (!ReadPoint(line, p, ok)) return nullptr;
    bool inRange;
    out = WritePlaced(turn, p, out, inRange);
    ok = inRange && ok;
    return out;
}

// Built twice where the system picks a function's build at load time: for any x86-64, and for
// those with AVX2 and BMI2, whose three-operand and bit instructions take fewer per line. The
// same bytes from both: no instruction there joins a product and a sum. Not under the thread
// sanitizer, whose runtime is not up yet when the pick is made; its tests run the plain build.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__) && \
    !defined(__SANITIZE_THREAD__)
[[gnu::target_clones("arch=x86-64-v3", "default")]]
#endif
[[gnu::flatten]] const char*
PlaceUsualPointLines(const char* at, const char* stop, const char* end, const PlacementTurn& turn,
                     char*& out, const char* outEnd, int& overflowed) {
    while (at < stop && outEnd - out >= static_cast<std::ptrdiff_t>(kPointLineMax)) {
        Point3 p;
        const char* behind = ReadUsual(at, end, p);
        if (!behind) break;
        bool ok;
        out = WritePlaced(turn, p, out, ok);
        at = behind;
        overflowed += !ok;
    }
    return at;
}

}  // namespace scene
