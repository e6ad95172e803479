#include "about/reg_file.h"
#include "about/sys_info.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

using namespace scrivlet;
using scrivlet::fixtures::TempDir;

namespace {

Environment environment(std::map<std::string, std::string> variables)
{
    return [variables = std::move(variables)](const char* name) -> std::optional<std::string> {
        const auto it = variables.find(name);
        if (it == variables.end())
            return std::nullopt;
        return it->second;
    };
}

std::string hexBytes(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        if (!out.empty())
            out += ",\\\r\n  ";
        out += digits[static_cast<unsigned char>(c) >> 4];
        out += digits[static_cast<unsigned char>(c) & 15];
    }
    return out;
}

// A configuration folder holding the registry file the test writes.
struct RegistryFolder {
    TempDir dir;
    std::vector<std::string> problems;

    void write(const std::string& body) const
    {
        const auto folder = dir.path() / "Vantor Scrivlet";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "registry.reg", std::ios::binary)
            << "Windows Registry Editor Version 5.00\r\n\r\n" << body;
    }
    std::unique_ptr<RegistryView> open(const std::string& searchPath = "")
    {
        return openSystemRegistry(
            environment({{"XDG_CONFIG_HOME", dir.path().string()}, {"PATH", searchPath}}), problems);
    }
};

const std::string kKeyLine = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n";
const std::string kLocationLine = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\r\n";

} // namespace

TEST(GetKeyValue, ReadsValuesTheWayTheRegistryHoldsThem)
{
    const std::string long1023(1023, 'a');
    const std::string long1024(1024, 'b');
    const struct {
        const char* name;
        std::string value; // the right-hand side of "v"=
        bool read;
        std::string text;  // after the call, which starts with "before"
    } cases[] = {
        {"string stored with its NUL", "\"C:\\\\x\"", true, "C:\\x"},
        {"string stored without a NUL", "hex(1):" + hexBytes("C:\\x"), true, "C:\\x"},
        {"string stored with a NUL in hex", "hex(1):" + hexBytes(std::string("C:\\x\0", 5)), true, "C:\\x"},
        {"empty string", "\"\"", true, ""},
        {"only the last NUL is trimmed", "hex(1):" + hexBytes(std::string("a\0b\0\0", 5)), true,
         std::string("a\0b\0", 4)},
        {"1023 characters and a NUL fit", "\"" + long1023 + "\"", true, long1023},
        {"1024 characters and a NUL do not", "\"" + long1024 + "\"", false, ""},
        {"dword", "dword:00000102", true, "&h102"},
        {"dword zero", "dword:00000000", true, "&h0"},
        {"dword high byte only", "dword:ab000000", true, "&hAB000000"},
        {"expandable string leaves the text", "hex(2):" + hexBytes(std::string("%A%\0", 4)), true, "before"},
        {"binary leaves the text", "hex:01,02", true, "before"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryFolder folder;
        folder.write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n\"v\"=" + c.value + "\r\n");
        const auto registry = folder.open();
        EXPECT_TRUE(folder.problems.empty());
        std::string text = "before";
        EXPECT_EQ(GetKeyValue(*registry, kHkeyLocalMachine, "SOFTWARE\\Test", "v", text), c.read);
        EXPECT_EQ(text, c.text);
    }
}

TEST(GetKeyValue, AbsentKeysAndValuesEmptyTheText)
{
    RegistryFolder folder;
    folder.write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n\"v\"=\"x\"\r\n");
    const auto registry = folder.open();
    const struct {
        std::uint32_t root;
        const char* key;
        const char* value;
    } cases[] = {
        {kHkeyLocalMachine, "SOFTWARE\\Other", "v"},
        {kHkeyLocalMachine, "SOFTWARE\\Test", "w"},
        {kHkeyCurrentUser, "SOFTWARE\\Test", "v"},
        {0x12345678, "SOFTWARE\\Test", "v"},
    };
    for (const auto& c : cases) {
        std::string text = "before";
        EXPECT_FALSE(GetKeyValue(*registry, c.root, c.key, c.value, text)) << c.key << " " << c.value;
        EXPECT_EQ(text, "");
    }
    std::string text;
    EXPECT_TRUE(GetKeyValue(*registry, kHkeyLocalMachine, "software\\TEST", "V", text));
    EXPECT_EQ(text, "x");
}

TEST(GetKeyValue, AValueWithoutBytesIsAFailureForTheCaller)
{
    RegistryFolder folder;
    folder.write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n\"v\"=hex(1):\r\n\"d\"=hex(4):\r\n");
    const auto registry = folder.open();
    std::string text = "before";
    EXPECT_THROW(GetKeyValue(*registry, kHkeyLocalMachine, "SOFTWARE\\Test", "v", text),
                 RegistryValueError);
    EXPECT_THROW(GetKeyValue(*registry, kHkeyLocalMachine, "SOFTWARE\\Test", "d", text),
                 RegistryValueError);
}

