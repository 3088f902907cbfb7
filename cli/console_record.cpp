#include "console_record.hpp"

#include "number_text.hpp"

namespace scene {

namespace {

std::string PlacementText(const Placement& p) {
    return "X " + PlainNumberText(p.X) + ", Y " + PlainNumberText(p.Y) + ", Z " +
           PlainNumberText(p.Z) + ", orientation " + PlainNumberText(p.Orientation) + ", angle Z " +
           PlainNumberText(p.AngleZ) + ", angle X " + PlainNumberText(p.AngleX);
}

}  // namespace

void ConsoleRecord::Written(const std::string& path) {
    if (listing_) written_.push_back(path);
}

void ConsoleRecord::FileWritten(const std::string& path) {
    if (dryRunVerb_.empty()) return Written(path);
    out_.PrintLine(dryRunVerb_ + path);
}

void ConsoleRecord::Placed(const PlacementOutcome& outcome) {
    const bool written = outcome.Outcome == PlacementOutcome::Result::Written;
    if (dryRunVerb_.empty()) {
        if (outcome.Repaired) Written(outcome.ModelPath);
        if (written) Written(outcome.CopyPath);
        return;
    }
    if (outcome.Repaired) out_.PrintLine("would repair " + outcome.ModelPath);
    if (written)
        out_.PrintLine("would write " + outcome.CopyPath + " from " + outcome.ModelPath + " at " +
                       PlacementText(outcome.Place));
    // One line per failed step; the first failure tells for them all.
    for (int i = 0; i < outcome.Failures.Count; ++i) {
        const Failure& failure = *outcome.Failures.First;
        std::string text = "would fail: ";
        text += failure.Description();
        out_.PrintLine(failure.Path().empty() ? text : WithDetail(text, failure.Path()));
    }
}

void ConsoleRecord::PrintWritten() {
    for (const std::string& path : written_) out_.PrintLine("wrote " + path);
    written_.clear();
}

}  // namespace scene
