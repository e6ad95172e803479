#include "rpl/lines.h"

#include <algorithm>

namespace scrivlet {

TextLines::TextLines(std::string_view text, LexState first) : m_text(text), m_states{first}
{
    m_starts.push_back(0);
    for (std::size_t pos = text.find("\r\n"); pos != std::string_view::npos;
         pos = text.find("\r\n", pos + 2))
        m_starts.push_back(pos + 2);
}

std::string_view TextLines::line(std::size_t index) const
{
    const std::size_t start = m_starts[index];
    const std::size_t end = index + 1 < m_starts.size() ? m_starts[index + 1] - 2 : m_text.size();
    return m_text.substr(start, end - start);
}

std::string_view TextLines::lineText(std::size_t index, std::string&) const
{
    return index < m_starts.size() ? line(index) : std::string_view{};
}

LexState TextLines::stateBefore(std::size_t index) const
{
    index = std::min(index, m_starts.size() - 1);
    while (m_states.size() <= index) {
        const std::size_t k = m_states.size() - 1;
        m_states.push_back(lexLine(line(k), m_states[k], m_scratchTokens));
    }
    return m_states[index];
}

TextPoint TextLines::pointOf(std::int64_t offset) const
{
    const auto at = static_cast<std::size_t>(
        std::clamp<std::int64_t>(offset, 0, static_cast<std::int64_t>(m_text.size())));
    const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), at);
    const auto index = static_cast<std::size_t>(next - m_starts.begin()) - 1;
    return {index, std::min(at - m_starts[index], line(index).size())};
}

std::int64_t TextLines::offsetOf(TextPoint point) const
{
    const std::size_t index = std::min(point.line, m_starts.size() - 1);
    return static_cast<std::int64_t>(m_starts[index] + std::min(point.column, line(index).size()));
}

} // namespace scrivlet
