// The windows end as an interrupted command-line program does (temporary files removed,
// "Interrupted" on standard error) when the desktop session ends while a command runs.
#pragma once

class QGuiApplication;

namespace scene {

// Ends the program with exit status 143 when the session manager asks it to save its data
// while a command runs. (Signals are watched by EndProgramOnInterrupt, called before.)
void EndCommandsWithTheSession(QGuiApplication& app);

// Whether a window's command runs now.
bool CommandRunning();
// Counts the commands started so far: a new number for each, the same while one runs.
unsigned long CommandNumber();

// Marks a window's command as running while it lives. Each command is a new run: it cleans
// the folders it writes into of leftovers again.
class RunningCommand {
  public:
    RunningCommand();
    ~RunningCommand();
    RunningCommand(const RunningCommand&) = delete;
    RunningCommand& operator=(const RunningCommand&) = delete;
};

}  // namespace scene
