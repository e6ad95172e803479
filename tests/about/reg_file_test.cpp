#include "about/reg_file.h"
#include "about/registry_view.h"

#include <gtest/gtest.h>
#include <string>

using namespace scrivlet;

namespace {

std::string utf16(const std::string& ascii)
{
    std::string out = "\xFF\xFE";
    for (const char c : ascii) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

std::string sz(const std::string& text)
{
    return text + std::string(1, '\0');
}

} // namespace

TEST(RegFile, BothHeadersAndTheirEncodings)
{
    const std::string body = "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"v\"=\"x\"\r\n";
    const std::tuple<const char*, std::string, bool> cases[] = {
        {"REGEDIT4", "REGEDIT4" + body, true},
        {"version 5", "Windows Registry Editor Version 5.00" + body, true},
        {"UTF-8 mark", "\xEF\xBB\xBFWindows Registry Editor Version 5.00" + body, true},
        {"UTF-16 with mark", utf16("Windows Registry Editor Version 5.00" + body), true},
        {"blank lines first", "\r\n  \r\nREGEDIT4  " + body, true},
        {"LF line ends", "REGEDIT4\n[HKLM\\SOFTWARE\\A]\n\"v\"=\"x\"\n", true},
        {"no header", body, false},
        {"another header", "REGEDIT5" + body, false},
        {"empty", "", false},
    };
    for (const auto& [name, bytes, recognised] : cases) {
        SCOPED_TRACE(name);
        const RegFile file = RegFile::parse(bytes);
        EXPECT_EQ(file.recognised(), recognised);
        const RegValue* value = file.value(kHkeyLocalMachine, "SOFTWARE\\A", "v");
        EXPECT_EQ(file.problems().size(), recognised ? 0u : 1u);
        ASSERT_EQ(value != nullptr, recognised);
        if (value) {
            EXPECT_EQ(*value, (RegValue{kRegSz, sz("x")}));
        }
    }
}

TEST(RegFile, ValueForms)
{
    // A line of the key SOFTWARE\Forms, the name of its value and what the value holds.
    const std::tuple<const char*, const char*, RegValue> cases[] = {
        // clang-format off
        {"@=\"default\"", "", {kRegSz, sz("default")}},
        {"\"path\"=\"C:\\\\Program Files\\\\x.exe\"", "path", {kRegSz, sz("C:\\Program Files\\x.exe")}},
        {"\"quote\"=\"say \\\"hi\\\"\"  ; trailing comment", "quote", {kRegSz, sz("say \"hi\"")}},
        {"\"lone\"=\"C:\\tools\"", "lone", {kRegSz, sz("C:\\tools")}},
        {"\"=odd \\\" name\"=\"\"", "=odd \" name", {kRegSz, sz("")}},
        {"\"d\"=dword:00000102", "d", {kRegDword, std::string("\x02\x01\x00\x00", 4)}},
        {"\"D2\" = DWORD:ffffffff", "d2", {kRegDword, std::string("\xff\xff\xff\xff", 4)}},
        {"\"short\"=dword:1f", "short", {kRegDword, std::string("\x1f\x00\x00\x00", 4)}},
        {"\"bin\"=hex:01,ff,0a", "bin", {kRegBinary, std::string("\x01\xff\x0a", 3)}},
        {"\"empty\"=hex:", "empty", {kRegBinary, ""}},
        {"\"expand\"=hex(2):25,00,41,00,\\\r\n    25,00,00,00", "expand", {kRegExpandSz, std::string("%\0A\0%\0\0\0", 8)}},
        {"\"multi\"=hex(7):61,00,\\\r\n  00,\\\r\n  00", "multi", {7, std::string("a\0\0\0", 4)}},
        {"\"typed\"=hex(4000):7", "typed", {0x4000, std::string("\x07", 1)}},
        // clang-format on
    };
    std::string text = "REGEDIT4\r\n; a comment\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Forms]\r\n";
    for (const auto& [line, name, value] : cases)
        text += std::string(line) + "\r\n";
    const RegFile file = RegFile::parse(text);
    EXPECT_TRUE(file.problems().empty()) << file.problems().front().message;
    for (const auto& [line, name, expected] : cases) {
        const RegValue* value = file.value(kHkeyLocalMachine, "SOFTWARE\\Forms", name);
        ASSERT_NE(value, nullptr) << line;
        EXPECT_EQ(*value, expected) << line;
    }
}

TEST(RegFile, KeysValuesAndRemovals)
{
    const RegFile file = RegFile::parse("Windows Registry Editor Version 5.00\r\n"
                                        "[HKLM\\Software\\Keep\\Child]\r\n"
                                        "\"a\"=\"1\"\r\n"
                                        "\"b\"=\"2\"\r\n"
                                        "\"b\"=-\r\n"
                                        "[HKLM\\Software\\Gone]\r\n"
                                        "\"a\"=\"1\"\r\n"
                                        "[HKLM\\Software\\Gone\\Sub]\r\n"
                                        "\"a\"=\"1\"\r\n"
                                        "[HKLM\\Software\\Gonever]\r\n"
                                        "\"a\"=\"1\"\r\n"
                                        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\GONE]\r\n"
                                        "\"orphan\"=\"lost\"\r\n"
                                        "[hkey_current_user\\Software\\Keep\\Child]\r\n"
                                        "\"a\"=\"user\"\r\n"
                                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEEP\\CHILD]\r\n"
                                        "\"A\"=\"again\"\r\n");
    EXPECT_TRUE(file.hasKey(kHkeyLocalMachine, "software\\keep\\child"));
    EXPECT_TRUE(file.hasKey(kHkeyLocalMachine, "SOFTWARE\\Keep")); // a parent
    EXPECT_TRUE(file.hasKey(kHkeyLocalMachine, "SOFTWARE"));
    EXPECT_FALSE(file.hasKey(kHkeyLocalMachine, "SOFTWARE\\Kee"));
    EXPECT_FALSE(file.hasKey(kHkeyLocalMachine, "SOFTWARE\\Gone"));
    EXPECT_FALSE(file.hasKey(kHkeyLocalMachine, "SOFTWARE\\Gone\\Sub"));
    EXPECT_TRUE(file.hasKey(kHkeyLocalMachine, "SOFTWARE\\Gonever"));
    EXPECT_FALSE(file.hasKey(kHkeyUsers, "SOFTWARE"));

    const RegValue* a = file.value(kHkeyLocalMachine, "SOFTWARE\\KEEP\\child", "a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->data, sz("again")); // the later line wins
    EXPECT_EQ(file.value(kHkeyLocalMachine, "SOFTWARE\\Keep\\Child", "b"), nullptr);
    EXPECT_EQ(file.value(kHkeyCurrentUser, "Software\\Keep\\Child", "a")->data, sz("user"));

    ASSERT_EQ(file.problems().size(), 1u);
    EXPECT_EQ(file.problems()[0].line, 13u); // the value after a removed key
}

