#include "calculator/grob.h"
#include "calculator/grob_text.h"
#include "files/picture_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace scrivlet;

namespace {

// '#' black, '.' white, ' ' transparent black, 'H' / 'h' black at alpha 128 / 127 (127 and 128
// over white), 'g' / 'G' grey 127 / 128, 'v' green 200 (luma 117; 143 by the Rec. 709 weights).
std::string lineOf(const std::vector<std::string>& rows)
{
    QImage image(int(rows[0].size()), int(rows.size()), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const char c = rows[y][x];
            const int grey = c == 'g' ? 127 : c == 'G' ? 128 : c == '.' ? 255 : 0;
            const int alpha = c == ' ' ? 0 : c == 'H' ? 128 : c == 'h' ? 127 : 255;
            image.setPixel(x, y, c == 'v' ? qRgb(0, 200, 0) : qRgba(grey, grey, grey, alpha));
        }
    const PictureGrob r = grobFromPicture(image, DarkRule::Threshold);
    return r.ok() ? grobObjectLine(*r.grob) : r.problem.toStdString();
}

QByteArray png(const GrobObject& grob)
{
    return QByteArray::fromStdString(grobPngBytes(grob));
}

} // namespace

TEST(GrobPicture, KnownPicturesGiveExactLines)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"..####..", "#.#..#.#"}, "GROB 8 2 C35A\r\n"},       // 3C A5 in memory
        {{"........#", "#...  .. "}, "GROB 9 2 00101000\r\n"}, // rows padded to whole bytes
        {{"HhgGv #."}, "GROB 8 1 55\r\n"},
        {{"###.....", "........"}, "GROB 8 2 7000\r\n"},
    };
    for (const auto& [rows, line] : cases)
        EXPECT_EQ(lineOf(rows), line) << rows[0];
}

TEST(GrobPicture, ShareOfDarkPixelsFollowsTheGreyLevel)
{
    // Bands 32 pixels wide: greys 0, 17, ..., 255, then transparent, then black at alpha 64
    // (grey 191 over white).
    constexpr int kBands = 18, kSide = 32;
    QImage ramp(kBands, 1, QImage::Format_ARGB32);
    for (int band = 0, grey = 0; band < kBands; ++band, grey += 17)
        ramp.setPixel(band, 0,
                      band < 16 ? qRgb(grey, grey, grey) : qRgba(0, 0, 0, band == 16 ? 0 : 64));
    ramp = ramp.scaled(kBands * kSide, kSide);
    for (DarkRule rule : {DarkRule::Threshold, DarkRule::Dither}) {
        const GrobObject grob = *grobFromPicture(ramp, rule).grob;
        for (int band = 0; band < kBands; ++band) {
            int dark = 0;
            for (int x = band * kSide; x < (band + 1) * kSide; ++x)
                for (int y = 0; y < kSide; ++y)
                    dark += grobPixel(grob, x, y);
            const double grey = band < 16 ? band * 17 : band == 16 ? 255 : 191.25;
            const double expected = rule == DarkRule::Dither ? 1 - grey / 255 : grey < 127.5;
            EXPECT_NEAR(dark / double(kSide * kSide), expected, band == 16 ? 0 : 0.015) << band;
        }
    }
}

TEST(GrobText, ReadsGoodLinesAndSaysWhatIsWrongWithBadOnes)
{
    // A line; the object's own line or the problem; the column the problem points at.
    const std::tuple<std::string, std::string, std::size_t> cases[] = {
        {"  GROB\t8  2 c35a \r\n", "GROB 8 2 C35A\r\n", 0},
        {"GROB 8 0", "GROB 8 0 \r\n", 0},
        {" ", "The line is empty; a GROB line starts with the keyword GROB.", 1},
        {"grob 8 2 C35A", "The line starts with 'grob', not with the keyword GROB.", 1},
        {"GROB", "The line ends after GROB; the width is missing.", 5},
        {"GROB 8 ", "The line ends after the width; the height is missing.", 8},
        {"GROB 8x 2 C35A", "The width '8x' at column 6 is not a whole number.", 6},
        {"GROB 8 -2 C35A", "The height '-2' at column 8 is not a whole number.", 8},
        {"GROB 1048575 1048575 ", "A GROB of 1048575×1048575 pixels needs", 6},
        {"GROB 1048576 1", "The width '1048576' at column 6 is more than 1048575", 6},
        {"GROB 8 000000000000000000002 C35A", "GROB 8 2 C35A\r\n", 0},
        {"GROB 2048 2048",
         "A GROB of 2048×2048 pixels needs 1048576 hex digits of data; its "
         "length field allows at most 1048560.",
         6},
        {"GROB 8 2 C35", "The data holds 3 hex digits; a GROB of 8×2 pixels needs 4.", 10},
        {"GROB 8 2", "The data holds 0 hex digits; a GROB of 8×2 pixels needs 4.", 9},
        {"GROB 16 1 C35AG", "Character 'G' at column 15 is not a hex digit.", 15},
        {"GROB 8 2 C3\0015A", "The byte '\\x01' at column 12 is not a hex digit.", 12},
        {"GROB 8 2 C35A ;", "Unexpected ';' at column 15 after the data.", 15},
    };
    for (const auto& [line, result, column] : cases) {
        const GrobTextParse parse = parseGrobText(line);
        EXPECT_EQ(parse.ok() ? grobObjectLine(*parse.grob) : parse.problem.substr(0, result.size()),
                  result);
        EXPECT_EQ(parse.column, column) << line;
    }
}

