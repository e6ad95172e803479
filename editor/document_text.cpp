#include "editor/document_text.h"

#include "editor/code_page.h"

#include <QTextCursor>
#include <QTextDocument>
#include <array>

namespace scrivlet {
namespace {

constexpr char16_t kLineSeparator = u'\u2028';

// Appends the storable form of the character starting at text[i] and returns how many
// UTF-16 units it took (2 for a surrogate pair).
qsizetype appendStorable(QStringView text, qsizetype i, QString& out)
{
    const char16_t ch = text[i].unicode();
    if (QChar::isHighSurrogate(ch) && i + 1 < text.size() &&
        QChar::isLowSurrogate(text[i + 1].unicode())) {
        out += QLatin1Char(kUnmappableByte);
        return 2;
    }
    out += byteFromDocumentChar(ch) >= 0 ? QChar(ch) : QChar(QLatin1Char(kUnmappableByte));
    return 1;
}

const std::array<char16_t, 256>& documentChars()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> chars{};
        for (int b = 0; b < 256; ++b)
            chars[static_cast<std::size_t>(b)] =
                documentCharFromByte(static_cast<unsigned char>(b));
        return chars;
    }();
    return table;
}

} // namespace

QString documentTextFromBytes(std::string_view bytes)
{
    const std::array<char16_t, 256>& chars = documentChars();
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    qsizetype n = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            out[n++] = QChar(kBlockBreak);
            ++i;
        } else {
            out[n++] = QChar(chars[byte]);
        }
    }
    text.truncate(n);
    return text;
}

void appendBytesFromDocumentText(QStringView text, std::string& out)
{
    const std::size_t first = out.size();
    qsizetype breaks = 0;
    for (QChar ch : text)
        breaks += ch.unicode() == kBlockBreak ? 1 : 0;
    out.resize(first + static_cast<std::size_t>(text.size() + breaks));
    char* at = out.data() + first;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            *at++ = static_cast<char>(c);
        } else if (c == kBlockBreak) {
            *at++ = '\r';
            *at++ = '\n';
        } else {
            const int byte = byteFromDocumentChar(c);
            *at++ = byte >= 0 ? static_cast<char>(byte) : kUnmappableByte;
        }
    }
}

QString typedDocumentText(QStringView typed)
{
    QString out;
    out.reserve(typed.size());
    for (qsizetype i = 0; i < typed.size();)
        i += appendStorable(typed, i, out);
    return out;
}

QString pastedDocumentText(QStringView pasted)
{
    QString out;
    out.reserve(pasted.size());
    for (qsizetype i = 0; i < pasted.size();) {
        const char16_t ch = pasted[i].unicode();
        if (ch == u'\r' && i + 1 < pasted.size() && pasted[i + 1] == u'\n') {
            out += QChar(kBlockBreak);
            i += 2;
        } else if (ch == u'\r' || ch == u'\n' || ch == kLineSeparator || ch == kBlockBreak) {
            out += QChar(kBlockBreak);
            ++i;
        } else {
            i += appendStorable(pasted, i, out);
        }
    }
    return out;
}

bool isTypedTextStorable(QStringView typed)
{
    for (QChar ch : typed) {
        if (byteFromDocumentChar(ch.unicode()) < 0)
            return false;
    }
    return true;
}

bool joinStandInPair(QTextCursor& cursor, int position)
{
    const QTextDocument& doc = *cursor.document();
    if (position < 1 || doc.characterAt(position - 1) != QChar(kCrStandIn) ||
        doc.characterAt(position) != QChar(kLfStandIn))
        return false;
    cursor.setPosition(position - 1);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    cursor.insertText(QString(QChar(kBlockBreak)));
    return true;
}

} // namespace scrivlet
