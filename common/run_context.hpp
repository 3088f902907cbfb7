// One run of a command, from its start to its end: the files it works on, whom it tells what,
// and whether it is asked to stop. A program makes one for each command and hands it down.
#pragma once

#include <stop_token>

#include "messages.hpp"
#include "run_files.hpp"
#include "run_record.hpp"

namespace scene {

struct RunContext {
    RunContext(platform::FileSystem& system, MessageSink& messages, std::stop_token stop = {},
               ProgressDisplay& progress = ProgressDisplay::None(),
               RunRecord& record = RunRecord::None())
        : Files(system),
          Messages(messages),
          Stop(std::move(stop)),
          Progress(progress),
          Record(record) {}

    RunFiles Files;
    MessageSink& Messages;
    std::stop_token Stop;  // set by whoever the user asks to stop: the progress window, Ctrl+C
    ProgressDisplay& Progress;
    RunRecord& Record;
};

}  // namespace scene
