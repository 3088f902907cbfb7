// How commands report to the user without knowing about windows: one call per message box,
// one for the run-time error report. Windows, the command-line programs and tests implement it.
#pragma once

#include <functional>
#include <string>

#include "failure.hpp"

namespace scene {

enum class MessageIcon { None, Error };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // A problem message about one file (error icon): `detail` is its path, or "PATH: REASON"
    // when the file could not be opened or read. Windows show it on the box's second line; by
    // default it is one line, as the command line prints it.
    virtual void ShowFileProblem(const std::string& text, const std::string& detail);
    // The run-time error report of a failure that stopped the command.
    virtual void ReportFailure(const Failure& failure) = 0;
    // A yes-or-no question before a step that loses a user's data, such as replacing a file
    // the tools did not write (`detail`: its path). True goes on. Without a user to answer it,
    // the answer is no.
    virtual bool AskYesNo(const std::string& /*question*/, const std::string& /*detail*/) {
        return false;
    }
    // What stopped the command when it is no failure of the tools (a fault of the program
    // itself), by its text.
    virtual void ReportUnexpected(const std::string& what) {
        ShowMessage(what, MessageIcon::Error);
    }
};

// A problem message about a file on one line, "TEXT (DETAIL)": as the command line prints it,
// and a dry run and the plan of a run say it.
std::string WithDetail(const std::string& text, const std::string& detail);
// "Run-time error 'N': Description", the report's first line.
std::string RunTimeErrorText(const Failure& failure);
// The report on one line: its first line, then " (PATH)" when a path is known.
std::string RunTimeErrorLine(const Failure& failure);

// Runs the command and reports what stops it: a failure (running out of memory included) as
// the run-time error report, anything else by its text. Nothing escapes; the program goes on.
void RunReported(MessageSink& sink, const std::function<void()>& command);

// What a long command is doing, for its progress display and its stop message.
enum class Work { WritingCopies, FixingModels };

// Where a long command shows how far it is.
class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;
    // Before each placement or model: `done` of `total` finished.
    virtual void Show(Work work, int done, int total) = 0;
    // A display that shows nothing.
    static ProgressDisplay& None();
};

// A count with its thousands grouped by commas: 20000 gives "20,000".
std::string GroupedCount(long count);
// What the work is doing with `done` of `total` finished: "Writing copy 1,234 of 20,000",
// "Fixing model 12 of 300".
std::string ProgressText(Work work, int done, int total);
// The message of a stopped command: "Stopped: N of M copies written" or "Stopped: N of M
// models checked".
std::string StoppedText(Work work, int done, int total);

}  // namespace scene