TEST(FindSysInfoTool, FollowsTheTwoValuesInOrder)
{
    const std::string folderFile = sysInfoFileInFolder("/opt/tools");
    EXPECT_EQ(folderFile, "/opt/tools/MSINFO32.EXE");
    const std::string withTool = kLocationLine + "\"MSINFO\"=\"/opt/tools\"\r\n";
    const std::string withoutTool = kLocationLine + "\"MSINFO\"=\"/opt/empty\"\r\n";
    using Files = std::vector<std::string>;
    const struct {
        const char* name;
        std::string body;
        std::optional<std::string> tool;
        Files looked; // the files tested for existence
    } cases[] = {
        {"both absent", "", std::nullopt, {}},
        {"path", kKeyLine + "\"PATH\"=\"/usr/bin/info-tool\"\r\n" + withTool, "/usr/bin/info-tool", {}},
        {"only the folder, holding the tool", withTool, folderFile, {folderFile}},
        {"only the folder, without the tool", withoutTool, std::nullopt, {"/opt/empty/MSINFO32.EXE"}},
        {"a path too large to read falls back to the folder",
         kKeyLine + "\"PATH\"=\"" + std::string(1100, 'p') + "\"\r\n" + withTool, folderFile, {folderFile}},
        {"a path without bytes fails everything", kKeyLine + "\"PATH\"=hex(1):\r\n" + withTool,
         std::nullopt, {}},
        {"a folder of another type is the root folder", kLocationLine + "\"MSINFO\"=hex(2):2f,00\r\n",
         std::nullopt, {"/MSINFO32.EXE"}},
    };
    const std::set<std::string> existing = {folderFile};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryFolder folder;
        folder.write(c.body);
        const auto registry = folder.open();
        Files looked;
        const auto tool = findSysInfoTool(*registry, [&](const std::string& path) {
            looked.push_back(path);
            return existing.count(path) > 0;
        });
        EXPECT_EQ(tool, c.tool);
        EXPECT_EQ(looked, c.looked);
    }
}

TEST(DesktopProgram, FirstInstalledProgramInPreferenceOrder)
{
    TempDir dir;
    const auto program = [&](const std::string& folder, const std::string& name, bool executable) {
        std::filesystem::create_directories(dir.path() / folder);
        const auto path = dir.path() / folder / name;
        std::ofstream(path) << "#!/bin/sh\n";
        std::filesystem::permissions(path, executable ? std::filesystem::perms::owner_all
                                                      : std::filesystem::perms::owner_read);
        return path.string();
    };
    const std::string monitor = program("a", "gnome-system-monitor", true);
    const std::string hardinfo = program("b", "hardinfo", true);
    program("c", "hardinfo2", false);
    std::filesystem::create_directories(dir.path() / "d" / "kinfocenter");
    const std::string a = (dir.path() / "a").string();
    const std::string b = (dir.path() / "b").string();
    const std::string c = (dir.path() / "c").string();
    const std::string d = (dir.path() / "d").string();

    EXPECT_EQ(findDesktopSysInfoProgram(a + ":" + b), hardinfo);
    EXPECT_EQ(findDesktopSysInfoProgram(c + ":" + d + ":" + a), monitor);
    EXPECT_EQ(findDesktopSysInfoProgram(c + ":" + d), std::nullopt);
    EXPECT_EQ(findDesktopSysInfoProgram(""), std::nullopt);
    EXPECT_EQ(findDesktopSysInfoProgram(":relative/b:"), std::nullopt);
}

TEST(SystemRegistry, TheDesktopProgramStandsInOnlyWhenTheFileNamesNoTool)
{
    TempDir programs;
    const auto hardinfo = programs.path() / "hardinfo";
    std::ofstream(hardinfo) << "#!/bin/sh\n";
    std::filesystem::permissions(hardinfo, std::filesystem::perms::owner_all);
    const std::string searchPath = programs.path().string();
    const auto exists = [](const std::string& path) { return path == "/opt/t/MSINFO32.EXE"; };

    const struct {
        const char* name;
        std::optional<std::string> body; // nullopt: no file
        std::optional<std::string> tool;
    } cases[] = {
        {"no file", std::nullopt, hardinfo.string()},
        {"not a registry file", "garbage", hardinfo.string()},
        {"the file's path", kKeyLine + "\"PATH\"=\"/opt/t/tool\"\r\n", "/opt/t/tool"},
        {"the file's folder", kLocationLine + "\"MSINFO\"=\"/opt/t\"\r\n", "/opt/t/MSINFO32.EXE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryFolder folder;
        if (c.body) {
            const auto dir = folder.dir.path() / "Vantor Scrivlet";
            std::filesystem::create_directories(dir);
            std::ofstream(dir / "registry.reg", std::ios::binary)
                << (std::string(c.name) == "not a registry file" ? "" : "REGEDIT4\r\n") << *c.body;
        }
        const auto registry = folder.open(searchPath);
        EXPECT_EQ(findSysInfoTool(*registry, exists), c.tool);
    }
}

TEST(SystemRegistry, ProblemsNameTheFileAndLine)
{
    RegistryFolder folder;
    folder.write("[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=what\r\n");
    folder.open();
    const std::string file = (folder.dir.path() / "Vantor Scrivlet" / "registry.reg").string();
    ASSERT_EQ(folder.problems.size(), 1u);
    EXPECT_EQ(folder.problems[0].rfind(file + ":4: ", 0), 0u) << folder.problems[0];
}

TEST(SystemRegistry, FileLocation)
{
    EXPECT_EQ(registryFilePath(environment({{"XDG_CONFIG_HOME", "/cfg"}})),
              std::filesystem::path("/cfg/Vantor Scrivlet/registry.reg"));
    EXPECT_EQ(registryFilePath(environment({{"HOME", "/home/u"}})),
              std::filesystem::path("/home/u/.config/Vantor Scrivlet/registry.reg"));
    EXPECT_EQ(registryFilePath(environment({})), std::nullopt);
}
