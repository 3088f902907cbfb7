// VandrelV3: the WRL placement tool's window.
#include <QApplication>
#include <iostream>

#include "interrupt.hpp"
#include "qt_message_sink.hpp"
#include "session_end.hpp"
#include "vandrel_window.hpp"
#include "window_options.hpp"

namespace scene {

namespace {
const char kAbout[] =
    "Opens the WRL placement tool's window. It writes placed copies of a VRML model\n"
    "(*.wrl) for every placement of a TSO list, an MGP point file or the manual fields,\n"
    "and repairs exporter-written models in place (Fix WRLs).\n";
}  // namespace

}  // namespace scene

int main(int argc, char** argv) {
    using namespace scene;
    if (std::optional<int> status =
            AnswerTerminalOptions(argc, argv, "VandrelV3", kAbout, "vandrel-cli", std::cout))
        return *status;
    EndProgramOnInterrupt();  // before Qt starts any thread
    QApplication app(argc, argv);
    EndCommandsWithTheSession(app);
    // No display name: Qt would append it to every caption ("VandrelV3 — NAME"). The window
    // blanks its own title bar (blank_title.hpp).
    QtMessageSink sink("VandrelV3");
    Vandrel window(sink);
    sink.SetParent(&window);
    window.show();
    return app.exec();
}
