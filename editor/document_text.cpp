#include "editor/document_text.h"

#include "calculator/calculator_charset.h"
#include "common/code_page_table.h"
#include "editor/code_page.h"

#include <optional>

namespace scrivlet {
namespace {

constexpr char16_t kLineSeparator = u'\u2028';
constexpr char16_t kParagraphSeparator = u'\u2029';

// Appends the byte of the character starting at text[i] and returns how many UTF-16 units it
// took (2 for a surrogate pair, which has no byte).
qsizetype appendTyped(QStringView text, qsizetype i, const CodePageTable& page, std::string& out)
{
    const char16_t ch = text[i].unicode();
    if (QChar::isHighSurrogate(ch) && i + 1 < text.size() &&
        QChar::isLowSurrogate(text[i + 1].unicode())) {
        out += kUnmappableByte;
        return 2;
    }
    const int byte = byteOfShown(page, ch);
    out += byte >= 0 ? static_cast<char>(byte) : kUnmappableByte;
    return 1;
}

// Appends the UTF-8 bytes of the character starting at text[i] (the stand-ins their CR or LF)
// and returns how many UTF-16 units it took.
qsizetype appendUtf8(QStringView text, qsizetype i, std::string& out)
{
    char32_t ch = text[i].unicode();
    qsizetype units = 1;
    if (QChar::isHighSurrogate(ch) && i + 1 < text.size() &&
        QChar::isLowSurrogate(text[i + 1].unicode())) {
        ch = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
        units = 2;
    }
    if (ch == kCrStandIn)
        out += '\r';
    else if (ch == kLfStandIn)
        out += '\n';
    else
        out += utf8Encoded(ch);
    return units;
}

// The calculator's x̄ has no Unicode character of its own: it is written as an x with a
// combining macron or overline, which in the calculator's character set is one byte. Nothing
// when the page is another or the text holds no such bar.
std::optional<QString> composedForCalculator(QStringView text, const CodePageTable& page)
{
    if (!text.contains(QChar(u'\u0304')) && !text.contains(QChar(u'\u0305')))
        return std::nullopt;
    if (page.chars() != calculatorCodePage().chars())
        return std::nullopt;
    return QString::fromStdU16String(
        calculatorShownText({text.utf16(), static_cast<std::size_t>(text.size())}));
}

} // namespace

std::string typedBytes(QStringView typed, const CodePageTable& page, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8) {
        std::string out;
        for (qsizetype i = 0; i < typed.size();)
            i += appendUtf8(typed, i, out);
        return out;
    }
    const std::optional<QString> composed = composedForCalculator(typed, page);
    if (composed)
        typed = *composed;
    std::string out;
    out.reserve(static_cast<std::size_t>(typed.size()));
    for (qsizetype i = 0; i < typed.size();)
        i += appendTyped(typed, i, page, out);
    return out;
}

std::string pastedBytes(QStringView pasted, const CodePageTable& page, TextEncoding encoding)
{
    const std::optional<QString> composed = composedForCalculator(pasted, page);
    if (composed)
        pasted = *composed;
    std::string out;
    out.reserve(static_cast<std::size_t>(pasted.size()));
    for (qsizetype i = 0; i < pasted.size();) {
        const char16_t ch = pasted[i].unicode();
        if (ch == u'\r' && i + 1 < pasted.size() && pasted[i + 1] == u'\n') {
            out += "\r\n";
            i += 2;
        } else if (ch == u'\r' || ch == u'\n' || ch == kLineSeparator ||
                   ch == kParagraphSeparator) {
            out += "\r\n";
            ++i;
        } else if (encoding == TextEncoding::Utf8) {
            i += appendUtf8(pasted, i, out);
        } else {
            i += appendTyped(pasted, i, page, out);
        }
    }
    return out;
}

QString clipboardText(std::string_view bytes, const CodePageTable& page, TextEncoding encoding)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            text += QLatin1Char('\n');
            ++i;
        } else if (byte == '\r') {
            text += QChar(kCrStandIn);
        } else if (byte == '\n') {
            text += QChar(kLfStandIn);
        } else if (const int length = encoding == TextEncoding::Utf8 ? utf8SequenceAt(bytes, i) : 0;
                   length > 0) {
            const char32_t ch = utf8CodePoint(bytes, i, length);
            text += QString::fromUcs4(&ch, 1);
            i += static_cast<std::size_t>(length - 1);
        } else {
            text += QChar(page.charOf(byte));
        }
    }
    return text;
}

} // namespace scrivlet
