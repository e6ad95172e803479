#include "about/reg_file.h"
#include "about/sys_info.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace scrivlet;
using scrivlet::fixtures::TempDir;

namespace {

Environment environment(std::map<std::string, std::string> variables)
{
    return [variables = std::move(variables)](const char* name) -> std::optional<std::string> {
        const auto it = variables.find(name);
        return it == variables.end() ? std::nullopt : std::optional(it->second);
    };
}

// The registry a .reg file of these lines gives, with no desktop program to stand in.
std::unique_ptr<RegistryView> registryOf(const std::string& lines)
{
    return registryFromFile(RegFile::parse("REGEDIT4\r\n" + lines), std::nullopt);
}

const std::string kKeyLine = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n";
const std::string kLocationLine =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\r\n";

// An executable file.
std::string program(const std::filesystem::path& path)
{
    fixtures::writeFile(path.string(), "#!/bin/sh\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path.string();
}

} // namespace

TEST(GetKeyValue, ReadsValuesTheWayTheRegistryHoldsThem)
{
    const std::string long1023(1023, 'a'), long1024(1024, 'b');
    // The right-hand side of "v"=; whether it is read (nothing: reading it fails); the text
    // after the call, which starts as "before".
    const std::tuple<std::string, std::optional<bool>, std::string> cases[] = {
        {"\"C:\\\\x\"", true, "C:\\x"},        // a string stored with its NUL
        {"hex(1):43,3a,5c,78", true, "C:\\x"}, // without its NUL
        {"hex(1):43,3a,5c,78,00", true, "C:\\x"},
        {"\"\"", true, ""},
        {"hex(1):61,00,62,00,00", true, std::string("a\0b\0", 4)}, // only the last NUL goes
        {"\"" + long1023 + "\"", true, long1023}, // with its NUL, just fits the buffer
        {"\"" + long1024 + "\"", false, ""},
        {"dword:00000102", true, "&h102"},
        {"dword:00000000", true, "&h0"},
        {"dword:ab000000", true, "&hAB000000"},
        {"hex(2):25,41,25,00", true, "before"}, // other types: no text
        {"hex:01,02", true, "before"},
        {"hex(1):", std::nullopt, "before"}, // no bytes at all
        {"hex(4):", std::nullopt, "before"},
    };
    for (const auto& [value, read, expected] : cases) {
        SCOPED_TRACE(value.substr(0, 40));
        RegFile file = RegFile::parse(
            "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n\"v\"=" + value + "\r\n");
        EXPECT_TRUE(file.problems().empty());
        const auto registry = registryFromFile(std::move(file), std::nullopt);
        std::string text = "before";
        if (read)
            EXPECT_EQ(GetKeyValue(*registry, kHkeyLocalMachine, "SOFTWARE\\Test", "v", text),
                      *read);
        else
            EXPECT_THROW(GetKeyValue(*registry, kHkeyLocalMachine, "SOFTWARE\\Test", "v", text),
                         RegistryValueError);
        EXPECT_EQ(text, expected);
        // A value or key that is not there, or another root, empties the text.
        for (const auto& [root, key, name] : {std::tuple{kHkeyLocalMachine, "SOFTWARE\\Test", "w"},
                                              {kHkeyLocalMachine, "SOFTWARE\\Other", "v"},
                                              {kHkeyCurrentUser, "SOFTWARE\\Test", "v"},
                                              {0x12345678u, "SOFTWARE\\Test", "v"}}) {
            text = "before";
            EXPECT_FALSE(GetKeyValue(*registry, root, key, name, text)) << key << " " << name;
            EXPECT_EQ(text, "");
        }
    }
    // Keys and value names are found whatever their letter case.
    const auto registry = registryOf("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n\"v\"=\"x\"\r\n");
    std::string text;
    EXPECT_TRUE(GetKeyValue(*registry, kHkeyLocalMachine, "software\\TEST", "V", text));
    EXPECT_EQ(text, "x");
}

TEST(FindSysInfoTool, FollowsTheTwoValuesInOrder)
{
    const std::string folderFile = sysInfoFileInFolder("/opt/tools");
    const std::string withTool = kLocationLine + "\"MSINFO\"=\"/opt/tools\"\r\n";
    const std::string withoutTool = kLocationLine + "\"MSINFO\"=\"/opt/empty\"\r\n";
    using Files = std::vector<std::string>;
    // The .reg lines, the tool found, the files tested for existence.
    const std::tuple<std::string, std::optional<std::string>, Files> cases[] = {
        {"", std::nullopt, {}},
        {kKeyLine + "\"PATH\"=\"/usr/bin/info-tool\"\r\n" + withTool, "/usr/bin/info-tool", {}},
        {withTool, folderFile, {folderFile}},
        {withoutTool, std::nullopt, {"/opt/empty/MSINFO32.EXE"}},
        // A path too large to read falls back to the folder; one without bytes fails everything.
        {kKeyLine + "\"PATH\"=\"" + std::string(1100, 'p') + "\"\r\n" + withTool,
         folderFile,
         {folderFile}},
        {kKeyLine + "\"PATH\"=hex(1):\r\n" + withTool, std::nullopt, {}},
        // A folder of another type is the root folder.
        {kLocationLine + "\"MSINFO\"=hex(2):2f,00\r\n", std::nullopt, {"/MSINFO32.EXE"}},
    };
    for (const auto& [lines, tool, looked] : cases) {
        SCOPED_TRACE(lines.substr(0, 120));
        Files tested;
        EXPECT_EQ(findSysInfoTool(*registryOf(lines),
                                  [&](const std::string& path) {
                                      tested.push_back(path);
                                      return path == folderFile;
                                  }),
                  tool);
        EXPECT_EQ(tested, looked);
    }
}

TEST(DesktopProgram, FirstInstalledProgramInPreferenceOrder)
{
    TempDir dir;
    const std::string monitor = program(dir.path() / "a" / "gnome-system-monitor");
    const std::string hardinfo = program(dir.path() / "b" / "hardinfo");
    std::filesystem::permissions(program(dir.path() / "c" / "hardinfo2"),
                                 std::filesystem::perms::owner_read);
    std::filesystem::create_directories(dir.path() / "d" / "kinfocenter");
    const std::string a = dir.file("a"), b = dir.file("b"), c = dir.file("c"), d = dir.file("d");
    EXPECT_EQ(findDesktopSysInfoProgram(a + ":" + b), hardinfo);
    EXPECT_EQ(findDesktopSysInfoProgram(c + ":" + d + ":" + a), monitor);
    EXPECT_EQ(findDesktopSysInfoProgram(c + ":" + d), std::nullopt);
    EXPECT_EQ(findDesktopSysInfoProgram(""), std::nullopt);
    EXPECT_EQ(findDesktopSysInfoProgram(":relative/b:"), std::nullopt);
}

TEST(SystemRegistry, TheFileOnDiskAndTheDesktopProgramOnlyWhenTheFileNamesNoTool)
{
    TempDir programs;
    const std::string hardinfo = program(programs.path() / "hardinfo");
    const auto exists = [](const std::string& path) { return path == "/opt/t/MSINFO32.EXE"; };
    // The registry file's bytes (nothing: no file), the tool found.
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {std::nullopt, hardinfo},
        {"garbage", hardinfo},
        {"REGEDIT4\r\n" + kKeyLine + "\"PATH\"=\"/opt/t/tool\"\r\n", "/opt/t/tool"},
        {"REGEDIT4\r\n" + kLocationLine + "\"MSINFO\"=\"/opt/t\"\r\n", "/opt/t/MSINFO32.EXE"},
    };
    for (const auto& [bytes, tool] : cases) {
        TempDir config;
        if (bytes)
            fixtures::writeFile(config.file("Vantor Scrivlet/registry.reg"), *bytes);
        std::vector<std::string> problems;
        const auto registry =
            openSystemRegistry(environment({{"XDG_CONFIG_HOME", config.path().string()},
                                            {"PATH", programs.path().string()}}),
                               problems);
        EXPECT_EQ(findSysInfoTool(*registry, exists), tool) << bytes.value_or("no file");
    }
}

TEST(SystemRegistry, ProblemsNameTheFileAndLine)
{
    TempDir config;
    const std::string file = config.file("Vantor Scrivlet/registry.reg");
    fixtures::writeFile(file, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=what\r\n");
    std::vector<std::string> problems;
    openSystemRegistry(environment({{"XDG_CONFIG_HOME", config.path().string()}}), problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind(file + ":4: ", 0), 0u) << problems[0];
}

TEST(SystemRegistry, FileLocation)
{
    EXPECT_EQ(registryFilePath(environment({{"XDG_CONFIG_HOME", "/cfg"}})),
              std::filesystem::path("/cfg/Vantor Scrivlet/registry.reg"));
    EXPECT_EQ(registryFilePath(environment({{"HOME", "/home/u"}})),
              std::filesystem::path("/home/u/.config/Vantor Scrivlet/registry.reg"));
    EXPECT_EQ(registryFilePath(environment({})), std::nullopt);
}
