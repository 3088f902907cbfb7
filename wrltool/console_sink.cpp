#include "console_sink.hpp"

#include <cstdio>
#include <string>

void ConsoleSink::ShowMessage(const std::string& text, MessageIcon icon) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (icon == MessageIcon::Error) problemShown_ = true;
}

void ConsoleSink::ReportFailure(const Failure& failure) {
    std::string line = RunTimeErrorText(failure);
    if (!failure.Path().empty()) line += " (" + failure.Path() + ")";
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    failureReported_ = true;
}

int ConsoleSink::Status() const {
    if (failureReported_) return kExitRunTimeError;
    return problemShown_ ? kExitProblem : kExitDone;
}

int RunReporting(ConsoleSink& sink, const std::function<void(MessageSink&)>& command) {
    try {
        command(sink);
    } catch (const Failure& failure) {
        sink.ReportFailure(failure);
    }
    return sink.Status();
}
