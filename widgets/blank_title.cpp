#include "blank_title.hpp"

#include <QWidget>
#include <QWindow>

namespace scene {

void ShowBlankTitle(QWidget& window) {
    window.setWindowTitle(QString());
    window.winId();  // the QWindow exists from here on
    window.windowHandle()->setTitle(" ");
}

}  // namespace scene
