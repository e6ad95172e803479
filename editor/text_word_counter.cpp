#include "editor/text_word_counter.h"

#include "editor/text_model.h"

#include <algorithm>
#include <utility>

namespace scrivlet {
namespace {

// The start of the word that ends at offset (or offset itself after a separator).
std::int64_t wordStartBefore(const TextModel& text, std::int64_t offset)
{
    while (offset > 0 && !isCountedWordSeparator(text.at(offset - 1)))
        --offset;
    return offset;
}

// The end of the word that starts at offset (or offset itself at a separator).
std::int64_t wordEndFrom(const TextModel& text, std::int64_t offset)
{
    while (offset < text.length() && !isCountedWordSeparator(text.at(offset)))
        ++offset;
    return offset;
}

} // namespace

void TextWordCounter::restart()
{
    m_counts.clear();
    m_pendingFrom = 0;
    m_extentStart.reset();
}

void TextWordCounter::countMore(const TextModel& text, std::int64_t bytes)
{
    if (!m_pendingFrom)
        return;
    const std::int64_t from = *m_pendingFrom;
    const std::int64_t to =
        wordEndFrom(text, std::min(text.length(), from + std::max<std::int64_t>(bytes, 1)));
    m_counts.addWords(text.view(from, to, m_scratch));
    if (to >= text.length())
        m_pendingFrom.reset();
    else
        m_pendingFrom = to;
}

void TextWordCounter::aboutToChange(const TextModel& text, std::int64_t from, std::int64_t to)
{
    m_extentStart.reset();
    const std::int64_t start = wordStartBefore(text, from);
    if (m_pendingFrom && start >= *m_pendingFrom)
        return; // all of it still to count
    const std::int64_t end = wordEndFrom(text, to);
    const std::int64_t countedEnd = m_pendingFrom ? std::min(end, *m_pendingFrom) : end;
    if (countedEnd - start > m_largeChange) {
        restart();
        return;
    }
    m_counts.removeWords(text.view(start, countedEnd, m_scratch));
    if (countedEnd < end) {
        // The change reaches into the text still to count: from its start on, nothing is.
        m_pendingFrom = start;
        return;
    }
    m_extentStart = start;
    m_extentTail = text.length() - end;
}

void TextWordCounter::changed(const TextModel& text, std::int64_t removed, std::int64_t inserted)
{
    if (!m_extentStart)
        return;
    const std::int64_t start = *std::exchange(m_extentStart, std::nullopt);
    const std::int64_t end = text.length() - m_extentTail;
    if (m_pendingFrom)
        *m_pendingFrom += inserted - removed;
    if (end - start > m_largeChange) {
        restart();
        return;
    }
    m_counts.addWords(text.view(start, end, m_scratch));
}

} // namespace scrivlet
