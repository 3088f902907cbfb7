#include "interrupt.hpp"

#include <cstdio>
#include <cstdlib>

#include "file_system.hpp"
#include "system.hpp"

namespace scene {

void EndProgramOnInterrupt() {
    platform::WatchInterrupts(EndInterrupted);
}

void EndInterrupted(int status) {
    platform::RemoveOpenTempFiles();
    // On a terminal the line may hold a progress count or the echoed "^C": erase it first.
    std::fputs(platform::IsTerminal(stderr) ? "\r\x1b[KInterrupted\n" : "Interrupted\n", stderr);
    std::fflush(stderr);
    std::_Exit(status);
}

}  // namespace scene
