#include "stop_guard.hpp"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <utility>

namespace scene {

StopGuard::StopGuard(QWidget& window, std::function<void(bool closing)> stop)
    : QObject(&window), window_(window), stop_(std::move(stop)) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool StopGuard::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || widget->window() != &window_) return false;  // message boxes, progress
    switch (event->type()) {
        case QEvent::Close:
            if (widget != &window_) return false;
            stop_(true);
            event->ignore();  // the window stays until the command has returned
            return true;
        case QEvent::ShortcutOverride:  // accepted: no shortcut of the window fires
        case QEvent::KeyPress:
            if (event->type() == QEvent::KeyPress &&
                static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape)
                stop_(false);
            event->accept();
            return true;
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
    }
}

}  // namespace scene
