#include "session_end.hpp"

#include <QGuiApplication>
#include <QSessionManager>

#include "interrupt.hpp"

namespace scene {

namespace {
int gCommandsRunning = 0;  // window commands run on the window's thread only
unsigned long gCommandsStarted = 0;
constexpr int kSessionEndStatus = 143;  // as for SIGTERM, which ends a session's programs
}  // namespace

void EndCommandsWithTheSession(QGuiApplication& app) {
#ifndef QT_NO_SESSIONMANAGER
    // A command's progress dialog keeps events flowing, so the request can come mid-command.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, [](QSessionManager&) {
        if (gCommandsRunning > 0) EndInterrupted(kSessionEndStatus);
    });
#else
    (void)app;
#endif
}

bool CommandRunning() {
    return gCommandsRunning > 0;
}

unsigned long CommandNumber() {
    return gCommandsStarted;
}

RunningCommand::RunningCommand() {
    if (gCommandsRunning++ > 0) return;  // a handler inside a command's is part of it
    ++gCommandsStarted;
}

RunningCommand::~RunningCommand() {
    --gCommandsRunning;
}

}  // namespace scene
