#include "qt_message_sink.hpp"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

#include "native_text.hpp"
#include "path_lines.hpp"
#include "session_end.hpp"

namespace scene {

namespace {

// How often a running command lets the windows answer: often enough for a smooth progress bar
// and a prompt Escape, seldom enough to cost nothing beside the writing.
constexpr qint64 kEventsEveryMs = 20;

// Escape, like Cancel and the close button, asks to stop.
class WorkProgress : public QProgressDialog {
  public:
    using QProgressDialog::QProgressDialog;

  protected:
    void reject() override { emit canceled(); }
};

// As wide as a message box shows a line without wrapping it itself.
int LineWidth(const QMessageBox& box, const QFontMetrics& metrics) {
    const QScreen* screen = box.screen();
    const int half = screen ? screen->availableGeometry().width() / 2 : 640;
    return std::min(60 * metrics.averageCharWidth(), std::min(half, 500) - 100);
}

// The box's text: `text`, and `detail` on a line of its own, both broken to the box's width.
void SetBoxText(QMessageBox& box, const std::string& text, const std::string& detail) {
    box.setTextFormat(Qt::PlainText);
    QString shown = ShownText(text);
    if (!detail.empty()) shown += '\n' + ShownText(detail);
    // The label may have a font of its own (the system's for labels).
    const QLabel* label = box.findChild<QLabel*>("qt_msgbox_label");
    const QFontMetrics metrics = label ? label->fontMetrics() : box.fontMetrics();
    box.setText(BreakLines(shown, metrics, LineWidth(box, metrics)));
}

}  // namespace

std::string RunTimeErrorReport(const Failure& failure) {
    std::string text = RunTimeErrorText(failure);
    if (!failure.Path().empty()) text += "\n" + failure.Path();
    return text;
}

QtMessageSink::QtMessageSink(QString caption, QWidget* parent) : caption_(std::move(caption)) {
    SetParent(parent);
}

QtMessageSink::~QtMessageSink() {
    EndProgress();
    delete guard_.data();  // it calls back into this sink
}

void QtMessageSink::SetParent(QWidget* parent) {
    delete guard_.data();
    parent_ = parent;
    if (parent) guard_ = new StopGuard(*parent, [this](bool closing) { Stop(closing); });
}

void QtMessageSink::ShowMessage(const std::string& text, MessageIcon icon) {
    ShowBox(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon, text, {});
}

void QtMessageSink::ShowFileProblem(const std::string& text, const std::string& detail) {
    ShowBox(QMessageBox::Critical, text, detail);
}

void QtMessageSink::ReportFailure(const Failure& failure) {
    ShowBox(QMessageBox::Critical, RunTimeErrorText(failure), failure.Path());
}

void QtMessageSink::ShowBox(QMessageBox::Icon icon, const std::string& text,
                            const std::string& detail) {
    EndProgress();
    if (ending_) return;  // the user closed the window: nothing more to read
    QMessageBox box(icon, caption_, QString(), QMessageBox::Ok, parent_);
    SetBoxText(box, text, detail);
    box.exec();
}

bool QtMessageSink::AskYesNo(const std::string& question, const std::string& detail) {
    EndProgress();
    if (ending_) return false;
    QMessageBox box(QMessageBox::Warning, caption_, QString(), QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::No);
    SetBoxText(box, question, detail);
    return box.exec() == QMessageBox::Yes;
}

void QtMessageSink::Progress(Work work, int done, int total) {
    if (total <= 0) return;
    if (done >= total) {
        EndProgress();
        return;
    }
    const bool newCommand = !progress_ || progressCommand_ != CommandNumber();
    if (!newCommand && sinceEvents_.elapsed() < kEventsEveryMs) return;
    sinceEvents_.start();
    if (newCommand) {
        EndProgress();
        progress_ = new WorkProgress(parent_);
        progressCommand_ = CommandNumber();
        progress_->setWindowTitle(caption_);
        progress_->setCancelButtonText("Cancel");
        // Not modal: a window blocked by a modal one gets no close event. The guard keeps the
        // main window's input away instead.
        progress_->setWindowModality(Qt::NonModal);
        progress_->setMinimumDuration(500);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        QObject::connect(progress_, &QProgressDialog::canceled, [this] { Stop(false); });
    }
    if (!StopRequested()) {
        progress_->setMaximum(total);
        progress_->setLabelText(ShownText(ProgressText(work, done, total)));
        progress_->setValue(done);
    }
    QCoreApplication::processEvents();
}

bool QtMessageSink::StopRequested() {
    return stoppedCommand_ && *stoppedCommand_ == CommandNumber();
}

void QtMessageSink::Stop(bool closing) {
    if (!CommandRunning()) return;
    stoppedCommand_ = CommandNumber();
    if (progress_) progress_->cancel();  // hidden, and shown no more
    if (closing && !ending_) {
        ending_ = true;
        QCoreApplication::exit(0);  // the main loop ends once the command has returned
    }
}

void QtMessageSink::EndProgress() {
    delete progress_.data();
}

}  // namespace scene
