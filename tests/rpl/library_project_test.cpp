#include "support/book_names.h"
#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "reference/entry_table.h"
#include "rpl/library_project.h"
#include "rpl/project_build.h"
#include "rpl/rpl_compiler.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <set>

using namespace scrivlet;

namespace {

using fixtures::bookNames;

std::map<std::string, std::string> filesByName(const std::vector<ProjectFile>& files)
{
    std::map<std::string, std::string> byName;
    for (const ProjectFile& file : files)
        byName[file.name] = file.text;
    return byName;
}

ProjectBuild build(const std::map<std::string, std::string>& files, const std::string& project)
{
    return buildLibraryProject(
        files.at(project),
        [&](const std::string& name) -> std::optional<std::string> {
            const auto it = files.find(name);
            return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
        },
        bookNames());
}

} // namespace

// Every real library decompiles into a project whose sources build the same library, nibble
// for nibble, 48 series and 49 series alike.
TEST(LibraryProject, EveryRealLibraryBuildsBackIdentically)
{
    int libraries = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SCRIVLET_OBJECTS_DIR)) {
        if (entry.path().extension() != ".hp")
            continue;
        const TransferFileRead read = readTransferFile(readWholeFile(entry.path().string()).bytes);
        if (!read.ok || read.file.object.prolog != prolog::kLibrary)
            continue;
        SCOPED_TRACE(entry.path().string());
        ++libraries;
        const LibraryRead parts = readLibrary(read.file.object);
        ASSERT_TRUE(parts.ok);
        const bool hp48 = read.file.family == CalculatorFamily::Hp48;
        const auto files = filesByName(libraryProjectFiles(parts.parts, "LIB", bookNames(), hp48));
        const ProjectBuild built = build(files, "LIB.hpp");
        ASSERT_TRUE(built.ok) << built.error.file << ":" << built.error.line << ": "
                              << built.error.message;
        EXPECT_EQ(built.hp48, hp48);
        const LibraryBuild library = buildLibrary(built.parts);
        ASSERT_TRUE(library.ok) << library.message;
        EXPECT_EQ(objectNibbles(library.library), objectNibbles(read.file.object));
    }
    EXPECT_GE(libraries, 30);
}

// Every 49-series project of the real ones whose files are all here builds the very file its
// author shipped (FilePath=): a library or, for library=0, the one object. A project whose
// header came with its author's tools (Header.h, informbox.h) is not here to build, and one
// holding an assembler block is refused; both are counted apart.
TEST(LibraryProject, RealProjectsBuildTheFilesTheirAuthorsShipped)
{
    int identical = 0, incomplete = 0;
    std::string faults;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SCRIVLET_OBJECTS_DIR)) {
        if (entry.path().extension() != ".hpp")
            continue;
        const std::string project = readWholeFile(entry.path().string()).bytes;
        const auto filePath = project.find("FilePath=");
        if (project.find("Calc48=0") == std::string::npos || filePath == std::string::npos)
            continue;
        const auto folder = entry.path().parent_path();
        const std::string shippedName =
            project.substr(filePath + 9, project.find_first_of("\r\n", filePath) - filePath - 9);
        const TransferFileRead shipped =
            readTransferFile(readWholeFile((folder / shippedName).string()).bytes);
        const ProjectBuild built = buildLibraryProject(project, folderFileReader(folder), bookNames());
        const std::string& message = built.error.message;
        if (!built.ok && (message.rfind("cannot read", 0) == 0 ||
                          message.find("assembler block") != std::string::npos)) {
            ++incomplete;
            continue;
        }
        if (!built.ok || !shipped.ok) {
            faults += entry.path().string() + ": " + built.error.file + ":" +
                      std::to_string(built.error.line) + ": " + message + "\n";
            continue;
        }
        const RplObject object = built.object ? *built.object : buildLibrary(built.parts).library;
        if (objectNibbles(object) != objectNibbles(shipped.file.object))
            faults += entry.path().string() + ": differs from " + shippedName + "\n";
        else
            ++identical;
    }
    EXPECT_EQ(faults, "");
    EXPECT_GE(identical, 16);
    EXPECT_LE(incomplete, 6);
}

