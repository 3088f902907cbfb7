// The command-line program's messages, error report and exit status.
#include "console_sink.hpp"

#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <stdexcept>

namespace scene {

TEST(ConsoleSink, MessagesOnOutputFailuresOnErrorsAndTheExitStatus) {
    std::ostringstream out, err;
    ConsoleSink sink(out, err);
    sink.ShowMessage("Done", MessageIcon::None);
    EXPECT_EQ(sink.ExitStatus(), 0);
    sink.ShowMessage("wrong file contents", MessageIcon::Error);
    EXPECT_EQ(sink.ExitStatus(), 1);
    sink.ReportFailure(Failure(FailureKind::ReadPastEnd, "/data/site.mgp"));
    sink.ReportFailure(Failure(FailureKind::Overflow));
    EXPECT_EQ(sink.ExitStatus(), 3);
    EXPECT_EQ(out.str(), "Done\nwrong file contents\n");
    EXPECT_EQ(err.str(),
              "Run-time error '62': Input past end of file (/data/site.mgp)\n"
              "Run-time error '6': Overflow\n");
}

TEST(ConsoleSink, AnyExceptionEndsTheCommandAsARunTimeErrorNeverAnAbort) {
    std::ostringstream out, err;
    ConsoleSink sink(out, err);
    RunReported(sink, [] { throw std::bad_alloc(); });
    RunReported(sink, [] { throw std::logic_error("broken"); });
    EXPECT_EQ(sink.ExitStatus(), 3);
    EXPECT_EQ(err.str(), "Run-time error '7': Out of memory\nRun-time error: broken\n");
}

namespace {

TEST(ConsoleSink, ProgressOnlyWhenAskedAndClearedBeforeTheNextMessage) {
    std::ostringstream out, err;
    ConsoleSink quiet(out, err);
    quiet.Show(Work::WritingCopies, 0, 10);
    quiet.Show(Work::WritingCopies, 5, 10);
    EXPECT_EQ(err.str(), "");

    auto time = std::chrono::steady_clock::time_point();
    ConsoleSink shown(out, err, true, [&] { return time; });
    shown.Show(Work::WritingCopies, 0, 3);
    time += std::chrono::milliseconds(900);
    shown.Show(Work::WritingCopies, 1, 3);  // within the first second: nothing yet
    EXPECT_EQ(err.str(), "");
    time += std::chrono::milliseconds(200);
    shown.Show(Work::WritingCopies, 2, 3);
    EXPECT_EQ(err.str(), "\r2/3");
    shown.ShowMessage("DONE", MessageIcon::None);
    EXPECT_EQ(err.str(), "\r2/3\r\x1b[K");
    EXPECT_EQ(out.str(), "DONE\n");
}

}  // namespace

}  // namespace scene
