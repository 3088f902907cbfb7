// Oskivo: the camera file generator's window.
#include <QApplication>

#include "form1.hpp"
#include "qt_message_sink.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtMessageSink sink("Oskivo");
    Form1 form(sink);
    sink.SetParent(&form);
    form.show();
    return app.exec();
}
