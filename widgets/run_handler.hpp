// A window's event handler runs to its end or stops at a failure, which is reported; the
// program goes on either way.
#pragma once

#include <exception>
#include <utility>

#include "messages.hpp"

template <typename Handler>
void RunHandler(MessageSink& sink, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const Failure& failure) {
        sink.ReportFailure(failure);
    } catch (const std::exception& unexpected) {
        // Anything else (out of memory, say) must not end the program either.
        sink.ShowMessage(unexpected.what(), MessageIcon::Error);
    }
}
