#include "editor/text_encoding.h"

namespace scrivlet {
namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

TextEncoding encodingForFile(std::string_view bytes, TextEncoding usual)
{
    if (isUtf8WithHighBytes(bytes))
        return TextEncoding::Utf8;
    if (bytes.starts_with("%%HP:"))
        return TextEncoding::Calculator;
    return usual;
}

bool isUtf8WithHighBytes(std::string_view bytes)
{
    bool high = false;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const int length = utf8SequenceAt(bytes, i);
        if (length == 0)
            return false;
        high = true;
        i += static_cast<std::size_t>(length);
    }
    return high;
}

int utf8SequenceAt(std::string_view bytes, std::size_t i)
{
    if (i >= bytes.size())
        return 0;
    const auto lead = static_cast<unsigned char>(bytes[i]);
    int length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (bytes.size() - i < static_cast<std::size_t>(length))
        return 0;
    for (int k = 1; k < length; ++k) {
        if (!isContinuation(static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)])))
            return 0;
    }
    // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

char32_t utf8CodePoint(std::string_view bytes, std::size_t i, int length)
{
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = static_cast<unsigned char>(bytes[i]) & kLeadBits[length];
    for (int k = 1; k < length; ++k)
        code = (code << 6) |
               (static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]) & 0x3F);
    return code;
}

std::size_t utf8CharacterStart(std::string_view bytes, std::size_t i)
{
    if (i >= bytes.size() || !isContinuation(static_cast<unsigned char>(bytes[i])))
        return i;
    for (std::size_t back = 1; back <= 3 && back <= i; ++back) {
        const std::size_t start = i - back;
        if (isContinuation(static_cast<unsigned char>(bytes[start])))
            continue;
        return static_cast<std::size_t>(utf8SequenceAt(bytes, start)) > back ? start : i;
    }
    return i;
}

std::string utf8Encoded(char32_t code)
{
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

} // namespace scrivlet
