// The whole of a window program: --help and --version answered on the terminal, interrupts
// watched, then the window, its message boxes captioned with the program's name.
#pragma once

#include <QApplication>
#include <iostream>

#include "interrupt.hpp"
#include "qt_message_sink.hpp"
#include "window_options.hpp"

namespace scene {

// Gives the program's exit status. `about` tells what the window does; `cli` names the
// command-line program that runs the same commands.
template <typename Window>
int RunWindowProgram(int argc, char** argv, const char* name, const char* about, const char* cli) {
    if (std::optional<int> status = AnswerTerminalOptions(argc, argv, name, about, cli, std::cout))
        return *status;
    EndProgramOnInterrupt();  // before Qt starts any thread
    // No display name: Qt would append it to every caption ("VandrelV3 — NAME"). The windows
    // blank their own title bars (blank_title.hpp).
    QApplication app(argc, argv);
    QtMessageSink sink(name);
    Window window(sink);
    window.show();
    return app.exec();
}

}  // namespace scene
