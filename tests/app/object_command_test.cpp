#include "app/object_command.h"
#include "calculator/library_object.h"
#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>

using namespace scrivlet;
using scrivlet::fixtures::TempDir;
using scrivlet::fixtures::writeFile;

namespace {

struct Outcome {
    std::optional<int> status;
    std::string out, err;
};

Outcome run(std::vector<std::string> arguments)
{
    arguments.push_back("--database");
    arguments.push_back(SCRIVLET_BUILT_DATABASE);
    std::ostringstream out, err;
    Outcome r;
    r.status = runObjectCommand(arguments, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::string bytesOf(const std::string& path)
{
    return readWholeFile(path).bytes;
}

} // namespace

// A pair from the calculator through the command line: the source compiles to its binary, the
// binary decompiles to its source, both through files.
TEST(ObjectCommand, CompilesAndDecompilesThroughFiles)
{
    TempDir dir;
    const std::string pair = std::string(SCRIVLET_OBJECTS_DIR) + "/hptx/49g-P";
    writeFile(dir.file("prog.txt"), bytesOf(pair + ".txt"));
    EXPECT_EQ(run({"--compile", dir.file("prog.txt")}).status, 0);
    EXPECT_EQ(bytesOf(dir.file("prog.hp")), bytesOf(pair + ".hp"));
    EXPECT_EQ(run({"--decompile", pair + ".hp", "-o", dir.file("back.txt")}).status, 0);
    EXPECT_EQ(bytesOf(dir.file("back.txt")), bytesOf(pair + ".txt"));
    EXPECT_EQ(run({"--decompile", pair + ".hp"}).out, bytesOf(pair + ".txt"));
}

// A source error exits 1 with SRC:line:column and leaves the old output as it was; a bad
// transfer file, a missing file and wrong arguments exit 2.
TEST(ObjectCommand, FailuresKeepFilesAndSayWhere)
{
    TempDir dir;
    writeFile(dir.file("bad.txt"), "%%HP: T(3)A(R)F(.);\n\\<< 1 +\n  THEN \\>>\n");
    writeFile(dir.file("old.hp"), "HPHP49-C old bytes");
    const Outcome bad = run({"--compile", dir.file("bad.txt"), "-o", dir.file("old.hp")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, dir.file("bad.txt") + ":3:3: THEN is out of place here\n");
    EXPECT_EQ(bytesOf(dir.file("old.hp")), "HPHP49-C old bytes");

    writeFile(dir.file("cut.hp"), std::string("HPHP49-C\x2C\x2A\x00\x10\x00", 13));
    const Outcome cut = run({"--decompile", dir.file("cut.hp"), "-o", dir.file("cut.txt")});
    EXPECT_EQ(cut.status, 2);
    EXPECT_NE(cut.err.find("byte 10"), std::string::npos) << cut.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("cut.txt")));

    EXPECT_EQ(run({"--decompile", dir.file("none.hp")}).status, 2);
    EXPECT_EQ(run({"--compile"}).status, 2);
    EXPECT_EQ(run({"--compile", "a", "b"}).status, 2);
    EXPECT_FALSE(runObjectCommand({"file.txt"}, std::cout, std::cerr).has_value());
}

// A library decompiles into a project folder and builds back into the same file; a library
// decompiled as text still gives text. A folder holding files is not written into, and a source
// error exits 1 naming the source, its line and column, keeping the old library.
TEST(ObjectCommand, LibraryThroughAProjectFolder)
{
    TempDir dir;
    const std::string library = std::string(SCRIVLET_OBJECTS_DIR) + "/hpairnav/ISA48/ISA48.hp";
    const std::string project = dir.file("isa");
    ASSERT_EQ(run({"--decompile", library, "-o", project}).status, 0);
    ASSERT_EQ(run({"--build", project + "/ISA48.hpp", "-o", dir.file("back.hp")}).status, 0);
    EXPECT_EQ(bytesOf(dir.file("back.hp")), bytesOf(library));
    EXPECT_EQ(run({"--build", project + "/ISA48.hpp"}).status, 0);
    EXPECT_EQ(bytesOf(project + "/ISA48.hp"), bytesOf(library));
    EXPECT_EQ(run({"--decompile", library, "-o", dir.file("isa.txt")}).status, 0);
    EXPECT_EQ(bytesOf(dir.file("isa.txt")).rfind("%%HP:", 0), 0u);

    const Outcome full = run({"--decompile", library, "-o", project});
    EXPECT_EQ(full.status, 2);
    EXPECT_NE(full.err.find("not an empty folder"), std::string::npos) << full.err;

    writeFile(project + "/GEOPO.s", "RPL\nxNAME GEOPO\n:: PTR 03188\n  NOSUCHWORD ;\n");
    const Outcome bad = run({"--build", project + "/ISA48.hpp", "-o", dir.file("back.hp")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err.rfind(project + "/GEOPO.s:4:3: ", 0), 0u) << bad.err;
    EXPECT_EQ(bytesOf(dir.file("back.hp")), bytesOf(library));
    EXPECT_EQ(run({"--build", dir.file("none.hpp")}).status, 2);
}

// A System RPL source compiles on its own to the object the shipped library holds for it,
// whether its first words say so (RPL, a * comment) or --system does; INCLUDE reads beside the
// source, and a fault in the INCLUDEd file names that file. A file of two commands, or with an
// object before its name, is refused.
TEST(ObjectCommand, SystemRplSourcesCompileAlone)
{
    TempDir dir;
    const std::string folder = std::string(SCRIVLET_OBJECTS_DIR) + "/hpairnav/ASPD50/";
    writeFile(dir.file("ASPD50.h"), bytesOf(folder + "ASPD50.h"));
    writeFile(dir.file("CMACH.s"), bytesOf(folder + "CMACH.s"));
    ASSERT_EQ(run({"--compile", dir.file("CMACH.s")}).status, 0);
    const TransferFileRead object = readTransferFile(bytesOf(dir.file("CMACH.hp")));
    const LibraryRead library =
        readLibrary(readTransferFile(bytesOf(folder + "ASPD50.hp")).file.object);
    ASSERT_TRUE(object.ok && library.ok);
    const auto command = std::find_if(library.parts.commands.begin(), library.parts.commands.end(),
                                      [](const LibraryCommand& c) { return c.number == 2; });
    ASSERT_NE(command, library.parts.commands.end());
    EXPECT_EQ(objectNibbles(object.file.object), objectNibbles(command->object));

    writeFile(dir.file("sys.txt"), bytesOf(folder + "CMACH.s").substr(4));
    EXPECT_EQ(run({"--compile", dir.file("sys.txt"), "--system"}).status, 0);
    EXPECT_EQ(bytesOf(dir.file("sys.hp")), bytesOf(dir.file("CMACH.hp")));

    writeFile(dir.file("bad.h"), "* a header\r\nDEFINE\r\n");
    writeFile(dir.file("f.s"), "* uses bad.h\nINCLUDE BAD.H\n:: DUP ;\n"); // any letter case
    const Outcome bad = run({"--compile", dir.file("f.s")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, dir.file("bad.h") + ":2:1: DEFINE needs a name\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("f.hp")));
    writeFile(dir.file("two.s"), "xNAME A\n:: DUP ;\nNULLNAME B\n:: DROP ;\n");
    EXPECT_EQ(run({"--compile", dir.file("two.s")}).err.rfind(dir.file("two.s") + ":3:1: ", 0), 0u);
    writeFile(dir.file("stray.s"), "DUP\nxNAME A\n:: DROP ;\n"); // not silently dropped
    EXPECT_EQ(run({"--compile", dir.file("stray.s")}).err.rfind(dir.file("stray.s") + ":1:1: ", 0), 0u);
    EXPECT_EQ(run({"--build", dir.file("P.hpp"), "--system"}).status, 2);

    // Sources and a ROM id on the command line build what their project builds.
    writeFile(dir.file("CSAT.s"), bytesOf(folder + "CSAT.s"));
    writeFile(dir.file("P.hpp"), "[Main]\nlibrary=1\nRomid=328\nTitle=T\n[Files]\nfile1=CMACH.s\n"
                                 "file2=CSAT.s\n");
    ASSERT_EQ(run({"--build", dir.file("P.hpp"), "-o", dir.file("p.hp")}).status, 0);
    ASSERT_EQ(run({"--build", dir.file("CMACH.s"), dir.file("CSAT.s"), "--romid", "328", "--title",
                   "T"}).status, 0);
    EXPECT_EQ(bytesOf(dir.file("LIB328.hp")), bytesOf(dir.file("p.hp")));
    EXPECT_EQ(run({"--build", dir.file("CMACH.s"), dir.file("CSAT.s")}).status, 2);
}

// A header not beside the source is looked for in the --include folders, and for a project
// first in the folders its RPL_INCLUDE= names; a fault in it names it where it was found.
TEST(ObjectCommand, HeadersComeFromIncludeFolders)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("tools/Include"));
    std::filesystem::create_directories(dir.file("p"));
    writeFile(dir.file("tools/Include/Keys.h"), "DEFINE OKKEY BINT51\r\n");
    writeFile(dir.file("p/k.s"), "RPL\nINCLUDE Keys.h\n:: OKKEY ;\n");
    EXPECT_EQ(run({"--compile", dir.file("p/k.s")}).status, 1);
    ASSERT_EQ(run({"--compile", dir.file("p/k.s"), "--include", dir.file("tools/Include")}).status, 0);
    writeFile(dir.file("p/P.hpp"), "[Main]\r\nlibrary=1\r\nRomid=5A0\r\nRPL_INCLUDE=..\\tools\\Include\r\n"
                                   "[Files]\r\nfile1=k2.s\r\n");
    writeFile(dir.file("p/k2.s"), "RPL\nINCLUDE Keys.h\nxNAME K\n:: OKKEY ;\n");
    EXPECT_EQ(run({"--build", dir.file("p/P.hpp")}).status, 0);
    writeFile(dir.file("tools/Include/Keys.h"), "DEFINE\n");
    const Outcome bad = run({"--build", dir.file("p/P.hpp")});
    EXPECT_EQ(bad.err, dir.file("p/../tools/Include/Keys.h") + ":1:1: DEFINE needs a name\n");
}
