#include "rpl/definition_tracker.h"

#include <algorithm>

namespace scrivlet {

void DefinitionTracker::reset(std::int64_t lines)
{
    const std::vector<LineRecord> records(
        static_cast<std::size_t>(std::max<std::int64_t>(lines, 1)));
    m_lines = GapArray<LineRecord>();
    m_lines.assign(records.data(), records.size(), 64);
    m_pool.clear();
    m_freeSlots.clear();
    m_names = DefinedNames();
    m_frontier = 0;
    m_frontierState.reset();
    m_chainStart = lineCount();
}

void DefinitionTracker::linesChanged(std::int64_t line, std::int64_t removedBreaks,
                                     std::int64_t insertedBreaks)
{
    const std::int64_t oldLast = line + removedBreaks;
    for (std::int64_t k = line; k <= oldLast && k < lineCount(); ++k)
        forget(m_lines[static_cast<std::size_t>(k)]);
    m_lines.moveGap(static_cast<std::size_t>(line));
    m_lines.eraseAfterGap(static_cast<std::size_t>(removedBreaks + 1));
    const std::vector<LineRecord> added(static_cast<std::size_t>(insertedBreaks + 1));
    m_lines.insertAtGap(added.data(), added.size());

    // The lines after the change still form a chain among themselves when they did before.
    const std::int64_t firstAfter = line + insertedBreaks + 1;
    m_chainStart =
        m_chainStart > oldLast + 1 ? m_chainStart + insertedBreaks - removedBreaks : firstAfter;
    if (line < m_frontier) {
        m_frontier = line;
        m_frontierState.reset();
    }
}

bool DefinitionTracker::forget(LineRecord& record)
{
    bool changed = false;
    if (record.definitions != 0) {
        const std::uint32_t slot = record.definitions - 1;
        for (const Stored& s : m_pool[slot]) {
            m_names.remove(s.name, s.kind);
            changed = changed || !m_names.contains(s.name);
        }
        m_pool[slot].clear();
        m_freeSlots.push_back(slot);
    }
    record = {};
    return changed;
}

LexState DefinitionTracker::record(std::int64_t line, std::string_view text, LexState state,
                                   bool& namesChanged)
{
    LineRecord& rec = m_lines[static_cast<std::size_t>(line)];
    namesChanged = forget(rec) || namesChanged;
    const LexState next = lexLine(text, state, m_tokens);
    m_found.clear();
    collectDefinitions(text, m_tokens, m_found);
    rec.state = state.packed();
    if (m_found.empty())
        return next;
    std::uint32_t slot = 0;
    if (m_freeSlots.empty()) {
        slot = static_cast<std::uint32_t>(m_pool.size());
        m_pool.emplace_back();
    } else {
        slot = m_freeSlots.back();
        m_freeSlots.pop_back();
    }
    for (const LineDefinition& d : m_found) {
        const std::string_view name = d.name(text);
        namesChanged = namesChanged || !m_names.contains(name);
        m_names.add(name, d.kind);
        m_pool[slot].push_back({std::string(name), d.column, d.kind});
    }
    rec.definitions = slot + 1;
    return next;
}

bool DefinitionTracker::scan(const RplLines& lines, std::int64_t budget)
{
    bool changed = false;
    if (done())
        return changed;
    // The state the frontier line starts in: the end of the right line before it.
    LexState state = lines.stateBefore(0);
    if (m_frontierState) {
        state = *m_frontierState;
    } else if (m_frontier > 0) {
        const std::int64_t before = m_frontier - 1;
        state = lexLine(lines.lineText(static_cast<std::size_t>(before), m_scratch),
                        stateBefore(before), m_tokens);
    }
    for (; budget > 0 && !done(); --budget) {
        const std::int64_t line = m_frontier;
        const std::string_view text = lines.lineText(static_cast<std::size_t>(line), m_scratch);
        if (m_lines[static_cast<std::size_t>(line)].state == state.packed()) {
            if (line >= m_chainStart) {
                m_frontier = lineCount(); // everything after it is as it was scanned
                break;
            }
            state = lexLine(text, state, m_tokens);
        } else {
            state = record(line, text, state, changed);
        }
        ++m_frontier;
    }
    m_frontierState = state;
    if (done())
        m_chainStart = 0;
    return changed;
}

std::optional<DefinitionTracker::Found> DefinitionTracker::find(std::string_view word) const
{
    for (std::int64_t line = 0; line < m_frontier; ++line) {
        const std::uint32_t slot = m_lines[static_cast<std::size_t>(line)].definitions;
        if (slot == 0)
            continue;
        for (const Stored& s : m_pool[slot - 1]) {
            if (refersTo(word, s.name, s.kind))
                return Found{s.name, {static_cast<std::size_t>(line), s.column}, s.kind};
        }
    }
    return std::nullopt;
}

} // namespace scrivlet
