// Message boxes for the windows: modal, one OK button, the program's title as caption, the
// error icon for problem messages and for the run-time error report. A long command shows its
// progress in a window with a Cancel button; Cancel, Escape or closing the main window stop it.
#pragma once

#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "messages.hpp"
#include "stop_guard.hpp"

namespace scene {

// "Run-time error 'N': Description", and the path on a second line when it is known.
std::string RunTimeErrorReport(const Failure& failure);

class QtMessageSink : public MessageSink {
  public:
    explicit QtMessageSink(QString caption, QWidget* parent = nullptr);
    ~QtMessageSink() override;
    QtMessageSink(const QtMessageSink&) = delete;
    QtMessageSink& operator=(const QtMessageSink&) = delete;

    // The window the boxes belong to (centred over it); its Escape and close button stop a
    // command.
    void SetParent(QWidget* parent);

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    // The text, and the file's path (with the reason) on a second line; a long path is broken
    // at its separators.
    void ShowFileProblem(const std::string& text, const std::string& detail) override;
    void ReportFailure(const Failure& failure) override;
    // The question with the file's path on a second line, Yes and No (the default).
    bool AskYesNo(const std::string& question, const std::string& detail) override;
    // The progress window, which appears when a command runs longer than half a second.
    void Progress(Work work, int done, int total) override;
    // From Cancel, Escape or the window's close button until the next command starts.
    bool StopRequested() override;

  private:
    void Stop(bool closing);
    void ShowBox(QMessageBox::Icon icon, const std::string& text, const std::string& detail);
    void EndProgress();

    QString caption_;
    QPointer<QWidget> parent_;
    QPointer<StopGuard> guard_;
    QPointer<QProgressDialog> progress_;
    unsigned long progressCommand_ = 0;  // the command the progress window shows
    QElapsedTimer sinceEvents_;
    std::optional<unsigned long> stoppedCommand_;
    bool ending_ = false;  // the window was closed during a command: the program ends
};

}  // namespace scene
