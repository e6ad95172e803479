#include "calculator/library_object.h"
#include "calculator/transfer_file.h"
#include "common/file_io.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using namespace scrivlet;

namespace {

std::vector<RplObject> realLibraries()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SCRIVLET_OBJECTS_DIR))
        if (entry.path().extension() == ".hp")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<RplObject> libraries;
    for (const auto& path : files) {
        const FileReadResult file = readWholeFile(path.string());
        const TransferFileRead read = readTransferFile(file.bytes);
        if (read.ok && read.file.object.prolog == prolog::kLibrary)
            libraries.push_back(read.file.object);
    }
    return libraries;
}

} // namespace

// Every real library reads into its parts and builds back nibble for nibble; its CRC holds, and
// running the CRC over size ... CRC gives 0.
TEST(LibraryObject, EveryRealLibraryRebuildsIdentically)
{
    const std::vector<RplObject> libraries = realLibraries();
    ASSERT_GE(libraries.size(), 30u);
    for (const RplObject& library : libraries) {
        const LibraryRead read = readLibrary(library);
        ASSERT_TRUE(read.ok) << read.message << " at " << read.offset;
        SCOPED_TRACE(read.parts.title);
        EXPECT_TRUE(read.crcValid);
        const Nibbles nibbles = objectNibbles(library);
        EXPECT_EQ(libraryCrc(nibbles, 5, nibbles.size()), 0);
        ASSERT_FALSE(read.parts.commands.empty());
        const LibraryBuild build = buildLibrary(read.parts);
        ASSERT_TRUE(build.ok) << build.message;
        EXPECT_EQ(objectNibbles(build.library), nibbles);
    }
}

// Changing any nibble of a real library never makes the reader read past it: it either fails at
// a place inside the object or reads parts whose CRC no longer matches.
TEST(LibraryObject, DamagedLibrariesFailOrShowABadCrc)
{
    const std::vector<RplObject> libraries = realLibraries();
    const RplObject library = *std::min_element(
        libraries.begin(), libraries.end(),
        [](const RplObject& a, const RplObject& b) { return a.body.size() < b.body.size(); });
    const Nibbles nibbles = objectNibbles(library);
    for (std::size_t at = 5; at < nibbles.size(); at += 3) {
        RplObject damaged = library;
        damaged.body[at - 5] ^= 0x9;
        const LibraryRead read = readLibrary(damaged);
        if (read.ok)
            EXPECT_FALSE(read.crcValid) << at;
        else
            EXPECT_LT(read.offset, nibbles.size()) << at;
    }
    RplObject cut = library;
    cut.body.resize(30);
    EXPECT_FALSE(readLibrary(cut).ok);
    EXPECT_FALSE(readLibrary(RplObject::pointer(0x02B40)).ok);
}

// The builder refuses parts it cannot lay out: numbers that skip or repeat, a hidden command
// numbered before a named one, two commands of one name.
TEST(LibraryObject, BuildRefusesInconsistentParts)
{
    const RplObject program{prolog::kProgram, ObjectShape::Composite, {}, {}, {}};
    LibraryParts parts{"T", 0x300, std::nullopt, std::nullopt,
                       {{0, "A", program}, {1, "", program}}};
    EXPECT_TRUE(buildLibrary(parts).ok);
    parts.commands[1].number = 2;
    EXPECT_FALSE(buildLibrary(parts).ok);
    parts.commands[1].number = 0;
    EXPECT_FALSE(buildLibrary(parts).ok);
    parts.commands = {{0, "", program}, {1, "A", program}};
    EXPECT_FALSE(buildLibrary(parts).ok);
    parts.commands = {{0, "A", program}, {1, "A", program}};
    EXPECT_FALSE(buildLibrary(parts).ok);
    // An empty title has no repeated length; the built library reads back to its parts.
    parts = {"", 0x7FF, std::nullopt, program, {{1, "", program}, {0, "LONGERNAMETHANSIXTEEN", program}}};
    const LibraryBuild build = buildLibrary(parts);
    ASSERT_TRUE(build.ok);
    const LibraryRead read = readLibrary(build.library);
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_TRUE(read.crcValid);
    EXPECT_EQ(read.parts, parts);
}
