#include "app/command_line.h"

#include <gtest/gtest.h>

using scrivlet::parseCommandLine;
using Action = scrivlet::CommandLine::Action;

TEST(CommandLine, EverythingIsOnePathUnlessHelpOrVersionStandsAlone)
{
    const struct {
        std::vector<std::string> args;
        Action action;
        std::string path, screenshot;
    } cases[] = {
        // clang-format off
        {{}, Action::Run, "", ""},
        {{"/home/u/My Files/prog.rpl"}, Action::Run, "/home/u/My Files/prog.rpl", ""},
        {{"\"/home/u/My", "Files/prog.rpl\""}, Action::Run, "/home/u/My Files/prog.rpl", ""},
        {{"a\"b\"c"}, Action::Run, "abc", ""},
        {{"\"\""}, Action::Run, "", ""},
        {{"--help"}, Action::Help, "", ""},
        {{"--version"}, Action::Version, "", ""},
        {{"--help", "extra"}, Action::Run, "--help extra", ""},
        {{"extra", "--help"}, Action::Run, "extra --help", ""},
        {{"--version", "--help"}, Action::Run, "--version --help", ""},
        {{"\"--help\""}, Action::Run, "--help", ""},
        {{"--help "}, Action::Run, "--help ", ""},
        {{"-h"}, Action::Run, "-h", ""},
        {{"--HELP"}, Action::Run, "--HELP", ""},
        {{"--screenshot", "out.png", "my", "file.rpl"}, Action::Run, "my file.rpl", "out.png"},
        {{"--screenshot", "out.png", "--help"}, Action::Run, "--help", "out.png"},
        {{"x", "--screenshot", "y"}, Action::Run, "x --screenshot y", ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        const auto parsed = parseCommandLine(c.args);
        EXPECT_EQ(parsed.action, c.action) << c.path;
        EXPECT_EQ(parsed.sourceFile, c.path);
        EXPECT_EQ(parsed.screenshotFile, c.screenshot) << c.path;
    }
}