TEST(RegFile, BadLinesAreReportedAndSkipped)
{
    const RegFile file = RegFile::parse("REGEDIT4\n"
                                        "[HKEY_LOCAL_MACHINE\\A]\n"
                                        "\"unterminated\"=\"text\n"
                                        "\"good1\"=\"1\"\n"
                                        "[HKEY_NOWHERE\\A]\n"
                                        "\"lost\"=\"x\"\n"
                                        "[HKEY_LOCAL_MACHINE\\A\n"
                                        "[HKEY_LOCAL_MACHINE\\A\\\\B]\n"
                                        "[HKEY_LOCAL_MACHINE\\A]\n"
                                        "\"noequals\" \"x\"\n"
                                        "\"d\"=dword:123456789\n"
                                        "\"d2\"=dword:\n"
                                        "\"h\"=hex:1,2x\n"
                                        "\"h2\"=hex(:00\n"
                                        "\"h3\"=hex(2)00\n"
                                        "\"h4\"=hex:001\n"
                                        "\"s\"=\"a\"b\n"
                                        "\"w\"=word:1\n"
                                        "garbage\n"
                                        "\"good2\"=hex:0,A\n");
    std::vector<std::size_t> lines;
    for (const auto& p : file.problems())
        lines.push_back(p.line);
    EXPECT_EQ(lines,
              (std::vector<std::size_t>{3, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
    EXPECT_EQ(file.value(kHkeyLocalMachine, "A", "good1")->data, sz("1"));
    EXPECT_EQ(file.value(kHkeyLocalMachine, "A", "good2")->data, std::string("\x00\x0a", 2));
    EXPECT_EQ(file.value(kHkeyLocalMachine, "A", "unterminated"), nullptr);
}
