#include "calculator/grob_text.h"

#include "common/ascii.h"

#include <cstdio>

namespace scrivlet {

namespace {

constexpr bool isSeparator(char c)
{
    return isSpaceTabOrLineBreak(c);
}

struct Word {
    std::string_view text; // empty at the end of the line
    std::size_t column = 0;
};

// The next word from pos on, pos left after it.
Word nextWord(std::string_view line, std::size_t& pos)
{
    while (pos < line.size() && isSeparator(line[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !isSeparator(line[pos]))
        ++pos;
    return {line.substr(start, pos - start), start + 1};
}

// A word for a message: printable ASCII as it is, other bytes as \xNN, cut after 16 bytes.
std::string shown(std::string_view word)
{
    std::string text;
    for (std::size_t i = 0; i < word.size() && i < 16; ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return "'" + text + (word.size() > 16 ? "...'" : "'");
}

std::string at(std::size_t column)
{
    return " at column " + std::to_string(column);
}

GrobTextParse problem(std::string text, std::size_t column)
{
    GrobTextParse parse;
    parse.problem = std::move(text);
    parse.column = column;
    return parse;
}

// Reads the width or the height; a problem when the word is missing, not a number or too large.
std::optional<GrobTextParse> readSide(const Word& word, const char* name, const char* before,
                                      std::size_t end, std::uint32_t& value)
{
    if (word.text.empty())
        return problem(
            std::string("The line ends after ") + before + "; the " + name + " is missing.", end);
    std::size_t significant = 0;
    value = 0;
    for (char c : word.text) {
        if (c < '0' || c > '9')
            return problem(std::string("The ") + name + " " + shown(word.text) + at(word.column) +
                               " is not a whole number.",
                           word.column);
        if (significant > 0 || c != '0')
            ++significant;
        if (significant <= 7)
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (significant > 7 || value > kGrobMaxSide)
        return problem(std::string("The ") + name + " " + shown(word.text) + at(word.column) +
                           " is more than 1048575, the most a GROB can have.",
                       word.column);
    return std::nullopt;
}

} // namespace

GrobTextParse parseGrobText(std::string_view line)
{
    const std::size_t end = line.size() + 1;
    std::size_t pos = 0;
    const Word keyword = nextWord(line, pos);
    if (keyword.text.empty())
        return problem("The line is empty; a GROB line starts with the keyword GROB.", 1);
    if (keyword.text != "GROB")
        return problem("The line starts with " + shown(keyword.text) +
                           ", not with the keyword GROB.",
                       keyword.column);

    GrobObject grob;
    const Word width = nextWord(line, pos);
    if (auto bad = readSide(width, "width", "GROB", end, grob.width))
        return *bad;
    const Word height = nextWord(line, pos);
    if (auto bad = readSide(height, "height", "the width", end, grob.height))
        return *bad;

    const std::string size = std::to_string(grob.width) + "×" + std::to_string(grob.height);
    const std::uint64_t needed = grobDataNibbles(grob.width, grob.height);
    if (needed > kGrobMaxDataNibbles)
        return problem("A GROB of " + size + " pixels needs " + std::to_string(needed) +
                           " hex digits of data; its length field allows at most " +
                           std::to_string(kGrobMaxDataNibbles) + ".",
                       width.column);

    const Word data = nextWord(line, pos);
    for (std::size_t i = 0; i < data.text.size(); ++i) {
        const char c = data.text[i];
        if (hexDigitValue(c) >= 0)
            continue;
        const std::size_t column = data.column + i;
        const bool printable = c > 0x20 && c < 0x7F;
        return problem((printable ? "Character '" + std::string(1, c) + "'"
                                  : "The byte " + shown(data.text.substr(i, 1))) +
                           at(column) + " is not a hex digit.",
                       column);
    }
    if (data.text.size() != needed)
        return problem("The data holds " + std::to_string(data.text.size()) +
                           " hex digits; a GROB of " + size + " pixels needs " +
                           std::to_string(needed) + ".",
                       data.text.empty() ? end : data.column);
    const Word extra = nextWord(line, pos);
    if (!extra.text.empty())
        return problem("Unexpected " + shown(extra.text) + at(extra.column) + " after the data.",
                       extra.column);

    grob.data.resize(data.text.size() / 2);
    for (std::size_t i = 0; i < grob.data.size(); ++i) {
        const int low = hexDigitValue(data.text[2 * i]);
        const int high = hexDigitValue(data.text[2 * i + 1]);
        grob.data[i] = static_cast<char>(low | (high << 4));
    }
    GrobTextParse parse;
    parse.grob = std::move(grob);
    return parse;
}

} // namespace scrivlet
