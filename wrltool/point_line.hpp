// The lines of a model's point list: each recognised, read, placed and written in one pass.
#pragma once

#include <cstddef>
#include <string_view>

#include "model_copy.hpp"
#include "number_text.hpp"

namespace scene {

// The longest placed point line: three numbers, each behind a blank, the comma and CR LF.
inline constexpr size_t kPointLineMax = 3 * (kNumberTextMax + 1) + 3;

// Reads the point of a line of a point list; false for a line holding "]", which ends the list
// and is no point. The line's numbers stand between blanks, the last followed by one character
// (the comma); a missing or rejected one is 0, and `ok` tells whether there was any.
bool ReadPointLine(std::string_view line, Point3& p, bool& ok);

// Writes the point of a line of a point list placed, as " x y z," and CR LF, at `out`
// (kPointLineMax bytes) and returns the end; nullptr for a line holding "]". Read as
// ReadPointLine reads it; a placed coordinate beyond the double range is 0 too, and `ok` false.
char* WritePlacedPointLine(std::string_view line, const PlacementTurn& turn, char* out, bool& ok);

// The usual lines ("x y z,": blanks between the three numbers, one character other than "]"
// behind the last) from `at` on that begin before `stop`, each standing whole with its CR and a
// byte behind that before `end`, placed and written at `out` as WritePlacedPointLine writes
// them, while `out` has room for one more before `outEnd`. Returns where the lines placed end
// (the first other line, or `stop`); `out` then stands behind their text. Counts in
// `overflowed` the lines with a coordinate placed beyond the double range.
const char* PlaceUsualPointLines(const char* at, const char* stop, const char* end,
                                 const PlacementTurn& turn, char*& out, const char* outEnd,
                                 int& overflowed);

}  // namespace scene
