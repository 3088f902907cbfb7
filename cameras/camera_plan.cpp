#include "camera_plan.hpp"

#include "camera_file.hpp"
#include "path_syntax.hpp"
#include "plan_problems.hpp"

namespace scene {

namespace {

// A coordinate as the camera file writes it: a negated zero is 0.
double Written(double value) {
    return value == 0 ? 0 : value;
}

PlannedPlacement Camera(long long i, const CameraPoints& points) {
    const bool read = static_cast<size_t>(i) <= points.Starts.size();
    const CameraStart start = read ? points.Starts[static_cast<size_t>(i - 1)] : CameraStart{};
    PlannedPlacement camera;
    camera.Index = static_cast<int>(i);
    camera.Line = static_cast<int>(start.Line);
    camera.Name = "camera";
    camera.Label = read ? CameraNumber(i) : std::string();
    camera.X = Written(start.X);
    camera.Y = Written(start.Y);
    camera.Z = Written(start.Z);
    camera.Top = {{camera.X, camera.Z}};
    camera.Side = {{camera.X, camera.Y}};
    return camera;
}

}  // namespace

Plan PlanCameraFile(const std::string& folder, const std::string& fileName, std::stop_token stop) {
    Plan plan;
    plan.Source = JoinPath(folder, fileName);
    plan.Note = "start positions are the points negated";
    try {
        RunFiles files(platform::SystemFileSystem());
        const CameraPoints points = ReadCameraPoints(files, plan.Source);
        for (long long i = 1; i <= points.Count && !stop.stop_requested(); ++i)
            plan.Placements.push_back(Camera(i, points));
        if (points.Starts.size() < static_cast<size_t>(points.Count))
            plan.Problems.push_back({ProblemKind::UnreadableNumber, 0, -1,
                                     "cameras " + std::to_string(points.Starts.size() + 1) +
                                         " to " + std::to_string(points.Count) +
                                         " have no point: they start at 0,0,0"});
        if (!CameraOutputPath(plan.Source)) {
            plan.ExitStatus = 1;
            plan.Problems.push_back({ProblemKind::RunEnds, 0, -1, std::string(kWouldReplace)});
        }
    } catch (const std::exception& stopped) {
        const std::optional<Failure> failure = AsFailure(stopped);
        plan.ExitStatus = 3;
        plan.Problems.push_back(
            {ProblemKind::RunEnds, 0, -1, failure ? RunTimeErrorLine(*failure) : stopped.what()});
    }
    AddPlacementProblems(plan);
    plan.Stopped = stop.stop_requested();
    return plan;
}

}  // namespace scene
