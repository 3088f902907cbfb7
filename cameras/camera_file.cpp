#include "camera_file.hpp"

#include <cmath>
#include <cstdint>
#include <vector>

#include "mgp_header.hpp"
#include "number_text.hpp"
#include "parse_number.hpp"
#include "paths.hpp"
#include "strings.hpp"
#include "text_reader.hpp"
#include "text_writer.hpp"

namespace scene {

namespace {

// One point line: "PointPos=(" removed, every ")" made a ",", then three comma-ended fields.
// False for a line of blanks only, which ends the points.
bool ReadPoint(std::string_view line, const std::string& path, CameraStart& start,
               std::string& text) {
    // Every "PointPos=(" removed (scanning on behind each), every ")" made a ",".
    constexpr std::string_view kPrefix = "PointPos=(";
    text.clear();
    for (size_t from = 0; from < line.size();) {
        size_t at = line.find(kPrefix, from);
        if (at == std::string_view::npos) at = line.size();
        text.append(line.substr(from, at - from));
        from = at + kPrefix.size();
    }
    for (char& c : text)
        if (c == ')') c = ',';
    if (Trim(text).empty()) return false;
    std::string_view rest = text;
    double values[3];
    for (double& value : values) {
        size_t comma = rest.find(',');
        // A field without its comma: the text before it would have length -1.
        if (comma == std::string_view::npos) throw Failure(FailureKind::InvalidArgument, path);
        value = -WithFailurePath(path, [&] { return ParseNumber(rest.substr(0, comma)); });
        rest.remove_prefix(comma + 1);
    }
    start.X = values[0];
    start.Y = values[1];
    start.Z = values[2];
    return true;
}

// NumberText without its sign blank; a negated zero (-0) is written as 0 like any zero.
void AppendCoordinate(std::string& out, double value) {
    char text[kNumberTextMax];
    const char* end = WriteNumberText(text, value);
    const char* begin = text[0] == ' ' ? text + 1 : text;
    out.append(begin, static_cast<size_t>(end - begin));
}

// Lines 3 to 11 of every camera block, each with its CR LF.
constexpr std::string_view kBlockMiddle =
    "{\r\n"
    "  Intensity=(0.90,0.00)\r\n"
    "  Directional=(10.0,-10.0,5.0)\r\n"
    "  DepthCueIn=(100.0) DepthCueOut=(50.0)\r\n"
    "  BGClear=True\r\n"
    "  BGColor=(98,144,228)\r\n"
    "  VPSize=(1.0,1.0)  VPCenter=(0.5,0.5)\r\n"
    "  ViewFOV=(46.49, 37.93)\r\n"
    "  ViewFPD=(0.00) ViewBPD=(350.00)\r\n";

// Lines 13 to 15.
constexpr std::string_view kBlockEnd =
    "  Orient=(18.0, 90.0, 0.0)\r\n"
    "}\r\n"
    "\r\n";

// The fifteen lines of one camera, appended to `block`.
void AppendCameraBlock(std::string& block, const std::string& number, const CameraStart& start) {
    block.append("// Camera").append(number).append("\r\n");
    block.append("View=Camera").append(number).append("\r\n");
    block.append(kBlockMiddle);
    block.append("  Start=(");
    AppendCoordinate(block, start.X);
    block += ',';
    AppendCoordinate(block, start.Y);
    block += ',';
    AppendCoordinate(block, start.Z);
    block.append(")\r\n");
    block.append(kBlockEnd);
}

// Whether the file begins with the camera file's first line; false when it cannot be read.
bool BeginsAsCameraFile(platform::FileSystem& system, const std::string& path) {
    try {
        const std::unique_ptr<platform::ReadableFile> file = system.OpenForReading(path);
        std::string head(kCameraFileHead.size(), '\0');
        size_t read = 0;
        while (read < head.size()) {
            const size_t got = file->Read(head.data() + read, head.size() - read);
            if (got == 0) return false;
            read += got;
        }
        return head == kCameraFileHead;
    } catch (const Failure&) {
        return false;
    }
}

// Whether the camera file may be written to its path: nothing is there, an earlier camera file,
// something the writer refuses by itself (a folder, a read-only file), or a file the user
// agrees to lose.
bool MayTakeThePlaceOf(RunContext& run, const std::string& cameraPath) {
    const std::string target = run.Files.ResolveCase(cameraPath);
    platform::FileSystem& system = run.Files.System();
    const platform::TargetState state = system.StateOf(target);
    if (!state.Exists || state.Folder || state.ReadOnly || BeginsAsCameraFile(system, target))
        return true;
    return run.Messages.AskYesNo(std::string(kReplaceQuestion), target);
}

}  // namespace

std::string CameraFilePath(std::string_view pointFilePath) {
    return ReplaceAll(pointFilePath, ".mgp", ".txt");
}

std::optional<std::string> CameraOutputPath(const std::string& pointFilePath) {
    std::string path = CameraFilePath(pointFilePath);
    if (path != pointFilePath) return path;
    const std::string name = NameOf(pointFilePath);
    constexpr std::string_view kExtension = ".mgp";
    if (name.size() >= kExtension.size() &&
        EqualsIgnoringCase(std::string_view(name).substr(name.size() - kExtension.size()),
                           kExtension)) {
        path.replace(path.size() - kExtension.size(), kExtension.size(), ".txt");
        return path;
    }
    return std::nullopt;
}

std::string CameraNumber(long long index) {
    std::string digits(Trim(NumberText(static_cast<double>(index))));
    return index < 10 ? "0" + digits : digits;
}

CameraPoints ReadCameraPoints(RunFiles& files, const std::string& pointPath) {
    // The table grows only with the points actually read, so a count that the file does not
    // hold cannot allocate anything before the file runs out.
    CameraPoints cameras;
    TextFileReader points(files, pointPath, TextSource::List);
    std::string_view header = points.ReadTextLine();
    double count = 0;
    if (IsMgpHeader(header))
        count = WithFailurePath(points.Path(), [&] { return ParseNumber(MgpCountText(header)); });
    // The count is 16-bit, as the file check shows it. A larger one would let a blank point
    // line (which ends the reading) be followed by camera blocks without end.
    if (count > INT16_MAX) throw Failure(FailureKind::Overflow, points.Path());
    // The cameras i = 1, 2, ... while i does not exceed the count.
    cameras.Count = count >= 1 ? static_cast<long long>(std::floor(count)) : 0;
    std::string text;
    for (long long i = 1; i <= cameras.Count; ++i) {
        CameraStart start;
        start.Line = points.LineNumber();
        if (!ReadPoint(points.ReadTextLine(), points.Path(), start, text)) break;
        cameras.Starts.push_back(start);
    }
    return cameras;
}

void GenerateCameraFile(RunContext& run, const std::string& folder, const std::string& fileName) {
    const std::string pointPath = JoinPath(folder, fileName);
    const CameraPoints points = ReadCameraPoints(run.Files, pointPath);
    std::optional<std::string> cameraPath = CameraOutputPath(pointPath);
    if (!cameraPath) {
        run.Messages.ShowMessage(std::string(kWouldReplace), MessageIcon::Error);
        return;
    }
    if (!MayTakeThePlaceOf(run, *cameraPath)) return;
    TextFileWriter cameras(run.Files, *cameraPath, platform::Durability::Replaceable);
    cameras.WriteTextLine(kCameraFileHead);
    cameras.WriteTextLine("");
    // Every camera of the count, also those whose point was never read: no number, start 0.
    const CameraStart unread;
    std::string block;
    for (long long i = 1; i <= points.Count; ++i) {
        const bool read = static_cast<size_t>(i) <= points.Starts.size();
        block.clear();
        AppendCameraBlock(block, read ? CameraNumber(i) : std::string(),
                          read ? points.Starts[static_cast<size_t>(i - 1)] : unread);
        cameras.Write(block);
    }
    cameras.Commit();
    run.Messages.ShowMessage("Done", MessageIcon::None);
}

}  // namespace scene
