#include "qt_message_sink.hpp"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

#include "native_text.hpp"
#include "path_lines.hpp"

namespace scene {

namespace {

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

void QtMessageSink::ShowMessage(const std::string& text, MessageIcon icon) {
    ShowBox(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon, text, {});
}

void QtMessageSink::ShowFileProblem(const std::string& text, const std::string& detail) {
    ShowBox(QMessageBox::Critical, text, detail);
}

void QtMessageSink::ReportFailure(const Failure& failure) {
    ShowBox(QMessageBox::Critical, RunTimeErrorText(failure), failure.Path());
}

bool QtMessageSink::AskYesNo(const std::string& question, const std::string& detail) {
    QMessageBox box(QMessageBox::Warning, caption_, QString(), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    SetBoxText(box, question, detail);
    return box.exec() == QMessageBox::Yes;
}

void QtMessageSink::ShowBox(QMessageBox::Icon icon, const std::string& text,
                            const std::string& detail) {
    QMessageBox box(icon, caption_, QString(), QMessageBox::Ok, QApplication::activeWindow());
    SetBoxText(box, text, detail);
    box.exec();
}

}  // namespace scene
