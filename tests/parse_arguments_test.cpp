// Reading a command line as Windows users write it, tested on every system: a program built
// as on Windows, where the parser would take "/x" for an option.
#include "parse_arguments.hpp"

#include <gtest/gtest.h>

#include "console_sink.hpp"

namespace scene {

namespace {

TEST(ParseArguments, LeadingSlashIsAPathAndSlashQuestionMarkAsksForTheUsage) {
    CLI::App program("Test program.", "tool");
    program.allow_windows_style_options();  // as on Windows; its subcommands inherit it
    program.require_subcommand(1);
    std::string folder;
    program.add_subcommand("fix", "Fix a folder")->add_option("DIR", folder)->required();
    EXPECT_EQ(ParseArguments(program, {"fix", "/scenes/models"}, true), std::nullopt);
    EXPECT_EQ(folder, "/scenes/models");

    auto usage = [&](std::vector<std::string> arguments) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(ParseArguments(program, std::move(arguments), true), 0);
        return testing::internal::GetCapturedStdout();
    };
    EXPECT_NE(usage({"fix", "/scenes", "/?", "more"}).find("Usage: tool fix"), std::string::npos);
    EXPECT_EQ(usage({"/?"}).find("Usage: tool fix"), std::string::npos);
    EXPECT_EQ(usage({"/?"}), usage({"--help"}));

    testing::internal::CaptureStderr();  // elsewhere "/?" is a value like any other
    EXPECT_EQ(ParseArguments(program, {"/?"}, false), kExitUsage);
    testing::internal::GetCapturedStderr();
}

}  // namespace

}  // namespace scene
