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
