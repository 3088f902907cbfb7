#include "console_sink.hpp"

namespace scene {

void ConsoleSink::ShowMessage(const std::string& text, MessageIcon icon) {
    if (icon == MessageIcon::Error) problemShown_ = true;
    PrintLine(text);
}

void ConsoleSink::ReportFailure(const Failure& failure) {
    ClearProgress();
    failed_ = true;
    err_ << RunTimeErrorLine(failure) << '\n' << std::flush;
}

void ConsoleSink::ReportUnexpected(const std::string& what) {
    ClearProgress();
    failed_ = true;
    err_ << "Run-time error: " << what << '\n' << std::flush;
}

bool ConsoleSink::AskYesNo(const std::string& question, const std::string& detail) {
    if (!yes_) ShowFileProblem(refusal_.empty() ? question : refusal_, detail);
    return yes_;
}

int ConsoleSink::ExitStatus() const {
    if (failed_) return kExitRunTimeError;
    return problemShown_ ? kExitProblem : kExitDone;
}

void ConsoleSink::EndWith(int status) {
    problemShown_ = problemShown_ || status == kExitProblem;
    failed_ = failed_ || status == kExitRunTimeError;
}

void ConsoleSink::Show(Work, int done, int total) {
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

void ConsoleSink::PrintLine(const std::string& text) {
    ClearProgress();
    out_ << text << '\n' << std::flush;
}

}  // namespace scene
