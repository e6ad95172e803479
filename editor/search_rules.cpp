#include "editor/search_rules.h"

#include "editor/code_page.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace scrivlet {

namespace {

std::int64_t clampOffset(std::int64_t offset, std::int64_t length)
{
    return std::clamp<std::int64_t>(offset, 0, length);
}

// Position of `term` (not empty) in `hay`, or -1.
std::int64_t locate(std::string_view hay, std::string_view term)
{
    if (term.size() > hay.size())
        return -1;
    if (term.size() == 1) {
        const void* hit = std::memchr(hay.data(), term.front(), hay.size());
        return hit ? static_cast<const char*>(hit) - hay.data() : -1;
    }
#if defined(__GLIBC__)
    // glibc's memmem is linear in the worst case and fast on ordinary text.
    const void* hit = ::memmem(hay.data(), hay.size(), term.data(), term.size());
    return hit ? static_cast<const char*>(hit) - hay.data() : -1;
#else
    const auto it = std::search(hay.begin(), hay.end(),
                                std::boyer_moore_horspool_searcher(term.begin(), term.end()));
    return it == hay.end() ? -1 : it - hay.begin();
#endif
}

// The bytes of the text not yet written to the output: bytes a formed occurrence pushed back
// in front (`pending`, read first), then the unread rest of the original text. Pushing back
// and reading are amortised constant time per byte.
class UnreadBytes {
  public:
    explicit UnreadBytes(std::string_view text) : m_text(text) {}

    std::int64_t size() const
    {
        return pendingSize() + static_cast<std::int64_t>(m_text.size() - m_rest);
    }
    std::int64_t pendingSize() const
    {
        return static_cast<std::int64_t>(m_pending.size() - m_head);
    }
    // Offset in the original text of the first unread original byte.
    std::int64_t restOffset() const { return static_cast<std::int64_t>(m_rest); }

    // Appends the first `count` unread bytes (or all there are) to `to`.
    void peek(std::int64_t count, std::string& to) const
    {
        const std::string_view pending = pendingView();
        const auto fromPending = std::min<std::int64_t>(count, std::ssize(pending));
        to.append(pending.substr(0, static_cast<std::size_t>(fromPending)));
        to.append(m_text.substr(m_rest, static_cast<std::size_t>(count - fromPending)));
    }

    // Moves the first `count` unread bytes to the end of `to`.
    void take(std::int64_t count, std::string& to)
    {
        peek(count, to);
        skip(count);
    }

    void skip(std::int64_t count)
    {
        const auto fromPending = std::min(count, pendingSize());
        m_head += static_cast<std::size_t>(fromPending);
        m_rest += static_cast<std::size_t>(count - fromPending);
        if (m_head == m_pending.size()) {
            m_pending.clear();
            m_head = 0;
        }
    }

    // Puts `bytes` back in front of the unread bytes.
    void unread(std::string_view bytes)
    {
        if (bytes.empty())
            return;
        if (m_head < bytes.size()) {
            const std::size_t room = std::max(bytes.size(), m_pending.size() - m_head) + 16;
            std::string grown(room, '\0');
            grown.append(pendingView());
            m_pending = std::move(grown);
            m_head = room;
        }
        m_head -= bytes.size();
        m_pending.replace(m_head, bytes.size(), bytes);
    }

    // The first occurrence of `term` in the unread bytes, as an offset from their front, or -1.
    // Reads only up to the occurrence and the term's length beyond.
    std::int64_t find(std::string_view term, std::string& scratch) const
    {
        const std::string_view pending = pendingView();
        const auto termLength = std::ssize(term);
        if (!pending.empty()) {
            const std::int64_t inPending = locate(pending, term);
            if (inPending >= 0)
                return inPending;
            // An occurrence that starts in the last termLength - 1 pending bytes.
            const std::int64_t from =
                std::max<std::int64_t>(0, std::ssize(pending) - termLength + 1);
            scratch.assign(pending.substr(static_cast<std::size_t>(from)));
            scratch.append(m_text.substr(m_rest, static_cast<std::size_t>(termLength - 1)));
            const std::int64_t across = locate(scratch, term);
            if (across >= 0)
                return from + across;
        }
        const std::int64_t inText = locate(m_text.substr(m_rest), term);
        return inText < 0 ? -1 : std::ssize(pending) + inText;
    }

