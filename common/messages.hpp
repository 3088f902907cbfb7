// How commands report to the user without knowing about windows: one call per message box,
// one for the run-time error report. Windows, the command-line programs and tests implement it.
#pragma once

#include <string>

#include "failure.hpp"

namespace scene {

enum class MessageIcon { None, Error };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    virtual void ReportFailure(const Failure& failure) = 0;
    // Called by long commands before each placement or file: `done` of `total` finished.
    virtual void Progress(int /*done*/, int /*total*/) {}
    // A file the command wrote or replaced.
    virtual void FileWritten(const std::string& /*path*/) {}
    // A line of a dry run, in order among the messages: a file it would write, a step that
    // would fail.
    virtual void DryRunLine(const std::string& /*text*/) {}
};

}  // namespace scene
