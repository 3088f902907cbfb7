// The message sink of the command-line programs: every message box text on standard output,
// one line each; the run-time error report on standard error.
#pragma once

#include <functional>

#include "messages.hpp"

// Exit statuses of the command-line programs.
enum ExitStatus {
    kExitDone = 0,          // only completion messages were shown
    kExitProblem = 1,       // a problem message (error icon) was shown
    kExitUsage = 2,         // wrong usage
    kExitRunTimeError = 3,  // a run-time error stopped the command
};

class ConsoleSink : public MessageSink {
  public:
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    // "Run-time error 'N': Description", then " (PATH)" when a path is known.
    void ReportFailure(const Failure& failure) override;

    int Status() const;

  private:
    bool problemShown_ = false;
    bool failureReported_ = false;
};

// Runs the command, reports a failure that stops it, and gives the exit status.
int RunReporting(ConsoleSink& sink, const std::function<void(MessageSink&)>& command);
