#include "window_command.hpp"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>

#include "file_system.hpp"
#include "interrupt.hpp"
#include "native_text.hpp"
#include "stop_guard.hpp"

namespace scene {

namespace {

// How often a running command lets the windows answer: often enough for a smooth progress bar
// and a prompt Escape, seldom enough to cost nothing beside the writing.
constexpr qint64 kEventsEveryMs = 20;
constexpr int kSessionEndStatus = 143;  // as for SIGTERM, which ends a session's programs

// Escape, like Cancel and the close button, asks to stop.
class WorkProgress : public QProgressDialog {
  public:
    using QProgressDialog::QProgressDialog;

  protected:
    void reject() override { emit canceled(); }
};

class WindowCommand : public ProgressDisplay, public MessageSink {
  public:
    WindowCommand(QWidget& window, MessageSink& sink, QString caption)
        : window_(window),
          sink_(sink),
          caption_(std::move(caption)),
          guard_(new StopGuard(window, [this](bool closing) { Stop(closing); })) {
#ifndef QT_NO_SESSIONMANAGER
        // The progress window keeps events flowing, so the request can come mid-command.
        sessionEnd_ = QObject::connect(qApp, &QGuiApplication::commitDataRequest,
                                       [](QSessionManager&) { EndInterrupted(kSessionEndStatus); });
#endif
    }
    ~WindowCommand() override {
        QObject::disconnect(sessionEnd_);
        delete progress_.data();
        delete guard_.data();
        if (closing_) QCoreApplication::exit(0);  // the main loop ends once it is back
    }

    std::stop_token Token() const {
        return stop_.get_token();
    }

    void Show(Work work, int done, int total) override;

    // Messages reach the sink until the user closed the window: nothing more to read then.
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        EndProgress();
        if (!closing_) sink_.ShowMessage(text, icon);
    }
    void ShowFileProblem(const std::string& text, const std::string& detail) override {
        EndProgress();
        if (!closing_) sink_.ShowFileProblem(text, detail);
    }
    void ReportFailure(const Failure& failure) override {
        EndProgress();
        if (!closing_) sink_.ReportFailure(failure);
    }
    void ReportUnexpected(const std::string& what) override {
        EndProgress();
        if (!closing_) sink_.ReportUnexpected(what);
    }
    // No answer from a closed window: the command does not go on.
    bool AskYesNo(const std::string& question, const std::string& detail) override {
        EndProgress();
        return !closing_ && sink_.AskYesNo(question, detail);
    }

  private:
    void Stop(bool closing) {
        stop_.request_stop();
        closing_ = closing_ || closing;
        if (progress_) progress_->hide();  // and shown no more
    }
    void EndProgress() {
        delete progress_.data();
    }
    void OpenProgress();

    QWidget& window_;
    MessageSink& sink_;
    QString caption_;
    std::stop_source stop_;
    QPointer<StopGuard> guard_;
    QPointer<QProgressDialog> progress_;
    QElapsedTimer sinceEvents_;
    bool closing_ = false;
    QMetaObject::Connection sessionEnd_;
};

void WindowCommand::OpenProgress() {
    progress_ = new WorkProgress(&window_);
    progress_->setWindowTitle(caption_);
    progress_->setCancelButtonText("Cancel");
    // Not modal: a window blocked by a modal one gets no close event. The guard keeps the main
    // window's input away instead.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setMinimumDuration(500);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    QObject::connect(progress_, &QProgressDialog::canceled, [this] { Stop(false); });
}

void WindowCommand::Show(Work work, int done, int total) {
    if (total <= 0) return;
    if (done >= total) return EndProgress();
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventsEveryMs) return;
    sinceEvents_.start();
    if (!progress_ && !stop_.stop_requested()) OpenProgress();
    if (progress_ && !stop_.stop_requested()) {
        progress_->setMaximum(total);
        progress_->setLabelText(ShownText(ProgressText(work, done, total)));
        progress_->setValue(done);
    }
    QCoreApplication::processEvents();
}

}  // namespace

void RunWindowCommand(QWidget& window, MessageSink& sink, const QString& caption,
                      const std::function<void(RunContext&)>& command) {
    WindowCommand scope(window, sink, caption);
    RunContext run(platform::SystemFileSystem(), scope, scope.Token(), scope);
    RunReported(scope, [&] { command(run); });
}

}  // namespace scene
