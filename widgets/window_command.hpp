// One long command of a window (Duplicate, Fix WRLs): it owns the command's stop. A progress
// window captioned with the program's name appears when the command runs longer than half a
// second, with a Cancel button; Cancel, Escape or closing the window ask the command to stop,
// and meanwhile the window takes no other input. Closed during the command, the window shows no
// more messages and the program ends once the command has returned; the end of the desktop
// session ends it at once, as an interrupted program (exit status 143).
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QWidget>
#include <functional>

#include "run_context.hpp"

namespace scene {

// Runs the window's long command over the system's files, with its progress and stop; reports
// what stops it to the sink, and the messages it shows go there too, until the window closes.
void RunWindowCommand(QWidget& window, MessageSink& sink, const QString& caption,
                      const std::function<void(RunContext&)>& command);

}  // namespace scene
