#include "qt_message_sink.hpp"

#include <QMessageBox>

#include "native_text.hpp"

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

void QtMessageSink::Progress(int done, int total) {
    if (total <= 0) return;
    if (done >= total) {
        EndProgress();
        return;
    }
    if (!progress_) {
        progress_ = new QProgressDialog(parent_);
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
