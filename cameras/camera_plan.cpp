// PROVISIONAL: replaced by the engine's plan
#include "camera_plan.hpp"

#include <cstdlib>

#include "camera_file.hpp"
#include "paths.hpp"
#include "text_reader.hpp"

namespace scene {

namespace {

constexpr std::string_view kPointPrefix = "PointPos=(";

// A camera at the point of a line "PointPos=(x,y,z)", negated.
PlannedPlacement Camera(std::string_view line, int lineNumber, int number) {
    std::string text(line.substr(kPointPrefix.size()));
    const char* at = text.c_str();
    double values[3] = {};
    for (double& value : values) {
        char* end = nullptr;
        value = -std::strtod(at, &end);
        at = *end == ',' ? end + 1 : end;
    }
    PlannedPlacement camera;
    camera.Line = lineNumber;
    camera.Index = number;
    camera.Label = CameraNumber(number);
    camera.Name = "PointPos";
    camera.X = values[0];
    camera.Y = values[1];
    camera.Z = values[2];
    camera.Top = {{camera.X, camera.Z}};
    camera.Side = {{camera.X, camera.Y}};
    return camera;
}

}  // namespace

Plan PlanCameraFile(const std::string& folder, const std::string& fileName, std::stop_token stop) {
    Plan plan;
    plan.Source = JoinPath(folder, fileName);
    plan.Note = "start positions are the points negated";
    TextFileReader file(plan.Source, TextSource::List);  // throws as the command does
    for (int line = 1; !file.AtEndOfFile() && !stop.stop_requested(); ++line) {
        std::string_view text = file.ReadTextLine();
        if (text.substr(0, kPointPrefix.size()) != kPointPrefix) continue;
        const int number = static_cast<int>(plan.Placements.size()) + 1;
        plan.Placements.push_back(Camera(text, line, number));
    }
    plan.Stopped = stop.stop_requested();
    return plan;
}

}  // namespace scene