// A fault in a project names the file and, for a source, the line and column in that file; a
// project that is no library, a bad Romid and a missing source are refused.
TEST(LibraryProject, FaultsNameTheFileAndLine)
{
    std::map<std::string, std::string> files = {
        {"P.hpp", "[Main]\r\nlibrary=1\r\nRomid=5A0\r\nTitle=T \\97\r\n[Files]\r\nfile2=b.s\r\n"
                  "file1=a.s\r\n"},
        {"a.s", "RPL\n* first\nNULLNAME helper\n:: DUP ;\n"},
        {"b.s", "* visible\nxNAME SQ\\97\n:: helper\n   DROP ;\n"},
    };
    ProjectBuild built = build(files, "P.hpp");
    ASSERT_TRUE(built.ok) << built.error.message;
    EXPECT_EQ(built.parts.romId, 0x5A0u);
    EXPECT_EQ(built.parts.title, "T \x97");
    ASSERT_EQ(built.parts.commands.size(), 2u);
    EXPECT_EQ(built.parts.commands[0].number, 1u); // file1, hidden, numbered after SQρ
    EXPECT_EQ(built.parts.commands[1].name, "SQ\x97");
    // The hidden command is called by its name: a library command of the project.
    const RplObject& call = built.parts.commands[1].object.items.at(0);
    EXPECT_EQ(call.prolog, prolog::kXlibName);
    EXPECT_EQ(nibbleField(call.body, 0, 3), 0x5A0u);
    EXPECT_EQ(nibbleField(call.body, 3, 3), 1u);
    EXPECT_TRUE(buildLibrary(built.parts).ok);

    // A header listed among the files counts for its DEFINEs and adds no command.
    files["P.hpp"] += "file3=P.h\r\n";
    files["P.h"] = "ASSEMBLEM DC RomId 5A0 !RPL\nxROMID 5A0\nEXTERNAL xSQ\\97\n";
    EXPECT_EQ(build(files, "P.hpp").parts.commands.size(), 2u);

    files["b.s"] = "* visible\nxNAME SQ\n:: DUP\n   NOSUCHWORD ;\n";
    built = build(files, "P.hpp");
    ASSERT_FALSE(built.ok);
    EXPECT_EQ(built.error.file, "b.s");
    EXPECT_EQ(built.error.line, 4u);
    files["b.s"] = "* visible\n:: DUP ;\n";
    EXPECT_EQ(build(files, "P.hpp").error.line, 2u);
    files.erase("b.s");
    EXPECT_EQ(build(files, "P.hpp").error.file, "b.s");
    files["P.hpp"] = "[Main]\nlibrary=1\nRomid=G00\n[Files]\nfile1=a.s\n";
    EXPECT_FALSE(build(files, "P.hpp").ok);
    // A project that builds no library compiles its one source; two are refused.
    files["P.hpp"] = "[Main]\nRomid=500\n[Files]\nfile1=a.s\n";
    const ProjectBuild object = build(files, "P.hpp");
    ASSERT_TRUE(object.ok) << object.error.message;
    EXPECT_EQ(object.object->prolog, prolog::kProgram);
    files["P.hpp"] = "[Main]\nlibrary=0\n[Files]\nfile1=a.s\nfile2=a.s\n";
    EXPECT_FALSE(build(files, "P.hpp").ok);
    // The book's addresses are the 49 series': a 48-series project names entries by address.
    files["P.hpp"] = "[Main]\nCalc48=1\n[Files]\nfile1=a.s\n";
    EXPECT_EQ(build(files, "P.hpp").error.message.rfind("DUP: the book holds the 49", 0), 0u);
    files["a.s"] = "RPL\n:: PTR 03188 ;\n";
    EXPECT_TRUE(build(files, "P.hpp").ok);
}

