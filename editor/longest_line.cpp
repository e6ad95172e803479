#include "editor/longest_line.h"

#include "editor/caret_moves.h"
#include "editor/text_model.h"

namespace scrivlet {
namespace {

// An edit of more lines than this measures them all again instead of one by one.
constexpr std::int64_t kManyLines = 4096;

} // namespace

std::int64_t LongestLine::widthOf(const TextModel& text, std::int64_t line)
{
    return columnsOf(text.view(text.lineStart(line), text.lineEnd(line), m_scratch));
}

void LongestLine::measure(const TextModel& text)
{
    m_width = 0;
    m_count = 0;
    linesArrived(text, 0, text.lineCount() - 1);
}

void LongestLine::linesLeaving(const TextModel& text, std::int64_t first, std::int64_t last)
{
    if (last - first > kManyLines) {
        m_count = 0;
        return;
    }
    for (std::int64_t line = first; line <= last && m_count > 0; ++line)
        m_count -= widthOf(text, line) == m_width ? 1 : 0;
}

void LongestLine::linesArrived(const TextModel& text, std::int64_t first, std::int64_t last)
{
    if (needsMeasuring() && last - first > kManyLines)
        return; // the measuring to come sees them
    for (std::int64_t line = first; line <= last; ++line) {
        const std::int64_t width = widthOf(text, line);
        if (width > m_width) {
            m_width = width;
            m_count = 1;
        } else if (width == m_width) {
            ++m_count;
        }
    }
}

} // namespace scrivlet
