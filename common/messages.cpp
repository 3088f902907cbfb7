#include "messages.hpp"

#include <optional>

namespace scene {

void MessageSink::ShowFileProblem(const std::string& text, const std::string& detail) {
    ShowMessage(WithDetail(text, detail), MessageIcon::Error);
}

std::string WithDetail(const std::string& text, const std::string& detail) {
    return text + " (" + detail + ")";
}

std::string RunTimeErrorText(const Failure& failure) {
    return "Run-time error '" + std::to_string(failure.Number()) + "': " + failure.Description();
}

std::string RunTimeErrorLine(const Failure& failure) {
    const std::string text = RunTimeErrorText(failure);
    return failure.Path().empty() ? text : WithDetail(text, failure.Path());
}

void RunReported(MessageSink& sink, const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& stopped) {
        if (std::optional<Failure> failure = AsFailure(stopped))
            sink.ReportFailure(*failure);
        else
            sink.ReportUnexpected(stopped.what());
    }
}

ProgressDisplay& ProgressDisplay::None() {
    struct NoProgress : ProgressDisplay {
        void Show(Work, int, int) override {}
    };
    static NoProgress none;
    return none;
}

std::string GroupedCount(long count) {
    std::string text = std::to_string(count);
    const size_t firstDigit = count < 0 ? 1 : 0;
    for (size_t at = text.size(); at > firstDigit + 3; at -= 3) text.insert(at - 3, 1, ',');
    return text;
}

std::string ProgressText(Work work, int done, int total) {
    std::string text = work == Work::WritingCopies ? "Writing copy " : "Fixing model ";
    text.append(GroupedCount(done < total ? done + 1 : total));
    text.append(" of ");
    text.append(GroupedCount(total));
    return text;
}

std::string StoppedText(Work work, int done, int total) {
    std::string text = "Stopped: ";
    text.append(GroupedCount(done));
    text.append(" of ");
    text.append(GroupedCount(total));
    text.append(work == Work::WritingCopies ? " copies written" : " models checked");
    return text;
}

}  // namespace scene
