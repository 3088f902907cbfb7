#include "console_sink.hpp"

void ConsoleSink::ShowMessage(const std::string& text, MessageIcon icon) {
    if (icon == MessageIcon::Error) problemShown_ = true;
    out_ << text << '\n' << std::flush;
}

void ConsoleSink::ReportFailure(const Failure& failure) {
    failed_ = true;
    err_ << RunTimeErrorText(failure);
    if (!failure.Path().empty()) err_ << " (" << failure.Path() << ')';
    err_ << '\n' << std::flush;
}

int ConsoleSink::ExitStatus() const {
    if (failed_) return kExitRunTimeError;
    return problemShown_ ? kExitProblem : kExitDone;
}

int RunReporting(ConsoleSink& sink, const std::function<void(MessageSink&)>& command) {
    try {
        command(sink);
    } catch (const Failure& failure) {
        sink.ReportFailure(failure);
    }
    return sink.ExitStatus();
}
