#include "rpl/source_text.h"

#include "calculator/transfer_escapes.h"

namespace scrivlet {

namespace {

// The length of the escape starting at text[at] (a backslash) and its byte; 0 when none.
std::size_t escapeAt(std::string_view text, std::size_t at, char& byte)
{
    for (std::size_t length : {std::size_t{4}, std::size_t{3}, std::size_t{2}}) {
        if (at + length > text.size())
            continue;
        const EscapesToBytesResult r = escapesToBytes(text.substr(at, length));
        if (r.converted == 1 && r.unknown == 0 && r.bytes.size() == 1) {
            byte = r.bytes[0];
            return length;
        }
    }
    return 0;
}

char headerLetter(std::string_view header, std::string_view key, char fallback)
{
    const std::size_t at = header.find(key);
    return at != std::string_view::npos && at + key.size() < header.size() ? header[at + key.size()]
                                                                           : fallback;
}

} // namespace

SourceText readSourceText(std::string_view text)
{
    SourceText source;
    std::size_t pos = 0;
    if (hasCalculatorHeader(text)) {
        const std::size_t end = text.find('\n');
        const std::string_view header = text.substr(0, end);
        const char t = headerLetter(header, "T(", '?');
        source.translationMode = t >= '0' && t <= '3' ? t - '0' : -1;
        source.angleMode = headerLetter(header, "A(", 'R');
        source.fractionMark = headerLetter(header, "F(", '.');
        pos = end == std::string_view::npos ? text.size() : end + 1;
        source.headerEnd = pos;
    }
    const bool escapes = source.translationMode < 0 || source.translationMode >= 2;
    source.bytes.reserve(text.size() - pos);
    source.origin.reserve(text.size() - pos);
    while (pos < text.size()) {
        char byte = text[pos];
        std::size_t length = 1;
        if (byte == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
            ++pos; // CR LF reads as one line feed
            byte = '\n';
        } else if (byte == '\\' && escapes) {
            if (const std::size_t n = escapeAt(text, pos, byte))
                length = n;
        }
        source.bytes += byte;
        source.origin.push_back(static_cast<std::uint32_t>(pos));
        pos += length;
    }
    return source;
}

LineColumn lineColumnAt(std::string_view text, std::size_t offset)
{
    LineColumn at;
    offset = std::min(offset, text.size());
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++at.line;
            at.column = 1;
        } else {
            ++at.column;
        }
    }
    return at;
}

} // namespace scrivlet
