#include "calculator/transfer_file.h"
#include "common/file_io.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace scrivlet;

namespace {

std::vector<std::filesystem::path> realFiles()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SCRIVLET_OBJECTS_DIR))
        if (entry.path().extension() == ".hp")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

// Every real file reads as one object that writes back to the same nibbles; what follows the
// object is at most the pad nibble. The files holding only a header are refused.
TEST(ObjectCodec, EveryRealFileRoundTrips)
{
    const auto files = realFiles();
    ASSERT_GT(files.size(), 100u);
    int refused = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const FileReadResult file = readWholeFile(path.string());
        ASSERT_TRUE(file.ok);
        const TransferFileRead read = readTransferFile(file.bytes);
        if (file.bytes.size() == kTransferHeaderBytes) {
            EXPECT_FALSE(read.ok);
            ++refused;
            continue;
        }
        ASSERT_TRUE(read.ok) << read.message;
        EXPECT_LE(read.file.trailingNibbles, 1u);
        const std::string back =
            transferFileBytes(read.file.object, read.file.family, read.file.letter);
        EXPECT_EQ(back, file.bytes);
    }
    EXPECT_EQ(refused, 4);
}

// Cutting a real file anywhere gives an error that names a place inside what is left, never
// a read past it; changing any one nibble of a small program never breaks the reader either.
TEST(ObjectCodec, TruncatedAndDamagedFilesFailAtAnOffset)
{
    const FileReadResult lib =
        readWholeFile(std::string(SCRIVLET_OBJECTS_DIR) + "/hpairnav/ALT50/ALT50.hp");
    ASSERT_TRUE(lib.ok);
    for (std::size_t size = 0; size < lib.bytes.size() - 1; size += 7) {
        const TransferFileRead read = readTransferFile(std::string_view(lib.bytes).substr(0, size));
        ASSERT_FALSE(read.ok) << size;
        EXPECT_LE(read.byteOffset, size);
        EXPECT_FALSE(read.message.empty());
    }
    const FileReadResult program =
        readWholeFile(std::string(SCRIVLET_OBJECTS_DIR) + "/hptx/49g-L.hp");
    ASSERT_TRUE(program.ok);
    for (std::size_t i = kTransferHeaderBytes; i < program.bytes.size(); ++i) {
        for (int bits = 1; bits < 256; bits <<= 1) {
            std::string damaged = program.bytes;
            damaged[i] = static_cast<char>(damaged[i] ^ bits);
            const TransferFileRead read = readTransferFile(damaged);
            if (read.ok)
                EXPECT_EQ(transferFileBytes(read.file.object, read.file.family, read.file.letter),
                          damaged.substr(0, damaged.size() - read.file.trailingNibbles / 2));
            else
                EXPECT_LE(read.byteOffset, damaged.size());
        }
    }
}

// The CRC the calculator computes while it reads memory (BYTES shows it for an object) is the one
// every real library carries in its last four nibbles, over its nibbles after the prolog.
TEST(ObjectCodec, NibbleCrcIsTheOneLibrariesCarry)
{
    int libraries = 0;
    for (const auto& path : realFiles()) {
        const TransferFileRead read = readTransferFile(readWholeFile(path.string()).bytes);
        if (!read.ok || read.file.object.prolog != 0x02B40)
            continue;
        SCOPED_TRACE(path.string());
        const Nibbles nibbles = objectNibbles(read.file.object);
        EXPECT_EQ(nibbleCrc(nibbles, 5, nibbles.size() - 9), nibbleField(nibbles, nibbles.size() - 4, 4));
        ++libraries;
    }
    EXPECT_GT(libraries, 3);
    EXPECT_EQ(nibbleCrc({}), 0);
}

TEST(ObjectCodec, ReportsWhatIsWrongAndWhere)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t byteOffset;
        const char* message;
    };
    const Case cases[] = {
        {"no header", "HPHP50-C\x33\x29", 0, "not a binary transfer file"},
        {"header only", "HPHP49-C", 8, "holds no object"},
        {"a pointer is no object of its own", "HPHP49-C\xEA\xDB\x03", 8, "unknown prolog 3DBEA"},
        {"a string longer than the file", std::string("HPHP49-C\x2C\x2A\x00\x10\x00\x21", 14), 10,
         "runs past the end"},
        {"a list without SEMI", std::string("HPHP49-C\x74\x2A\x60\x3B\x27", 13), 8, "has no end"},
        {"a real cut short", std::string("HPHP48-A\x33\x29\x00\x00", 12), 8, "cut off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TransferFileRead read = readTransferFile(c.bytes);
        ASSERT_FALSE(read.ok);
        EXPECT_EQ(read.byteOffset, c.byteOffset);
        EXPECT_NE(read.message.find(c.message), std::string::npos) << read.message;
    }
}

// Writing: the 49-series header with the letter C, a 0 pad nibble after an odd count; a
// 48-series header when asked.
TEST(ObjectCodec, WritesTheHeaderAndPad)
{
    const RplObject program{
        prolog::kProgram, ObjectShape::Composite, {}, {}, {RplObject::pointer(0x3DBEA)}};
    EXPECT_EQ(transferFileBytes(program),
              std::string("HPHP49-C\x9D\x2D\xA0\xBE\x3D\x2B\x31\x00", 16));
    const RplObject real = {prolog::kReal, ObjectShape::Fixed, Nibbles(16, 0), {}, {}};
    EXPECT_EQ(transferFileBytes(real, CalculatorFamily::Hp48, 'X').substr(0, 8), "HPHP48-X");
    EXPECT_EQ(transferFileBytes(real).size(), 8u + 11u);
    EXPECT_EQ(static_cast<unsigned char>(transferFileBytes(real).back()), 0x00);
}
