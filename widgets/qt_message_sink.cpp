#include "qt_message_sink.hpp"

#include <QApplication>
#include <QScreen>
#include <algorithm>

#include "native_text.hpp"
#include "path_lines.hpp"

namespace scene {

namespace {

// As wide as a message box shows a line without wrapping it itself.
int PathLineWidth(const QMessageBox& box) {
    const QScreen* screen = box.screen();
    const int half = screen ? screen->availableGeometry().width() / 2 : 640;
    return std::min(60 * box.fontMetrics().averageCharWidth(), std::min(half, 500) - 100);
}

}  // namespace

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
    QMessageBox box(icon, caption_, QString(), QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    QString shown = ShownText(text);
    if (!detail.empty())
        shown += '\n' + BreakAtSeparators(ShownText(detail), box.fontMetrics(), PathLineWidth(box));
    box.setText(shown);
    box.exec();
}

}  // namespace scene
