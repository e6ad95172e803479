#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace scrivlet {

// The caret and the other end of the selection, as byte offsets.
struct Selection {
    std::int64_t anchor = 0;
    std::int64_t caret = 0;

    bool operator==(const Selection&) const = default;
};

// What kind of edit a change is, for merging undo steps: consecutive typing, consecutive
// Backspaces and consecutive Deletes each make one step; a JoinPrevious edit becomes part of the
// step before it; any other edit is a step of its own.
enum class EditKind { Typing, Backspace, DeleteForward, JoinPrevious, Other };

// One edit: the bytes [from, from + removed.size()) were replaced by `inserted`.
struct TextEdit {
    std::int64_t from = 0;
    std::string removed;
    std::string inserted;
};

// The undo and redo steps of a text, and which state of it was last saved.
//
// A step is one or more edits, undone in reverse order, with the selection before and after
// it. A new edit joins the last step when it continues it (typing at the end of what was typed,
// Backspace just before what was erased, Delete at the same place) and nothing closed the step
// in between (a caret move, an edit of another kind, marking the text saved), when it asks to
// join it, or when an undo group is open. No edit ever joins the step that leads to the state
// last saved. Recording after an undo drops the steps that could have been redone.
class UndoHistory final {
  public:
    struct Step {
        std::vector<TextEdit> edits;
        Selection before;
        Selection after;
        EditKind kind = EditKind::Other;
    };

    void record(TextEdit edit, EditKind kind, Selection before, Selection after);
    // Forgets every step; the text counts as modified until it is marked saved.
    void clear();

    // The step an undo or a redo would apply, or nullptr; undone() and redone() move past it.
    const Step* stepToUndo() const;
    const Step* stepToRedo() const;
    void undone();
    void redone();

    // Everything recorded while a group is open (groups nest) makes one step.
    void beginGroup();
    void endGroup();
    // The next edit starts a step of its own.
    void closeStep() { m_open = false; }

    // Whether the text differs from the state last marked saved.
    bool isModified() const { return m_saved != m_applied; }
    void setModified(bool modified);

  private:
    bool continues(const Step& step, const TextEdit& edit, EditKind kind) const;

    std::vector<Step> m_steps;
    std::size_t m_applied = 0;             // steps [0, m_applied) are applied
    std::optional<std::size_t> m_saved{0}; // the value of m_applied when saved, if reachable
    bool m_open = false;                   // the last step may take the next edit
    int m_groupDepth = 0;
    bool m_groupStarted = false; // the open group has its step
};

} // namespace scrivlet