  private:
    std::string_view pendingView() const { return std::string_view(m_pending).substr(m_head); }

    std::string_view m_text;
    std::size_t m_rest = 0;
    std::string m_pending;
    std::size_t m_head = 0;
};

// Whether a replacement can form an occurrence with the bytes around it. Such an occurrence
// overlaps the inserted replacement (or, for an empty one, spans the place it was cut), so the
// two must agree where they overlap: a suffix of one is a prefix of the other, or the
// replacement lies inside the term.
bool replacementCanFormTerm(std::string_view term, std::string_view replacement)
{
    if (replacement.empty() || term.size() * replacement.size() > 1'000'000)
        return true;
    if (term.find(replacement) != std::string_view::npos)
        return true;
    const std::size_t most = std::min(term.size(), replacement.size());
    for (std::size_t k = 1; k <= most; ++k) {
        if (replacement.substr(replacement.size() - k) == term.substr(0, k) ||
            term.substr(term.size() - k) == replacement.substr(0, k))
            return true;
    }
    return false;
}

} // namespace

std::optional<std::int64_t> findTerm(std::string_view text, std::string_view term,
                                     std::int64_t from)
{
    const auto length = static_cast<std::int64_t>(text.size());
    if (term.empty() || from > length)
        return std::nullopt;
    const std::int64_t start = std::max<std::int64_t>(from, 0);
    const std::int64_t hit = locate(text.substr(static_cast<std::size_t>(start)), term);
    if (hit < 0)
        return std::nullopt;
    return start + hit;
}


std::optional<std::int64_t> findSelectable(std::string_view text, std::string_view term,
                                           std::int64_t from, std::int64_t before)
{
    for (auto hit = findTerm(text, term, from); hit && *hit < before;
         hit = findTerm(text, term, *hit + 1)) {
        if (!insideLineBreak(text, *hit) &&
            !insideLineBreak(text, *hit + static_cast<std::int64_t>(term.size())))
            return hit;
    }
    return std::nullopt;
}

std::optional<std::int64_t> searchNext(std::string_view text, std::string_view term,
                                       std::int64_t caret)
{
    const auto size = static_cast<std::int64_t>(text.size());
    return findSelectable(text, term, clampOffset(caret, size) + 1, size + 1);
}

std::optional<std::string> searchTermBytes(std::u16string_view typed, const CodePageTable& page)
{
    std::string bytes;
    bytes.reserve(typed.size());
    for (const char16_t c : typed) {
        const int byte = byteOfShown(page, c);
        if (byte < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(byte));
    }
    return bytes;
}

std::string replacementBytes(std::u16string_view typed, const CodePageTable& page)
{
    const auto isHighSurrogate = [](char16_t c) { return c >= 0xD800 && c < 0xDC00; };
    const auto isLowSurrogate = [](char16_t c) { return c >= 0xDC00 && c < 0xE000; };
    std::string bytes;
    bytes.reserve(typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const int byte = byteOfShown(page, typed[i]);
        bytes.push_back(byte < 0 ? kUnmappableByte : static_cast<char>(byte));
        if (isHighSurrogate(typed[i]) && i + 1 < typed.size() && isLowSurrogate(typed[i + 1]))
            ++i;
    }
    return bytes;
}

std::optional<std::int64_t> searchNextInPieces(const ByteReader& read, std::int64_t length,
                                               std::string_view term, std::int64_t caret,
                                               std::int64_t firstPiece)
{
    // Each piece is read with the term's length less one more bytes, so that no occurrence
    // falls between two pieces, and with one byte more on each side, to see whether an
    // occurrence splits a line break.
    const auto termLength = static_cast<std::int64_t>(term.size());
    if (termLength == 0)
        return std::nullopt;
    std::int64_t piece = std::max<std::int64_t>(firstPiece, 1);
    for (std::int64_t start = clampOffset(caret, length) + 1; start + termLength <= length;
         start += piece, piece *= 2) {
        const std::int64_t readFrom = start - 1;
        const std::string bytes = read(readFrom, std::min(length, start + piece + termLength));
        if (const auto hit =
                findSelectable(bytes, term, start - readFrom, start + piece - readFrom))
            return readFrom + *hit;
    }
    return std::nullopt;
}

