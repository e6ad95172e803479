#include "editor/undo_history.h"

#include <utility>

namespace scrivlet {

bool UndoHistory::continues(const Step& step, const TextEdit& edit, EditKind kind) const
{
    if (!m_open || step.kind != kind || step.edits.size() != 1)
        return false;
    const TextEdit& last = step.edits.back();
    const auto lastEnd = last.from + static_cast<std::int64_t>(last.inserted.size());
    switch (kind) {
    case EditKind::Typing:
        return edit.removed.empty() && edit.from == lastEnd;
    case EditKind::Backspace:
        return edit.inserted.empty() && last.inserted.empty() &&
               edit.from + static_cast<std::int64_t>(edit.removed.size()) == last.from;
    case EditKind::DeleteForward:
        return edit.inserted.empty() && last.inserted.empty() && edit.from == last.from;
    case EditKind::JoinPrevious:
    case EditKind::Other:
        break;
    }
    return false;
}

void UndoHistory::record(TextEdit edit, EditKind kind, Selection before, Selection after)
{
    if (m_applied < m_steps.size()) {
        m_steps.resize(m_applied);
        if (m_saved && *m_saved > m_applied)
            m_saved.reset();
        m_open = false;
    }
    const bool lastIsSaved = m_saved && *m_saved == m_applied;
    if (kind == EditKind::JoinPrevious && m_groupDepth == 0 && !m_steps.empty() && !lastIsSaved) {
        m_steps.back().edits.push_back(std::move(edit));
        m_steps.back().after = after;
        m_open = false;
        return;
    }
    if (m_groupDepth > 0 && m_groupStarted) {
        m_steps.back().edits.push_back(std::move(edit));
        m_steps.back().after = after;
        return;
    }
    if (m_groupDepth == 0 && !m_steps.empty() && continues(m_steps.back(), edit, kind)) {
        TextEdit& last = m_steps.back().edits.back();
        if (kind == EditKind::Typing) {
            last.inserted += edit.inserted;
        } else if (kind == EditKind::Backspace) {
            last.removed.insert(0, edit.removed);
            last.from = edit.from;
        } else {
            last.removed += edit.removed;
        }
        m_steps.back().after = after;
        return;
    }
    Step step;
    step.edits.push_back(std::move(edit));
    step.before = before;
    step.after = after;
    step.kind = m_groupDepth > 0 ? EditKind::Other : kind;
    m_steps.push_back(std::move(step));
    m_applied = m_steps.size();
    m_open = m_groupDepth == 0 && kind != EditKind::Other && kind != EditKind::JoinPrevious;
    m_groupStarted = m_groupDepth > 0;
}

void UndoHistory::clear()
{
    m_steps.clear();
    m_applied = 0;
    m_saved.reset();
    m_open = false;
    m_groupStarted = false;
}

const UndoHistory::Step* UndoHistory::stepToUndo() const
{
    return m_applied > 0 ? &m_steps[m_applied - 1] : nullptr;
}

const UndoHistory::Step* UndoHistory::stepToRedo() const
{
    return m_applied < m_steps.size() ? &m_steps[m_applied] : nullptr;
}

void UndoHistory::undone()
{
    --m_applied;
    m_open = false;
    m_groupStarted = false;
}

void UndoHistory::redone()
{
    ++m_applied;
    m_open = false;
    m_groupStarted = false;
}

void UndoHistory::beginGroup()
{
    if (m_groupDepth++ == 0) {
        m_groupStarted = false;
        m_open = false;
    }
}

void UndoHistory::endGroup()
{
    if (m_groupDepth > 0 && --m_groupDepth == 0) {
        m_groupStarted = false;
        m_open = false;
    }
}

void UndoHistory::setModified(bool modified)
{
    if (modified)
        m_saved.reset();
    else
        m_saved = m_applied;
    m_open = false;
    m_groupStarted = false;
}

} // namespace scrivlet
