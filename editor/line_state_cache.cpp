#include "editor/line_state_cache.h"

#include "editor/text_model.h"

#include <algorithm>

namespace scrivlet {

void LineStateCache::reset(std::int64_t lines, State initial)
{
    const std::vector<State> states(static_cast<std::size_t>(std::max<std::int64_t>(lines, 1)),
                                    initial);
    m_states = GapArray<State>();
    m_states.assign(states.data(), states.size(), 64);
    m_known = 0;
    m_candidates.clear();
}

void LineStateCache::linesChanged(std::int64_t line, std::int64_t removedBreaks,
                                  std::int64_t insertedBreaks)
{
    const std::int64_t delta = insertedBreaks - removedBreaks;
    const std::int64_t lastChanged = line + removedBreaks; // in the old numbering
    m_states.moveGap(std::min(static_cast<std::size_t>(line + 1), m_states.size()));
    m_states.eraseAfterGap(static_cast<std::size_t>(removedBreaks));
    const std::vector<State> added(static_cast<std::size_t>(insertedBreaks), State{});
    m_states.insertAtGap(added.data(), added.size());

    // A candidate run stays usable where the lines from its first line on are unchanged.
    std::vector<Candidates> kept;
    for (const Candidates& run : m_candidates) {
        if (lastChanged < run.first)
            kept.push_back({run.first + delta, run.last + delta});
        else if (line >= run.last)
            kept.push_back(run);
        else if (run.last > lastChanged)
            kept.push_back({line + insertedBreaks + 1, run.last + delta});
    }
    if (m_known > lastChanged)
        kept.push_back({line + insertedBreaks + 1, m_known + delta});
    m_known = std::min(m_known, line);
    std::sort(kept.begin(), kept.end(),
              [](const Candidates& a, const Candidates& b) { return a.first < b.first; });
    if (kept.size() > kMaxCandidates)
        kept.resize(kMaxCandidates);
    m_candidates = std::move(kept);
}

bool LineStateCache::advance(std::int64_t line, std::int64_t budget, const TextModel& text,
                             const LineHighlighter& highlighter)
{
    line = std::min(line, text.lineCount() - 1);
    for (; m_known < line && budget > 0; --budget) {
        const std::int64_t current = m_known;
        const std::string_view bytes =
            text.view(text.lineStart(current), text.lineEnd(current), m_scratch);
        m_spans.clear();
        const State next =
            highlighter.highlight(bytes, m_states[static_cast<std::size_t>(current)], m_spans);
        const std::int64_t following = current + 1;
        State& kept = m_states[static_cast<std::size_t>(following)];
        m_known = following;
        for (const Candidates& run : m_candidates) {
            if (run.first <= following && following <= run.last && kept == next)
                m_known = std::max(m_known, run.last);
        }
        kept = next;
        std::erase_if(m_candidates, [this](const Candidates& run) { return run.last <= m_known; });
    }
    return m_known >= line;
}

} // namespace scrivlet
