// Message boxes for the windows: modal, one OK button, the program's title as caption, the
// error icon for problem messages and for the run-time error report.
#pragma once

#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QWidget>
#include <string>

#include "messages.hpp"

namespace scene {

// "Run-time error 'N': Description", and the path on a second line when it is known.
std::string RunTimeErrorReport(const Failure& failure);

class QtMessageSink : public MessageSink {
  public:
    explicit QtMessageSink(QString caption, QWidget* parent = nullptr)
        : caption_(std::move(caption)), parent_(parent) {}

    // The window the boxes belong to (centred over it, blocking it).
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    void ReportFailure(const Failure& failure) override;
    // A progress dialog that appears when a command runs longer than a moment.
    void Progress(Work work, int done, int total) override;

  private:
    void EndProgress();

    QString caption_;
    QPointer<QWidget> parent_;
    QPointer<QProgressDialog> progress_;
};

}  // namespace scene
