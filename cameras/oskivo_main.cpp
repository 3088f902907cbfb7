// Oskivo: the camera file generator's window.
#include <QApplication>

#include "form1.hpp"
#include "interrupt.hpp"
#include "qt_message_sink.hpp"
#include "session_end.hpp"

int main(int argc, char** argv) {
    EndProgramOnInterrupt();  // before Qt starts any thread
    QApplication app(argc, argv);
    EndCommandsWithTheSession(app);
    QtMessageSink sink("Oskivo");
    Form1 form(sink);
    sink.SetParent(&form);
    form.show();
    return app.exec();
}
