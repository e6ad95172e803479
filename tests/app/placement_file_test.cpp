#include "app/placement_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <map>

using namespace scrivlet;
using scrivlet::fixtures::TempDir;

namespace {

std::string file(const std::string& line2, const std::string& line4)
{
    return "[Window position x,y]\r\n" + line2 + "\r\n[Window size w,h]\r\n" + line4 + "\r\n";
}

} // namespace

TEST(PlacementFormat, FourLinesWithCrLfInPlainDecimalThatReadBack)
{
    const std::pair<Placement, std::string> cases[] = {
        {{1200, 900, 9000, 6000}, file("1200,900", "9000,6000")},
        {{-120, -45, 29040, 16560}, file("-120,-45", "29040,16560")},
        {{12.5f, -0.25f, 0, 1}, file("12.5,-0.25", "0,1")},
        {{4.5e6f, 0, 1e7f, 3}, file("4500000,0", "10000000,3")},
        {{3.4e38f, -3.4e38f, 1.17549435e-38f, 16777216}, ""},
    };
    for (const auto& [placement, text] : cases) {
        if (!text.empty()) {
            EXPECT_EQ(formatPlacement(placement), text);
        }
        EXPECT_EQ(parsePlacement(formatPlacement(placement)), placement);
    }
    EXPECT_EQ(formatPlacement({-0.0f, 0, 15, 30}), file("0,0", "15,30"));
}

TEST(PlacementRead, ListInputRules)
{
    const struct {
        const char* name;
        std::string bytes;
        std::optional<Placement> expected;
    } cases[] = {
        // clang-format off
        {"as written", file("1200,900", "9000,6000"), Placement{1200, 900, 9000, 6000}},
        {"headers are never compared", "anything\r\n1,2\r\n\r\n3,4\r\n", Placement{1, 2, 3, 4}},
        {"negative values", file("-1200,-900", "9000,6000"), Placement{-1200, -900, 9000, 6000}},
        {"leading blanks skipped", file("  1200,\t 900", " 9000, 6000"), Placement{1200, 900, 9000, 6000}},
        {"blanks before a comma", file("1200 ,900  ", "9000\t,6000"), Placement{1200, 900, 9000, 6000}},
        {"fractions and signs", file("+12.5,-.5", "1e3,7."), Placement{12.5f, -0.5f, 1000, 7}},
        {"LF line ends", "h\n1,2\nh\n3,4\n", Placement{1, 2, 3, 4}},
        {"CR line ends", "h\r1,2\rh\r3,4", Placement{1, 2, 3, 4}},
        {"extra text after line 4", file("1,2", "3,4") + "[Other]\r\nxyz,,\r\n", Placement{1, 2, 3, 4}},
        {"more fields on line 4", file("1,2", "3,4,5,six"), Placement{1, 2, 3, 4}},
        {"a field may go on on the next line", "h\r\n1\r\n2\r\nh\r\n3,4\r\n", Placement{1, 2, 3, 4}},
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
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(parsePlacement(c.bytes), c.expected) << c.name;
}

TEST(PlacementPixels, FifteenTwipsToThePixelAndTheImpossibleRefused)
{
    const std::pair<Placement, std::optional<PixelRect>> cases[] = {
        // clang-format off
        {{1200, 900, 9000, 6000}, PixelRect{80, 60, 600, 400}},
        {{-120, -45, 15, 0}, PixelRect{-8, -3, 1, 0}},
        {{7, 8, 22, 23}, PixelRect{0, 1, 1, 2}},           // nearest pixel
        {{-7.5f, 7.5f, 0, 0}, PixelRect{-1, 1, 0, 0}},     // halves round away from zero
        {{491505, -491505, 491505, 491505}, PixelRect{32767, -32767, 32767, 32767}},
        {{491521, 0, 15, 15}, std::nullopt},               // beyond window coordinates
        {{0, 0, -15, 15}, std::nullopt},                   // a negative size
        {{0, 0, 15, -0.5f}, std::nullopt},
        {{0, 0, 3e38f, 15}, std::nullopt},
        // clang-format on
    };
    for (const auto& [twips, pixels] : cases)
        EXPECT_EQ(toPixels(twips), pixels);
    EXPECT_EQ(toTwips({80, -60, 600, 400}), (Placement{1200, -900, 9000, 6000}));
    EXPECT_EQ(fallbackRect(1920, 1080), (PixelRect{320, 180, 1280, 720}));
    EXPECT_EQ(fallbackRect(1366, 768), (PixelRect{228, 128, 911, 512}));
    EXPECT_EQ(fallbackRect(0, 0), (PixelRect{0, 0, 0, 0}));
}

TEST(PlacementPath, WindirFirstThenTheConfigurationFolder)
{
    using Variables = std::map<std::string, std::string>;
    using Path = std::optional<std::filesystem::path>;
    const std::pair<Variables, Path> cases[] = {
        {{{"windir", "/win"}, {"HOME", "/home/u"}}, "/win/Kelvane.ini"},
        {{{"windir", ""}, {"HOME", "/home/u"}}, "/home/u/.config/Kelvane.ini"},
        {{{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/home/u"}}, "/cfg/Kelvane.ini"},
        {{{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/h"}}, "/h/.config/Kelvane.ini"},
        {{}, std::nullopt},
    };
    for (const auto& [variables, path] : cases) {
        const Environment environment = [&](const char* name) -> std::optional<std::string> {
            const auto it = variables.find(name);
            return it == variables.end() ? std::nullopt : std::optional(it->second);
        };
        EXPECT_EQ(placementPath(environment), path);
    }
}

TEST(PlacementFile, SavesIntoNewFoldersReplacesAndReadsBack)
{
    TempDir dir;
    const auto path = dir.path() / "new" / "folder" / "Kelvane.ini";
    std::string error;
    ASSERT_TRUE(savePlacementFile(path, {1, 2, 3, 4}, error)) << error;
    ASSERT_TRUE(savePlacementFile(path, {-120, 45, 9000, 6000}, error)) << error;
    EXPECT_EQ(dir.snapshot().size(), 3u); // two folders and the file
    EXPECT_EQ(TempDir::readBytes(path), file("-120,45", "9000,6000"));
    EXPECT_EQ(loadPlacementFile(path), (Placement{-120, 45, 9000, 6000}));
    EXPECT_EQ(loadPlacementFile(dir.path() / "Kelvane.ini"), std::nullopt);
    EXPECT_EQ(loadPlacementFile(dir.path()), std::nullopt); // a folder
}