// The System RPL forms of HP's compiler give the nibbles HP's tools stored for them (the unit
// and the algebraic as they lie in hpairnav's ASPD50 library); an assembler block is refused
// where it starts.
TEST(LibraryProject, SystemRplFormsCompileAsHpToolsStoreThem)
{
    const CompileResult compiled = compileRpl(
        ":: ROMPTR 326 2 UNIT % 0 \"m\" umEND ;\n  SYMBOL LAM vc %2 x^ ; $ \"ab\" CHR A ;",
        bookNames());
    ASSERT_TRUE(compiled.ok) << compiled.error.message;
    Nibbles expected;
    appendNibbleHex("D9D20" "29E20623200" "ADA20339200000000000000000C2A2070000D6777D2B2130"
                    "8BA20D6E20206736169F2790A3B2130" "C2A20900001626" "FB92014" "B2130",
                    expected);
    EXPECT_EQ(objectNibbles(compiled.object), expected);

    const CompileResult code = compileRpl(":: DUP\n  CODE\n ENDCODE ;", bookNames());
    ASSERT_FALSE(code.ok);
    EXPECT_EQ(code.error.line, 2u);
    EXPECT_EQ(code.error.column, 3u);
    EXPECT_NE(code.error.message.find("CODE"), std::string::npos);

    // An unknown entry is named with the book's three nearest names.
    const CompileResult unknown = compileRpl(":: SWAPDROPP ;", bookNames());
    ASSERT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.error.column, 4u);
    EXPECT_EQ(unknown.error.message,
              "the reference book has no entry SWAPDROPP (nearest: SWAPDROP, ?SWAPDROP, "
              "SWAPDROPDUP)");
}

// Real sources as HP's tools compiled them (hpairnav's ASPD50: comments, an INCLUDE header,
// DEFINE ... ROMPTR, UNIT, SYMBOL, ' ID, "\B0C") build the very command objects of the shipped
// library; they are its hidden commands 2 to 5. The header the project writes is the shipped one.
TEST(LibraryProject, RealSourcesBuildTheShippedCommands)
{
    const std::string folder = std::string(SCRIVLET_OBJECTS_DIR) + "/hpairnav/ASPD50/";
    const TransferFileRead shipped = readTransferFile(readWholeFile(folder + "ASPD50.hp").bytes);
    ASSERT_TRUE(shipped.ok);
    const LibraryRead library = readLibrary(shipped.file.object);
    ASSERT_TRUE(library.ok);
    // The project asks for its header, which the sources INCLUDE: they read this build's.
    const std::string project =
        "[Main]\r\nlibrary=1\r\nRomid=328\r\nTitle=ASPD50 v1.34\r\nWriteHeader=1\r\n"
        "[Files]\r\nfile1=CMACH.s\r\nfile2=CSAT.s\r\nfile3=TASMS.s\r\nfile4=CTAT.s\r\n";
    const ProjectBuild built = buildLibraryProject(
        project,
        [&](const std::string& name) -> std::optional<std::string> {
            if (name == "ASPD50.h")
                return std::nullopt; // the shipped header is not read
            FileReadResult file = readWholeFile(folder + name);
            return file.ok ? std::optional<std::string>(std::move(file.bytes)) : std::nullopt;
        },
        bookNames(), "C:\\Projects\\ASPD50\\ASPD50.hpp");
    ASSERT_TRUE(built.ok) << built.error.file << ":" << built.error.line << ": "
                          << built.error.message;
    // The header is the shipped one (whose line naming the author's folder is left out) without
    // the three files this project lacks.
    const std::set<std::string> absent = {"ASPDMNU.s", "ASPDFRM.s", "ASPDform.s"};
    const std::string header = readWholeFile(folder + "ASPD50.h").bytes;
    std::string expected;
    bool skipping = false;
    for (std::size_t at = 0; at < header.size();) {
        const std::size_t end = std::min(header.find("\r\n", at), header.size());
        const std::string line = header.substr(at, end - at);
        at = end + 2;
        if (line.starts_with("* entries of the file "))
            skipping = absent.contains(line.substr(22));
        if (!skipping && !(line.starts_with("*    ") && absent.contains(line.substr(5))))
            expected += line + "\n";
        skipping = skipping && !line.empty();
        if (expected == "* This Header file has been automaticaly\n")
            expected += "* generated from the C:\\Projects\\ASPD50\\ASPD50.hpp project files\n";
    }
    EXPECT_EQ(built.headerName, "ASPD50.h");
    EXPECT_EQ(built.headerText, expected);
    ASSERT_EQ(built.parts.commands.size(), 4u);
    for (std::uint32_t i = 0; i < 4; ++i) {
        const auto it = std::find_if(library.parts.commands.begin(), library.parts.commands.end(),
                                     [&](const LibraryCommand& c) { return c.number == i + 2; });
        ASSERT_NE(it, library.parts.commands.end());
        EXPECT_EQ(objectNibbles(built.parts.commands[i].object), objectNibbles(it->object)) << i;
    }
}

