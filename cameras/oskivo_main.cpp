// Oskivo: the camera file generator's window.
#include <QApplication>
#include <iostream>

#include "form1.hpp"
#include "interrupt.hpp"
#include "qt_message_sink.hpp"
#include "session_end.hpp"
#include "window_options.hpp"

namespace scene {

namespace {
const char kAbout[] =
    "Opens the camera file generator's window. It checks an MGP point file and writes its\n"
    "camera definition file (NAME.txt) beside it.\n";
}  // namespace

}  // namespace scene

int main(int argc, char** argv) {
    using namespace scene;
    if (std::optional<int> status =
            AnswerTerminalOptions(argc, argv, "Oskivo", kAbout, "oskivo-cli", std::cout))
        return *status;
    EndProgramOnInterrupt();  // before Qt starts any thread
    QApplication app(argc, argv);
    EndCommandsWithTheSession(app);
    QtMessageSink sink("Oskivo");
    Form1 form(sink);
    sink.SetParent(&form);
    form.show();
    return app.exec();
}
