// Where the placements come from: the manual fields, an MGP point file or a TSO list file.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "duplicate_inputs.hpp"
#include "placement.hpp"
#include "run_files.hpp"
#include "text_reader.hpp"

namespace scene {

// One record of a TSO list: a name and six numbers (X, Z, Y, Orientation, AngleZ, AngleX).
struct TsoRecord {
    std::string Name;
    std::array<double, 6> N{};
    long Line = 0;             // the line its first item stands in
    std::vector<long> Unread;  // the lines of its number items that are no number
};

// The next seven items, across lines. A number item that is no number gives 0. Throws the
// reading-past-the-end failure when the file ends inside the record.
TsoRecord ReadTsoRecord(TextFileReader& file);

// A record whose name, without blanks at both ends, begins with "/" or is empty.
bool IsTsoComment(const TsoRecord& record);

// The placements of a list, and the lines of its number items that were no number (read as 0).
struct PlacementList {
    std::vector<Placement> Placements;
    std::vector<long> UnreadNumberLines;
};

// The placement list of the mode the inputs choose: manual (Check4), MGP (Check2) or TSO list.
// Throws the failure (with the source file's path where there is one) when the list cannot be
// read whole.
PlacementList ReadPlacements(RunFiles& files, const DuplicateInputs& inputs);

// The source file of MGP and TSO list mode: TSOfolder's path and selected file, joined.
std::string SourcePath(const DuplicateInputs& inputs);

}  // namespace scene