TEST(GrobText, RandomObjectsRoundTripThroughLineGroFileAndPng)
{
    const std::string gro("HPHP49-C\x1E\x2B\x30\x01\x00\x02\x00\x80\x00\x00\x3C\xA5", 20);
    const GrobConversion imported = convertGrob(gro);
    EXPECT_EQ(imported.line, "GROB 8 2 C35A\r\n");
    EXPECT_EQ(grobFileBytes(*parseGrobText(imported.line).grob), gro);

    std::mt19937 random(12);
    for (int i = 0; i < 300; ++i) {
        GrobObject grob{std::uint32_t(random() % 40), std::uint32_t(random() % 9), {}};
        for (std::uint64_t b = 0; b < grobRowBytes(grob.width) * grob.height; ++b)
            grob.data += static_cast<char>(random()); // padding bits included
        const std::string line = grobObjectLine(grob);
        ASSERT_EQ(parseGrobText(line).grob, grob) << line;
        EXPECT_EQ(convertGrob(grobFileBytes(grob)).line, line);
        const PictureGrob back = grobFromPictureBytes(png(grob), DarkRule::Dither, "");
        ASSERT_EQ(back.ok(), grob.width > 0 && grob.height > 0) << line;
        EXPECT_TRUE(!back.ok() || pictureFromGrob(*back.grob) == pictureFromGrob(grob)) << line;
    }
}

TEST(PictureFile, DecidesByContentAndRefusesWhatCannotBecomeAGrob)
{
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    };
    // Two frames of 2×1 pixels: black-white, then white-black.
    const QByteArray gif = QByteArray::fromHex(
        "47494638396102000100800000000000ffffff21f904000a0000002c0000000002000100000202440a00"
        "21f904000a0000002c00000000020001000002020c0a003b");
    const QByteArray twoPixels = png({2, 1, "\x01"});
    EXPECT_EQ(pictureFileLine(write("pic.txt", twoPixels), DarkRule::Threshold).line,
              "GROB 2 1 10\r\n");
    EXPECT_EQ(pictureFileLine(write("moving", gif), DarkRule::Threshold).line, "GROB 2 1 10\r\n");
    EXPECT_TRUE(isPictureFile(dir.filePath("pic.txt")) && !isPictureFile(dir.path()));
    EXPECT_FALSE(isPictureFile(write("notes.png", "GROB 8 2 C35A\r\n")));
    EXPECT_FALSE(isPictureFile(write("start.s", "BMOD DUP\r\n"))); // "BM" starts a bitmap

    const std::pair<QString, QString> cases[] = {
        {write("wide.png", png({2049, 1, std::string(257, '\0')})),
         "is 2049 × 1 pixels; pictures up to 2048 × 2048"},
        {write("cut.png", twoPixels.left(40)), "could not be read as a PNG picture"},
        {dir.filePath("notes.png"), "is not a picture this program can read"},
        {dir.filePath("missing.png"), "could not be opened"},
    };
    for (const auto& [path, problem] : cases) {
        const PictureLine r = pictureFileLine(path, DarkRule::Dither);
        EXPECT_TRUE(!r.ok() && r.line.empty() && r.problem.contains(path)) << path.toStdString();
        EXPECT_TRUE(r.problem.contains(problem)) << r.problem.toStdString();
    }
    EXPECT_TRUE(grobFromPicture(QImage(2048, 2048, QImage::Format_Mono), DarkRule::Threshold)
                    .problem.contains(
                        "at most 1048560 hex digits of data, which at 2048 pixels wide is 2047"));
}
