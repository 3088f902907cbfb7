// VandrelV3: the WRL placement tool's window.
#include <QApplication>

#include "qt_message_sink.hpp"
#include "vandrel_window.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The title bar shows no text; for an empty title Qt would show the program's name.
    QCoreApplication::setApplicationName(" ");
    QtMessageSink sink("VandrelV3");
    Vandrel window(sink);
    sink.SetParent(&window);
    window.show();
    return app.exec();
}
