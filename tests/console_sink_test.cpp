// The command-line program's messages, error report and exit status.
#include "console_sink.hpp"

#include <gtest/gtest.h>

#include <sstream>

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