// As in hpairnav's shipped libraries, the objects between WHILE and REPEAT become one program
// when there are several; one object stays as it is, so decompiled loops build back unchanged.
TEST(LibraryProject, LoopBodiesBecomeOneProgram)
{
    const std::map<std::string, std::string> files = {
        {"P.hpp", "[Main]\nlibrary=1\nRomid=300\n[Files]\nfile1=a.s\n"},
        {"a.s", "xNAME A\n:: BEGIN DUP WHILE DROP BEGIN DUP WHILE DROP DUP REPEAT REPEAT\n"
                "   BEGIN DUP WHILE DROP REPEAT ;\n"},
    };
    const ProjectBuild built = build(files, "P.hpp");
    ASSERT_TRUE(built.ok) << built.error.message;
    const CompileResult expected = compileRpl(
        ":: BEGIN DUP WHILE :: DROP BEGIN DUP WHILE :: DROP DUP ; REPEAT ; REPEAT\n"
        "   BEGIN DUP WHILE DROP REPEAT ;",
        bookNames());
    ASSERT_TRUE(expected.ok);
    EXPECT_EQ(built.parts.commands.at(0).object, expected.object);
}

// hpairnav's INFTEST sources (an input form: FLASHPTR IfMain and IfSetFieldValue by name,
// 'DROPFALSE, the header's ASSEMBLEM DC RomId ... !RPL and xROMID) build the shipped library
// nibble for nibble.
TEST(LibraryProject, InputFormSourcesBuildTheShippedLibrary)
{
    const std::string folder = std::string(SCRIVLET_OBJECTS_DIR) + "/hpairnav/INFTEST/";
    std::map<std::string, std::string> files = {
        {"P.hpp", "[Main]\nlibrary=1\nRomid=326\nTitle=INFTEST\n[Files]\nfile1=INFTSTform.s\n"
                  "file2=INFTEST.s\nfile3=TSTHND.s\nfile4=Field_PA_MsgHandler.s\n"}};
    for (const char* name : {"INFTSTform.s", "INFTEST.s", "TSTHND.s", "Field_PA_MsgHandler.s",
                             "INFTEST.h"})
        files[name] = readWholeFile(folder + name).bytes;
    const ProjectBuild built = build(files, "P.hpp");
    ASSERT_TRUE(built.ok) << built.error.file << ":" << built.error.line << ": "
                          << built.error.message;
    const LibraryBuild library = buildLibrary(built.parts);
    ASSERT_TRUE(library.ok) << library.message;
    const TransferFileRead shipped = readTransferFile(readWholeFile(folder + "INFTEST.hp").bytes);
    ASSERT_TRUE(shipped.ok);
    EXPECT_EQ(objectNibbles(library.library), objectNibbles(shipped.file.object));
}

// The forms of the calculator's own compiler and what HP's tools read in a source file give the
// objects their explicit System RPL forms give: !NO CODE, a bare integer as a system binary,
// %10000 as a real, a bare ROM library command, {} and {}N, a DEFINE whose name follows ID and
// whose comment is left out, a name declared EXTERNAL, ZINT 0 as one nibble.
TEST(LibraryProject, SourceFileFormsGiveTheirExplicitObjects)
{
    const auto noFiles = [](const std::string&) -> std::optional<std::string> { return {}; };
    const SourceCompile source = compileSystemSource(
        "!NO CODE\n!RPL\nDEFINE CFG LIBCFG   ( where the settings live )\nEXTERNAL Choose\n"
        "{ 79 %10000 xREVLIST {} {}N ID CFG Choose ZINT 0 }\n@\n",
        noFiles, bookNames());
    ASSERT_TRUE(source.ok) << source.error.line << ": " << source.error.message;
    CompileOptions system;
    system.systemRpl = true;
    const CompileResult explicitForms = compileRpl(
        "{ # 4F % 10000 ROMPTR2 ~xREVLIST { } {}N ID LIBCFG ROMPTR2 ~Choose ZINT 0 }",
        bookNames(), system);
    ASSERT_TRUE(explicitForms.ok) << explicitForms.error.message;
    EXPECT_EQ(source.object, explicitForms.object);
    Nibbles zero;
    appendNibbleHex("41620" "60000" "0", zero);
    EXPECT_EQ(objectNibbles(source.object.items.back()), zero);
}
