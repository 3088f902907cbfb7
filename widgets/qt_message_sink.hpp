// Message boxes for the windows: modal, one OK button (Yes and No for a question), the
// program's title as caption, the error icon for problem messages and for the run-time error
// report, over the window that is active when they show.
#pragma once

#include <QMessageBox>
#include <QString>
#include <string>

#include "messages.hpp"

namespace scene {

class QtMessageSink : public MessageSink {
  public:
    explicit QtMessageSink(QString caption) : caption_(std::move(caption)) {}

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    // The text, and the file's path (with the reason) on a second line; a long path is broken
    // at its separators.
    void ShowFileProblem(const std::string& text, const std::string& detail) override;
    // "Run-time error 'N': Description", and the path on a second line when it is known.
    void ReportFailure(const Failure& failure) override;
    // The question with the file's path on a second line, Yes and No (the default).
    bool AskYesNo(const std::string& question, const std::string& detail) override;

  private:
    void ShowBox(QMessageBox::Icon icon, const std::string& text, const std::string& detail);

    QString caption_;
};

}  // namespace scene
