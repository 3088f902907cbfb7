// VandrelV3: the WRL placement tool's window.
#include <QApplication>

#include "interrupt.hpp"
#include "qt_message_sink.hpp"
#include "session_end.hpp"
#include "vandrel_window.hpp"

int main(int argc, char** argv) {
    EndProgramOnInterrupt();  // before Qt starts any thread
    QApplication app(argc, argv);
    EndCommandsWithTheSession(app);
    // The title bar shows no text; for an empty title Qt would show the program's name.
    QCoreApplication::setApplicationName(" ");
    QtMessageSink sink("VandrelV3");
    Vandrel window(sink);
    sink.SetParent(&window);
    window.show();
    return app.exec();
}
