#include "app/command_line.h"

#include <gtest/gtest.h>

using scrivlet::parseCommandLine;

TEST(CommandLine, EverythingIsOnePathWithQuotesRemoved)
{
    struct Case {
        std::vector<std::string> args;
        std::string path;
    };
    const Case cases[] = {
        {{}, ""},
        {{"prog.rpl"}, "prog.rpl"},
        {{"/home/u/My Files/prog.rpl"}, "/home/u/My Files/prog.rpl"},
        {{"\"/home/u/My", "Files/prog.rpl\""}, "/home/u/My Files/prog.rpl"},
        {{"/tmp/My", "Files/prog.rpl"}, "/tmp/My Files/prog.rpl"},
        {{"a\"b\"c"}, "abc"},
        {{"\"\""}, ""},
    };
    for (const Case& c : cases) {
        const auto parsed = parseCommandLine(c.args);
        EXPECT_EQ(parsed.sourceFile, c.path);
        EXPECT_EQ(parsed.action, scrivlet::CommandLine::Action::Run);
        EXPECT_TRUE(parsed.screenshotFile.empty());
    }
}

TEST(CommandLine, ScreenshotLeadsAndTheRestIsStillOnePath)
{
    const auto parsed = parseCommandLine({"--screenshot", "out.png", "my", "file.rpl"});
    EXPECT_EQ(parsed.screenshotFile, "out.png");
    EXPECT_EQ(parsed.sourceFile, "my file.rpl");
    EXPECT_EQ(parseCommandLine({"x", "--screenshot", "y"}).sourceFile, "x --screenshot y");
}

TEST(CommandLine, HelpAndVersionOnlyWhenTheyStandAlone)
{
    using Action = scrivlet::CommandLine::Action;
    struct Case {
        std::vector<std::string> args;
        Action action;
        std::string path;
    };
    const Case cases[] = {
        {{"--help"}, Action::Help, ""},
        {{"--version"}, Action::Version, ""},
        {{"--help", "extra"}, Action::Run, "--help extra"},
        {{"extra", "--help"}, Action::Run, "extra --help"},
        {{"--version", "--help"}, Action::Run, "--version --help"},
        {{"\"--help\""}, Action::Run, "--help"},
        {{"--help "}, Action::Run, "--help "},
        {{"-h"}, Action::Run, "-h"},
        {{"--HELP"}, Action::Run, "--HELP"},
        {{"My", "Files/--version"}, Action::Run, "My Files/--version"},
        {{"--screenshot", "out.png", "--help"}, Action::Run, "--help"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto parsed = parseCommandLine(c.args);
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_EQ(parsed.sourceFile, c.path);
    }
}
