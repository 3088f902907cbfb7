// A window's event handler runs to its end or stops at a failure, which is reported; the
// program goes on either way. It counts as a running command (see session_end.hpp).
#pragma once

#include <exception>
#include <optional>
#include <utility>

#include "messages.hpp"
#include "session_end.hpp"

namespace scene {

template <typename Handler>
void RunHandler(MessageSink& sink, Handler&& handler) {
    const RunningCommand command;
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& stopped) {
        // Reported as the command-line programs report it; nothing ends the program.
        if (std::optional<Failure> failure = AsFailure(stopped))
            sink.ReportFailure(*failure);
        else
            sink.ShowMessage(stopped.what(), MessageIcon::Error);
    }
}

}  // namespace scene
