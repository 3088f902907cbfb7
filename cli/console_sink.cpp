#include "console_sink.hpp"

#include <exception>
#include <optional>

namespace scene {

void ConsoleSink::ShowMessage(const std::string& text, MessageIcon icon) {
    ClearProgress();
    if (icon == MessageIcon::Error) problemShown_ = true;
    out_ << text << '\n' << std::flush;
}

void ConsoleSink::ShowFileProblem(const std::string& text, const std::string& detail) {
    ShowMessage(text + " (" + detail + ")", MessageIcon::Error);
}

void ConsoleSink::ReportFailure(const Failure& failure) {
    ClearProgress();
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
    // Whatever stops the command is reported as a run-time error; the program never aborts.
    try {
        command(sink);
    } catch (const std::exception& stopped) {
        if (std::optional<Failure> failure = AsFailure(stopped))
            sink.ReportFailure(*failure);
        else
            sink.ReportUnexpected(stopped.what());
    }
    sink.PrintWrittenFiles();  // also the files written before a failure stopped the command
    return sink.ExitStatus();
}

void ConsoleSink::ReportUnexpected(const std::string& what) {
    ClearProgress();
    err_ << "Run-time error: " << what << '\n';
    failed_ = true;
}

void ConsoleSink::Progress(Work, int done, int total) {
    if (!progress_) return;
    const auto now = now_();
    if (done == 0) progressStart_ = now;
    if (now - progressStart_ < std::chrono::seconds(1)) return;
    err_ << '\r' << done << '/' << total << std::flush;
    progressShown_ = true;
}

void ConsoleSink::ClearProgress() {
    if (!progressShown_) return;
    err_ << "\r\x1b[K" << std::flush;  // back to the line start, erase the line
    progressShown_ = false;
}

void ConsoleSink::DryRunLine(const std::string& text) {
    ClearProgress();
    out_ << text << '\n' << std::flush;
}

void ConsoleSink::FileWritten(const std::string& path) {
    if (listWritten_) written_.push_back(path);
}

void ConsoleSink::PrintWrittenFiles() {
    ClearProgress();
    for (const std::string& path : written_) out_ << "wrote " << path << '\n';
    out_ << std::flush;
    written_.clear();
}

}  // namespace scene
