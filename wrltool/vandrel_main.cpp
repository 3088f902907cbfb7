// VandrelV3: the WRL placement tool's window.
#include <QApplication>

#include "qt_message_sink.hpp"
#include "vandrel_window.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The title bar shows no text. For an empty title Qt shows the program's name instead, and
    // for a set display name the title followed by that name: a blank one leaves the bar blank
    // while the program keeps its name (and its window class).
    QGuiApplication::setApplicationDisplayName(" ");
    QtMessageSink sink("VandrelV3");
    Vandrel window(sink);
    sink.SetParent(&window);
    window.show();
    return app.exec();
}
