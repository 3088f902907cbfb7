// The message sink of the command-line programs: message texts on one stream, the run-time
// error report on another, and the exit status they add up to.
#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <utility>

#include "messages.hpp"

namespace scene {

// Exit statuses of the command-line programs. An interrupted program ends with 130, 143 or
// 129 instead (interrupt.hpp).
enum ExitStatusCode {
    kExitDone = 0,          // only completion messages were shown
    kExitProblem = 1,       // a problem message (error icon) was shown
    kExitUsage = 2,         // wrong usage
    kExitRunTimeError = 3,  // a run-time error stopped the command
};

class ConsoleSink : public MessageSink, public ProgressDisplay {
  public:
    // With `progressOnErrors` (standard error is a terminal) a run that lasts longer than a
    // second shows "done/total" on the error stream, overwritten in place.
    // `now` tells the time (tests pass a clock of their own).
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    ConsoleSink(std::ostream& messages, std::ostream& errors, bool progressOnErrors = false,
                Clock now = std::chrono::steady_clock::now)
        : out_(messages), err_(errors), progress_(progressOnErrors), now_(std::move(now)) {}

    // One line per message box; a problem about a file as "TEXT (DETAIL)" (the default).
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    // "Run-time error 'N': Description" and " (PATH)" when a path is known, as one line.
    void ReportFailure(const Failure& failure) override;
    // An error that is no run-time error of the tools (a fault of the program itself), as the
    // line "Run-time error: WHAT"; the exit status is 3 as for a run-time error.
    void ReportUnexpected(const std::string& what) override;
    // No one is there to answer: yes when the user gave the option that says so beforehand,
    // else no, printed as the problem message "REFUSAL (DETAIL)" (the question without a
    // refusal of its own).
    bool AskYesNo(const std::string& question, const std::string& detail) override;
    void AnswerQuestions(bool yes, std::string refusal) {
        yes_ = yes;
        refusal_ = std::move(refusal);
    }

    // 0 when only completion messages were shown, 1 after a problem message, 3 after a
    // run-time error.
    int ExitStatus() const;
    // Ends with at least this status (1 or 3), as if such a message or error had been shown.
    void EndWith(int status);

    void Show(Work work, int done, int total) override;

    // A line printed among the messages that is no message (a dry run's, a plan's).
    void PrintLine(const std::string& text);

  private:
    void ClearProgress();

    std::ostream& out_;
    std::ostream& err_;
    bool problemShown_ = false;
    bool failed_ = false;
    bool progress_;
    bool progressShown_ = false;
    bool yes_ = false;
    std::string refusal_;
    Clock now_;
    std::chrono::steady_clock::time_point progressStart_{};
};

}  // namespace scene
