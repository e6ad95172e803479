#include "calculator/grob.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using scrivlet::convertGrob;
using scrivlet::GrobConversion;

namespace {

// A GROB file: eight header bytes, then bytes 8 to 17 as given, then the data bytes.
std::string grobFile(const std::vector<unsigned char>& fields, const std::string& data,
                     unsigned char headerByte = 'H')
{
    std::string file(8, static_cast<char>(headerByte));
    for (unsigned char b : fields)
        file += static_cast<char>(b);
    return file + data;
}

const std::vector<unsigned char> kExample = {0x1E, 0x2B, 0x30, 0x01, 0x00,
                                             0x02, 0x00, 0x80, 0x00, 0x00};

} // namespace

TEST(Grob, TurnsTheFileIntoOneSourceLine)
{
    struct Case {
        const char* what;
        std::vector<unsigned char> fields; // bytes 8 to 17
        std::string data;
        std::string line;
    };
    const Case cases[] = {
        {"L 19, height 2, width 8, two data bytes, low nibble digit first", kExample, "\x3C\xA5",
         "GROB 8 2 C35A\r\n"},
        {"byte 15 = 81: the fifth height nibble counts 65536",
         {0x1E, 0x2B, 0x30, 0x01, 0x00, 0x02, 0x00, 0x81, 0x00, 0x00},
         "\x3C\xA5",
         "GROB 8 65538 C35A\r\n"},
        {"L 18: three data nibbles give one byte",
         {0x1E, 0x2B, 0x20, 0x01, 0x00, 0x02, 0x00, 0x80, 0x00, 0x00},
         "\x3C\xA5",
         "GROB 8 2 C3\r\n"},
        {"L 17: one byte",
         {0x1E, 0x2B, 0x10, 0x01, 0x00, 0x02, 0x00, 0x80, 0x00, 0x00},
         "\x3C",
         "GROB 8 2 C3\r\n"},
        {"L 16: no data, the space after the height stays",
         {0x1E, 0x2B, 0x00, 0x01, 0x00, 0x02, 0x00, 0x80, 0x00, 0x00},
         "\x3C\xA5",
         "GROB 8 2 \r\n"},
        {"L 0", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "", "GROB 0 0 \r\n"},
        {"largest width and height",
         {0, 0, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         "",
         "GROB 1048575 1048575 \r\n"},
        {"width nibbles in order",
         {0, 0, 0, 0, 0, 0, 0, 0x10, 0x32, 0x54},
         "",
         "GROB 344865 0 \r\n"},
        {"height nibbles in order",
         {0, 0, 0, 0, 0, 0x21, 0x43, 0x05, 0, 0},
         "",
         "GROB 0 344865 \r\n"},
        {"bytes after the announced data are left alone", kExample,
         std::string("\x00\xFF\x12\x34", 4), "GROB 8 2 00FF\r\n"},
    };
    for (const Case& c : cases) {
        const GrobConversion r = convertGrob(grobFile(c.fields, c.data));
        EXPECT_TRUE(r.ok()) << c.what;
        EXPECT_EQ(r.line, c.line) << c.what;
    }
}

TEST(Grob, HeaderTypeFieldAndLowNibbleOfByte10DoNotMatter)
{
    const std::string expected = "GROB 8 2 C35A\r\n";
    for (int v : {0x00, 0x5A, 0xFF}) {
        const auto b = static_cast<unsigned char>(v);
        std::vector<unsigned char> fields = kExample;
        fields[0] = b;
        fields[1] = b;
        fields[2] = static_cast<unsigned char>(0x30 | (b & 0x0F));
        EXPECT_EQ(convertGrob(grobFile(fields, "\x3C\xA5", b)).line, expected) << v;
    }
}

TEST(Grob, ShortFilesGiveNoLineAndSayWhatIsMissing)
{
    const std::string full = grobFile(kExample, "\x3C\xA5");
    for (std::size_t size = 0; size < 18; ++size) {
        const GrobConversion r = convertGrob(std::string_view(full).substr(0, size));
        EXPECT_EQ(r.status, GrobConversion::Status::ShortFields) << size;
        EXPECT_TRUE(r.line.empty());
        EXPECT_NE(scrivlet::grobProblemText(r).find(std::to_string(size) + " bytes"),
                  std::string::npos)
            << scrivlet::grobProblemText(r);
    }
    // Eighteen bytes with a length field of 19: two data bytes announced, none or one there.
    for (std::size_t present : {0u, 1u}) {
        const GrobConversion r = convertGrob(std::string_view(full).substr(0, 18 + present));
        EXPECT_EQ(r.status, GrobConversion::Status::ShortData);
        EXPECT_TRUE(r.line.empty());
        EXPECT_EQ(r.dataClaimed, 2u);
        EXPECT_EQ(r.dataPresent, present);
        EXPECT_NE(scrivlet::grobProblemText(r).find("announces 2 bytes"), std::string::npos);
        EXPECT_NE(scrivlet::grobProblemText(r).find("only " + std::to_string(present)),
                  std::string::npos);
    }
    // The largest length field announces 524280 bytes.
    const GrobConversion huge =
        convertGrob(grobFile({0, 0, 0xF0, 0xFF, 0xFF, 1, 0, 0x10, 0, 0}, "ab"));
    EXPECT_EQ(huge.status, GrobConversion::Status::ShortData);
    EXPECT_EQ(huge.dataClaimed, 524280u);
    EXPECT_TRUE(scrivlet::grobProblemText(convertGrob(full)).empty());
}