TextChange selectableChange(std::string_view before, const ReplaceResult& result)
{
    const auto [start, oldEnd, newEnd] = widenedOutOfLineBreaks(
        before, {result.changeStart, result.oldChangeEnd, result.newChangeEnd});
    return {start, oldEnd - start,
            std::string_view(result.text)
                .substr(static_cast<std::size_t>(start), static_cast<std::size_t>(newEnd - start))};
}

ReplaceResult replaceAll(std::string_view text, std::string_view term, std::string_view replacement,
                         std::int64_t caret, std::int64_t bound, std::int64_t maxLength)
{
    const auto n = static_cast<std::int64_t>(text.size());
    const auto termLength = static_cast<std::int64_t>(term.size());
    const auto replacementLength = static_cast<std::int64_t>(replacement.size());
    const std::int64_t c = clampOffset(caret, n);

    ReplaceResult result;
    result.changeStart = result.oldChangeEnd = result.newChangeEnd = result.caret = c;
    if (term.empty()) {
        result.text.assign(text);
        result.outcome = ReplaceResult::Outcome::EmptyTerm;
        return result;
    }
    const std::int64_t scanStart = c >= 1 ? c - 1 : 0;
    // A replacement holding the term would leave an occurrence on every pass; the search then
    // goes on after each inserted replacement and never looks into it again.
    const bool resumeAfterReplacement = replacement.find(term) != std::string_view::npos;
    const bool lookBack = !resumeAfterReplacement && replacementCanFormTerm(term, replacement);

    // The text as the passes have left it is `out` followed by the unread bytes. `out` ends with
    // the replacement the last pass inserted, and only its last term + replacement bytes are
    // ever looked at again.
    std::string out;
    UnreadBytes unread(text);
    std::string window;
    std::string scratch;
    std::int64_t lowest = n;

    out.reserve(text.size());
    unread.take(scanStart, out);

    for (;;) {
        const auto outLength = static_cast<std::int64_t>(out.size());
        // When the last pass replaced at p, no occurrence starts in [scanStart, p - termLength +
        // 1): the bytes there are unchanged and held none before. So an occurrence that the
        // replacement formed starts in the window from there to the end of `out`.
        std::int64_t at = -1;
        bool formed = false;
        if (result.count > 0 && lookBack) {
            const std::int64_t from =
                std::max(scanStart, outLength - replacementLength - termLength + 1);
            if (from < outLength) {
                window.assign(out, static_cast<std::size_t>(from));
                unread.peek(termLength - 1, window);
                const std::int64_t hit = locate(window, term);
                if (hit >= 0) {
                    at = from + hit;
                    formed = true;
                }
            }
        }
        std::int64_t unreadHit = -1;
        if (!formed) {
            unreadHit = unread.find(term, scratch);
            if (unreadHit < 0)
                break;
            at = outLength + unreadHit;
        }

        if (result.count >= bound) {
            result.outcome = ReplaceResult::Outcome::StoppedAtBound;
            break;
        }
        if (outLength + unread.size() - termLength + replacementLength > maxLength) {
            result.outcome = ReplaceResult::Outcome::TooLong;
            break;
        }

        if (formed) {
            if (at + termLength < outLength) {
                unread.unread(
                    std::string_view(out).substr(static_cast<std::size_t>(at + termLength)));
            } else {
                unread.skip(at + termLength - outLength);
            }
            out.resize(static_cast<std::size_t>(at));
        } else {
            unread.take(unreadHit, out);
            unread.skip(termLength);
        }
        out.append(replacement);
        ++result.count;
        lowest = std::min(lowest, at);
    }

    if (result.count == 0) {
        result.text.assign(text);
        return result;
    }
    result.changeStart = lowest;
    result.caret = static_cast<std::int64_t>(out.size());
    unread.take(unread.pendingSize(), out);
    result.oldChangeEnd = unread.restOffset();
    result.newChangeEnd = static_cast<std::int64_t>(out.size());
    out.append(text.substr(static_cast<std::size_t>(unread.restOffset())));
    result.text = std::move(out);
    return result;
}

std::int64_t replaceBoundFor(std::int64_t length)
{
    return std::max<std::int64_t>(length, 0) + 1'000'000;
}

std::int64_t replaceLengthLimitFor(std::int64_t length)
{
    constexpr std::int64_t kEditorLimit = std::int64_t{256} << 20;
    return std::max(length, kEditorLimit);
}

} // namespace scrivlet
