// A window's event handler runs to its end or stops at a failure, which is reported; the
// program goes on either way. It counts as a running command (see session_end.hpp).
#pragma once

#include <exception>
#include <utility>

#include "messages.hpp"
#include "session_end.hpp"

namespace scene {

template <typename Handler>
void RunHandler(MessageSink& sink, Handler&& handler) {
    const RunningCommand command;
    try {
        std::forward<Handler>(handler)();
    } catch (const Failure& failure) {
        sink.ReportFailure(failure);
    } catch (const std::exception& unexpected) {
        // Anything else (out of memory, say) must not end the program either.
        sink.ShowMessage(unexpected.what(), MessageIcon::Error);
    }
}

}  // namespace scene
