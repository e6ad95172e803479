#include "calculator/transfer_escapes.h"

#include <array>

namespace scrivlet {
namespace {

struct Mnemonic {
    unsigned char byte;
    std::string_view spelling; // the two characters after the backslash
};

constexpr std::array<Mnemonic, 40> kMnemonics = {{
    {128, "<)"}, {129, "x-"}, {130, ".V"}, {131, "v/"}, {132, ".S"}, {133, "GS"}, {134, "|>"},
    {135, "pi"}, {136, ".d"}, {137, "<="}, {138, ">="}, {139, "=/"}, {140, "Ga"}, {141, "->"},
    {142, "<-"}, {143, "|v"}, {144, "|^"}, {145, "Gg"}, {146, "Gd"}, {147, "Ge"}, {148, "Gn"},
    {149, "Gh"}, {150, "Gl"}, {151, "Gr"}, {152, "Gs"}, {153, "Gt"}, {154, "Gw"}, {155, "GD"},
    {156, "PI"}, {157, "GW"}, {158, "[]"}, {159, "oo"}, {171, "<<"}, {176, "^o"}, {181, "Gm"},
    {187, ">>"}, {215, ".x"}, {216, "O/"}, {223, "Gb"}, {247, ":-"},
}};

constexpr char kBackslash = '\\';

struct Escape {
    unsigned char byte = 0;
    std::size_t length = 0; // 0: no escape starts here
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The escape at the start of text, which starts with a backslash. No mnemonic starts with a
// digit or a backslash, so the three kinds never compete.
Escape escapeAt(std::string_view text)
{
    if (text.size() >= 2 && text[1] == kBackslash)
        return {static_cast<unsigned char>(kBackslash), 2};
    if (text.size() >= 4 && isDigit(text[1]) && isDigit(text[2]) && isDigit(text[3])) {
        const int value = (text[1] - '0') * 100 + (text[2] - '0') * 10 + (text[3] - '0');
        if (value <= 255)
            return {static_cast<unsigned char>(value), 4};
        return {};
    }
    if (text.size() >= 3) {
        for (const Mnemonic& m : kMnemonics) {
            if (text.substr(1, 2) == m.spelling)
                return {m.byte, 3};
        }
    }
    return {};
}

int headerTranslationMode(std::string_view headerLine)
{
    const std::size_t at = headerLine.find("T(");
    if (at == std::string_view::npos || at + 3 >= headerLine.size() ||
        !isDigit(headerLine[at + 2]) || headerLine[at + 3] != ')')
        return -1;
    return headerLine[at + 2] - '0';
}

} // namespace

EscapesToBytesResult escapesToBytes(std::string_view text)
{
    EscapesToBytesResult result;
    result.bytes.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t slash = text.find(kBackslash, at);
        if (slash == std::string_view::npos) {
            result.bytes.append(text.substr(at));
            break;
        }
        result.bytes.append(text.substr(at, slash - at));
        const Escape escape = escapeAt(text.substr(slash));
        if (escape.length == 0) {
            result.bytes.push_back(kBackslash);
            ++result.unknown;
            at = slash + 1;
        } else {
            result.bytes.push_back(static_cast<char>(escape.byte));
            ++result.converted;
            at = slash + escape.length;
        }
    }
    return result;
}

std::string transferEscape(unsigned char byte)
{
    if (byte == kBackslash)
        return "\\\\";
    if (byte < 128)
        return {};
    for (const Mnemonic& m : kMnemonics) {
        if (m.byte == byte) {
            std::string escape(1, kBackslash);
            escape.append(m.spelling);
            return escape;
        }
    }
    const char digits[] = {kBackslash, static_cast<char>('0' + byte / 100),
                           static_cast<char>('0' + byte / 10 % 10),
                           static_cast<char>('0' + byte % 10)};
    return std::string(digits, sizeof digits);
}

BytesToEscapesResult bytesToEscapes(std::string_view bytes)
{
    // Built once: the escape of each byte, empty for bytes written as themselves.
    static const std::array<std::string, 256> escapes = [] {
        std::array<std::string, 256> table;
        for (std::size_t byte = 0; byte < table.size(); ++byte)
            table[byte] = transferEscape(static_cast<unsigned char>(byte));
        return table;
    }();
    BytesToEscapesResult result;
    result.text.reserve(bytes.size());
    for (const char c : bytes) {
        const std::string& escape = escapes[static_cast<unsigned char>(c)];
        if (escape.empty()) {
            result.text.push_back(c);
        } else {
            result.text.append(escape);
            ++result.converted;
        }
    }
    return result;
}

bool hasCalculatorHeader(std::string_view bytes)
{
    return bytes.starts_with("%%HP:");
}

CalculatorFileText calculatorFileText(std::string_view bytes)
{
    CalculatorFileText file;
    std::string_view body = bytes;
    if (hasCalculatorHeader(bytes)) {
        const std::size_t lineEnd = bytes.find('\n');
        const std::size_t headerSize =
            lineEnd == std::string_view::npos ? bytes.size() : lineEnd + 1;
        file.text.assign(bytes.substr(0, headerSize));
        file.translationMode = headerTranslationMode(file.text);
        body = bytes.substr(headerSize);
    } else {
        file.text.assign(kCalculatorHeader);
        file.text.append("\r\n");
        file.headerAdded = true;
    }
    BytesToEscapesResult escaped = bytesToEscapes(body);
    file.text.append(escaped.text);
    file.converted = escaped.converted;
    return file;
}

} // namespace scrivlet
