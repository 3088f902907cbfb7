#include "qt_message_sink.hpp"

#include <QCloseEvent>
#include <QMessageBox>

#include "native_text.hpp"

namespace scene {

namespace {

// The work cannot be cancelled: neither Escape nor the title bar closes the dialog, so the
// window stays blocked until the command ends.
class WorkProgress : public QProgressDialog {
  public:
    explicit WorkProgress(QWidget* parent)
        : QProgressDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {}

  protected:
    void reject() override {}
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace

std::string RunTimeErrorReport(const Failure& failure) {
    std::string text = RunTimeErrorText(failure);
    if (!failure.Path().empty()) text += "\n" + failure.Path();
    return text;
}

void QtMessageSink::ShowMessage(const std::string& text, MessageIcon icon) {
    EndProgress();
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    caption_, ShownText(text), QMessageBox::Ok, parent_);
    box.exec();
}

void QtMessageSink::ReportFailure(const Failure& failure) {
    EndProgress();
    QMessageBox box(QMessageBox::Critical, caption_, ShownText(RunTimeErrorReport(failure)),
                    QMessageBox::Ok, parent_);
    box.exec();
}

void QtMessageSink::Progress(Work, int done, int total) {
    if (total <= 0) return;
    if (done >= total) {
        EndProgress();
        return;
    }
    if (!progress_) {
        progress_ = new WorkProgress(parent_);
        progress_->setWindowTitle(caption_);
        progress_->setCancelButton(nullptr);
        progress_->setWindowModality(Qt::ApplicationModal);
        progress_->setMinimumDuration(500);
        progress_->setAutoClose(false);
    }
    progress_->setMaximum(total);
    progress_->setValue(done);
}

void QtMessageSink::EndProgress() {
    delete progress_.data();
}

}  // namespace scene
