// Ending a program when it is interrupted (Ctrl+C, kill, a closed terminal, the end of the
// desktop session) without leaving temporary files behind.
#pragma once

namespace scene {

// From now on SIGINT, SIGTERM and SIGHUP (Windows: the console's control events) end the
// program through EndInterrupted. Call first in main, before any thread starts.
void EndProgramOnInterrupt();

// Removes the temporary files still open, prints "Interrupted" on standard error and ends the
// program at once with the exit status (130, 143 or 129). A target is never left half-renamed:
// each replacement is one rename, done before or not at all.
[[noreturn]] void EndInterrupted(int status);

}  // namespace scene
