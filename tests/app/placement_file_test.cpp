#include "app/placement_file.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

using namespace scrivlet;
using scrivlet::fixtures::TempDir;

namespace {

std::string file(const std::string& line2, const std::string& line4)
{
    return "[Window position x,y]\r\n" + line2 + "\r\n[Window size w,h]\r\n" + line4 + "\r\n";
}

Environment environment(std::map<std::string, std::string> variables)
{
    return [variables = std::move(variables)](const char* name) -> std::optional<std::string> {
        const auto it = variables.find(name);
        if (it == variables.end())
            return std::nullopt;
        return it->second;
    };
}

} // namespace

TEST(PlacementFormat, FourLinesWithCrLfInPlainDecimal)
{
    const struct {
        Placement placement;
        std::string expected;
    } cases[] = {
        {{1200, 900, 9000, 6000}, file("1200,900", "9000,6000")},
        {{-120, -45, 29040, 16560}, file("-120,-45", "29040,16560")},
        {{12.5f, -0.25f, 0, 1}, file("12.5,-0.25", "0,1")},
        {{-0.0f, 0, 15, 30}, file("0,0", "15,30")},
        {{4.5e6f, 0, 1e7f, 3}, file("4500000,0", "10000000,3")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatPlacement(c.placement), c.expected);
}

TEST(PlacementRead, ListInputRules)
{
    const struct {
        const char* name;
        std::string bytes;
        std::optional<Placement> expected;
    } cases[] = {
        {"as written", file("1200,900", "9000,6000"), Placement{1200, 900, 9000, 6000}},
        {"headers are never compared", "anything\r\n1,2\r\n\r\n3,4\r\n", Placement{1, 2, 3, 4}},
        {"negative values", file("-1200,-900", "9000,6000"), Placement{-1200, -900, 9000, 6000}},
        {"leading blanks skipped", file("  1200,\t 900", " 9000, 6000"), Placement{1200, 900, 9000, 6000}},
        {"blanks before a comma", file("1200 ,900  ", "9000\t,6000"), Placement{1200, 900, 9000, 6000}},
        {"fractions and signs", file("+12.5,-.5", "1e3,7."), Placement{12.5f, -0.5f, 1000, 7}},
        {"LF line ends", "h\n1,2\nh\n3,4\n", Placement{1, 2, 3, 4}},
        {"CR line ends", "h\r1,2\rh\r3,4", Placement{1, 2, 3, 4}},
        {"no line end after the last number", "h\r\n1,2\r\nh\r\n3,4", Placement{1, 2, 3, 4}},
        {"extra text after line 4", file("1,2", "3,4") + "[Other]\r\nxyz,,\r\n", Placement{1, 2, 3, 4}},
        {"more fields on line 4", file("1,2", "3,4,5,six"), Placement{1, 2, 3, 4}},
        {"a field may continue on the next line", "h\r\n1\r\n2\r\nh\r\n3,4\r\n", Placement{1, 2, 3, 4}},
        {"no file contents", "", std::nullopt},
        {"letters on line 2", file("abc,900", "9000,6000"), std::nullopt},
        {"letters after digits", file("12a,900", "9000,6000"), std::nullopt},
        {"blank inside a number", file("12 00,900", "9000,6000"), std::nullopt},
        {"only two lines", "[Window position x,y]\r\n1200,900\r\n", std::nullopt},
        {"only three lines", "h\r\n1,2\r\nh\r\n", std::nullopt},
        {"one number on line 2", file("1200", "9000,6000"), std::nullopt},
        {"an empty field", file(",900", "9000,6000"), std::nullopt},
        {"an empty line 4", file("1,2", ""), std::nullopt},
        {"an extra field on line 2 shifts the lines", file("1,2,3", "4,5"), std::nullopt},
        {"two signs", file("--1,2", "3,4"), std::nullopt},
        {"a bare point", file(".,2", "3,4"), std::nullopt},
        {"an exponent without digits", file("1e,2", "3,4"), std::nullopt},
        {"beyond single precision", file("1e39,2", "3,4"), std::nullopt},
        {"infinity is not a number here", file("inf,2", "3,4"), std::nullopt},
        {"nan is not a number here", file("nan,2", "3,4"), std::nullopt},
        {"hex is not plain decimal", file("0x10,2", "3,4"), std::nullopt},
        {"a quoted number", file("\"1\",2", "3,4"), std::nullopt},
        {"an endless field", file(std::string(300, '1') + ",2", "3,4"), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parsePlacement(c.bytes), c.expected);
    }
}

TEST(PlacementRead, WhatIsWrittenReadsBackUnchanged)
{
    const Placement values[] = {
        {1200, 900, 9000, 6000}, {-120, -45, 29040, 16560}, {12.5f, -0.25f, 0.1f, 1e-3f},
        {3.4e38f, -3.4e38f, 1.17549435e-38f, 16777216}};
    for (const Placement& p : values)
        EXPECT_EQ(parsePlacement(formatPlacement(p)), p);
}

TEST(PlacementPixels, TwipsAreFifteenToThePixelAndTheWindowRefusesTheImpossible)
{
    const struct {
        Placement twips;
        std::optional<PixelRect> pixels;
    } cases[] = {
        {{1200, 900, 9000, 6000}, PixelRect{80, 60, 600, 400}},
        {{-120, -45, 15, 0}, PixelRect{-8, -3, 1, 0}},
        {{7, 8, 22, 23}, PixelRect{0, 1, 1, 2}},           // nearest pixel
        {{-7.5f, 7.5f, 0, 0}, PixelRect{-1, 1, 0, 0}},     // halves round away from zero
        {{491505, -491505, 491505, 491505}, PixelRect{32767, -32767, 32767, 32767}},
        {{491521, 0, 15, 15}, std::nullopt},               // beyond window coordinates
        {{0, 0, -15, 15}, std::nullopt},                   // a negative size
        {{0, 0, 15, -0.5f}, std::nullopt},
        {{0, 0, 3e38f, 15}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toPixels(c.twips), c.pixels);
    EXPECT_EQ(toTwips({80, -60, 600, 400}), (Placement{1200, -900, 9000, 6000}));
}

TEST(PlacementFallback, TwoThirdsOfTheScreenCentred)
{
    const struct {
        int width, height;
        PixelRect expected;
    } cases[] = {
        {1920, 1080, {320, 180, 1280, 720}},
        {1366, 768, {228, 128, 911, 512}},
        {800, 600, {134, 100, 533, 400}},
        {0, 0, {0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fallbackRect(c.width, c.height), c.expected);
}

TEST(PlacementPath, WindirFirstThenTheConfigurationFolder)
{
    using Path = std::optional<std::filesystem::path>;
    const struct {
        const char* name;
        std::map<std::string, std::string> variables;
        Path expected;
    } cases[] = {
        {"windir", {{"windir", "/win"}, {"HOME", "/home/u"}}, Path("/win/Kelvane.ini")},
        {"empty windir", {{"windir", ""}, {"HOME", "/home/u"}}, Path("/home/u/.config/Kelvane.ini")},
        {"XDG_CONFIG_HOME", {{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/home/u"}}, Path("/cfg/Kelvane.ini")},
        {"relative XDG_CONFIG_HOME is ignored", {{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/h"}},
         Path("/h/.config/Kelvane.ini")},
        {"nothing", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(placementPath(environment(c.variables)), c.expected);
    }
}

TEST(PlacementFile, SavesIntoANewFolderAndReadsBack)
{
    TempDir dir;
    const auto path = dir.path() / "new" / "folder" / "Kelvane.ini";
    std::string error;
    ASSERT_TRUE(savePlacementFile(path, {-120, 45, 9000, 6000}, error)) << error;
    EXPECT_EQ(TempDir::readBytes(path.string()), file("-120,45", "9000,6000"));
    EXPECT_EQ(loadPlacementFile(path), (Placement{-120, 45, 9000, 6000}));
}

TEST(PlacementFile, ReplacesTheOldFileAndLeavesNothingElse)
{
    TempDir dir;
    const std::string path = dir.file("Kelvane.ini");
    std::string error;
    ASSERT_TRUE(savePlacementFile(path, {1, 2, 3, 4}, error)) << error;
    ASSERT_TRUE(savePlacementFile(path, {15, 30, 45, 60}, error)) << error;
    const auto files = dir.snapshot();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files.begin()->second, file("15,30", "45,60"));
}

TEST(PlacementFile, MissingOrUnreadableFilesReadAsNothing)
{
    TempDir dir;
    EXPECT_EQ(loadPlacementFile(dir.path() / "Kelvane.ini"), std::nullopt);
    EXPECT_EQ(loadPlacementFile(dir.path()), std::nullopt); // a folder
}

TEST(PlacementFile, AFolderThatCannotBeWrittenKeepsTheOldFile)
{
    TempDir dir;
    const std::string path = dir.file("Kelvane.ini");
    std::string error;
    ASSERT_TRUE(savePlacementFile(path, {1, 2, 3, 4}, error)) << error;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
    {
        fixtures::Unprivileged nobody;
        EXPECT_FALSE(savePlacementFile(path, {5, 6, 7, 8}, error));
        EXPECT_NE(error.find("Kelvane.ini"), std::string::npos) << error;
        error.clear();
        EXPECT_FALSE(savePlacementFile(dir.path() / "sub" / "Kelvane.ini", {5, 6, 7, 8}, error));
        EXPECT_NE(error.find("sub"), std::string::npos) << error;
    }
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    const auto files = dir.snapshot();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files.begin()->second, file("1,2", "3,4"));
}

TEST(PlacementFile, ATargetThatIsAFolderIsReportedAndLeftAlone)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "Kelvane.ini");
    std::string error;
    EXPECT_FALSE(savePlacementFile(dir.path() / "Kelvane.ini", {1, 2, 3, 4}, error));
    EXPECT_FALSE(error.empty());
    const auto files = dir.snapshot();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files.begin()->second, "<folder>");
}
