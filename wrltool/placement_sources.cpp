#include "placement_sources.hpp"

#include <cstdint>
#include <optional>

#include "failure.hpp"
#include "mgp_header.hpp"
#include "parse_number.hpp"
#include "paths.hpp"
#include "strings.hpp"

namespace scene {

namespace {

// Placement counts are 16-bit: a TSO list gives at most 32766 placements, an MGP file at most
// 32767 (one per line).
constexpr size_t kMaxTsoPlacements = INT16_MAX - 1;
constexpr size_t kMaxMgpLines = INT16_MAX;
constexpr int kMgpValues = 8;  // X, Y, Z, Orientation, AngleZ, AngleX, Index, Extra

PlacementList ReadManualPlacement(const DuplicateInputs& in) {
    Placement p;
    p.Name = in.Text2;
    p.X = ParseNumber(in.Text3);
    p.Y = ParseNumber(in.Text4);
    p.Z = ParseNumber(in.Text5);
    p.Orientation = ParseNumber(in.Text6);
    return {{p}, {}};
}

// A point line "Name=(v1,v2,...)": the values go to X, Y, Z, Orientation, AngleZ, AngleX,
// Index and Extra in this order; text after the last comma is not used.
Placement ReadMgpLine(std::string_view trimmed, const std::string& path) {
    Placement p;
    std::string text = ReplaceAll(ReplaceAll(trimmed, "=(", ","), ")", ",");
    double* const values[kMgpValues] = {&p.X,      &p.Y,      &p.Z,     &p.Orientation,
                                        &p.AngleZ, &p.AngleX, &p.Index, &p.Extra};
    std::string_view rest = text;
    int field = 0;
    for (size_t comma; (comma = rest.find(',')) != std::string_view::npos; ++field) {
        std::string_view item = rest.substr(0, comma);
        rest = Trim(rest.substr(comma + 1));
        if (field == 0)
            p.Name = item;
        else if (field <= kMgpValues)
            *values[field - 1] = WithFailurePath(path, [&] { return ParseNumber(item); });
        else
            throw Failure(FailureKind::OutOfRange, path);
    }
    return p;
}

PlacementList ReadMgpPlacements(RunFiles& files, const DuplicateInputs& in) {
    TextFileReader file(files, SourcePath(in), TextSource::List);
    std::vector<Placement> list;
    while (!file.AtEndOfFile()) {
        if (list.size() == kMaxMgpLines) throw Failure(FailureKind::Overflow, file.Path());
        const long lineNumber = file.LineNumber();
        std::string_view line = Trim(file.ReadTextLine());
        if (IsMgpHeader(line)) {  // the header's position holds an empty placement
            list.emplace_back().Line = lineNumber;
            continue;
        }
        Placement p = ReadMgpLine(line, file.Path());
        if (TakesOrientationAngle(in)) p.Orientation = ParseNumber(in.Text1);
        p.Index = static_cast<double>(list.size());
        p.Line = lineNumber;
        list.push_back(std::move(p));
    }
    return {std::move(list), {}};
}

PlacementList ReadTsoPlacements(RunFiles& files, const DuplicateInputs& in) {
    TextFileReader file(files, SourcePath(in), TextSource::List);
    PlacementList read;
    std::vector<Placement>& list = read.Placements;
    while (!file.AtEndOfFile()) {
        TsoRecord record = ReadTsoRecord(file);
        while (IsTsoComment(record)) record = ReadTsoRecord(file);  // past the end: fails
        if (list.size() == kMaxTsoPlacements) throw Failure(FailureKind::Overflow, file.Path());
        read.UnreadNumberLines.insert(read.UnreadNumberLines.end(), record.Unread.begin(),
                                      record.Unread.end());
        Placement p;
        p.Line = record.Line;
        p.Name = std::move(record.Name);
        p.X = record.N[0];
        p.Z = record.N[1];  // the second number is Z
        p.Y = record.N[2];  // the third is Y, the vertical offset
        p.Orientation = record.N[3];
        p.AngleZ = record.N[4];
        p.AngleX = record.N[5];
        p.Index = static_cast<double>(list.size());
        list.push_back(std::move(p));
    }
    return read;
}

}  // namespace

TsoRecord ReadTsoRecord(TextFileReader& file) {
    TsoRecord record;
    TextFileReader::Item item;
    record.Line = file.LineNumber();
    file.ReadItem(item);
    record.Name = std::move(item.Text);
    for (double& number : record.N) {
        const long line = file.LineNumber();
        file.ReadItem(item);
        FailureKind why = FailureKind::TypeMismatch;
        std::optional<double> value = TryParseNumber(item.Text, &why);
        if (!value && why == FailureKind::Overflow) throw Failure(why, file.Path());
        if (!value) record.Unread.push_back(line);
        number = value.value_or(0);  // an item that is no number gives 0
    }
    return record;
}

bool IsTsoComment(const TsoRecord& record) {
    std::string_view name = Trim(record.Name);
    return name.empty() || name.front() == '/';
}

std::string SourcePath(const DuplicateInputs& inputs) {
    return JoinPath(inputs.TSOfolderPath, inputs.TSOfolderFileName);
}

PlacementList ReadPlacements(RunFiles& files, const DuplicateInputs& inputs) {
    if (IsManualMode(inputs)) return ReadManualPlacement(inputs);
    if (UsesMgpFile(inputs)) return ReadMgpPlacements(files, inputs);
    return ReadTsoPlacements(files, inputs);
}

}  // namespace scene
