// How commands report to the user without knowing about windows: one call per message box,
// one for the run-time error report. Windows, the command-line programs and tests implement it.
#pragma once

#include <string>

#include "failure.hpp"

namespace scene {

enum class MessageIcon { None, Error };

// What a long command is doing, for its progress display and its stop message.
enum class Work { WritingCopies, FixingModels };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // A problem message about one file (error icon): `detail` is its path, or "PATH: REASON"
    // when the file could not be opened or read. Windows show it on the box's second line.
    virtual void ShowFileProblem(const std::string& text, const std::string& /*detail*/) {
        ShowMessage(text, MessageIcon::Error);
    }
    virtual void ReportFailure(const Failure& failure) = 0;
    // A yes-or-no question before a step that loses a user's data, such as replacing a file
    // the tools did not write (`detail`: its path). True goes on. Without a user to answer it,
    // the answer is no.
    virtual bool AskYesNo(const std::string& /*question*/, const std::string& /*detail*/) {
        return false;
    }
    // Called by long commands before each placement or model: `done` of `total` finished.
    virtual void Progress(Work /*work*/, int /*done*/, int /*total*/) {}
    // Whether the user asked the command under way to stop. Long commands ask before each
    // placement or model; a stopped command finishes what is in flight, starts nothing more
    // and ends with StoppedText's message instead of its end message.
    virtual bool StopRequested() { return false; }
    // A file the command wrote or replaced.
    virtual void FileWritten(const std::string& /*path*/) {}
    // A line of a dry run, in order among the messages: a file it would write, a step that
    // would fail.
    virtual void DryRunLine(const std::string& /*text*/) {}
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
