#pragma once

#include "common/gap_array.h"
#include "editor/line_index.h"
#include "editor/undo_history.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet {

// The editor's text: its bytes in a gap buffer, the index of its CR LF line breaks, and its undo
// history. One byte is one character; only CR LF breaks a line.
//
// Invariants: the line index always describes the bytes, so a lone CR that an edit puts
// directly before a lone LF makes a line break at once, exactly as re-reading the bytes would.
// Every change goes through setText, replace, undo or redo, and each tells the observer first
// which bytes are about to change and then what changed. Reading a few bytes, a line's bounds
// or the line of an offset never walks the whole text.
class TextModel final {
  public:
    struct Change {
        std::int64_t from = 0;
        std::int64_t removed = 0;
        std::int64_t inserted = 0;
        LineIndex::Update lines;
    };
    class Observer {
      public:
        // Bytes [from, to) are about to be replaced; the text still holds them.
        virtual void textAboutToChange(std::int64_t from, std::int64_t to) = 0;
        virtual void textChanged(const Change& change) = 0;

      protected:
        ~Observer() = default;
    };

    void setObserver(Observer* observer) { m_observer = observer; }

    std::int64_t length() const { return static_cast<std::int64_t>(m_bytes.size()); }
    // The byte at an offset in [0, length).
    char at(std::int64_t offset) const { return m_bytes[static_cast<std::size_t>(offset)]; }
    std::string text() const;
    // Bytes [from, to), both clamped to [0, length].
    std::string slice(std::int64_t from, std::int64_t to) const;
    void appendSlice(std::int64_t from, std::int64_t to, std::string& out) const;
    // The same bytes as one view: into the buffer itself when its gap does not split them,
    // otherwise copied into `scratch`. Valid until the next change.
    std::string_view view(std::int64_t from, std::int64_t to, std::string& scratch) const;

    std::int64_t lineCount() const { return m_lines.lineCount(); }
    std::int64_t lineOf(std::int64_t offset) const { return m_lines.lineOf(offset); }
    std::int64_t lineStart(std::int64_t line) const { return m_lines.lineStart(line); }
    std::int64_t lineEnd(std::int64_t line) const { return m_lines.lineEnd(line); }
    // The lines [first, last] that a change of bytes [from, to) rewrites; the change reports
    // what they became.
    std::pair<std::int64_t, std::int64_t> linesTouched(std::int64_t from, std::int64_t to) const
    {
        return m_lines.linesTouched(from, to - from);
    }
    // True when the offset lies between the CR and the LF of a line break.
    bool insideLineBreak(std::int64_t offset) const;
    // Where a caret set at the offset stands: clamped to [0, length], and at the CR when the
    // offset lies inside a line break.
    std::int64_t caretOffset(std::int64_t offset) const;

    // Replaces everything and forgets the undo history; the text then counts as modified.
    void setText(std::string_view bytes);
    // Replaces bytes [from, to) (clamped) as one edit of the given kind, recorded with the
    // selection before it. Returns the selection after it: the caret after the new bytes.
    Selection replace(std::int64_t from, std::int64_t to, std::string_view bytes, EditKind kind,
                      Selection before);
    // Undoes or redoes one step; returns the selection to restore, or nothing when there was no
    // step.
    std::optional<Selection> undo();
    std::optional<Selection> redo();
    bool canUndo() const { return m_history.stepToUndo() != nullptr; }
    bool canRedo() const { return m_history.stepToRedo() != nullptr; }
    // Groups, step closing and the saved state.
    UndoHistory& history() { return m_history; }
    const UndoHistory& history() const { return m_history; }

  private:
    void apply(std::int64_t from, std::int64_t to, std::string_view bytes);

    GapArray<char> m_bytes;
    LineIndex m_lines;
    UndoHistory m_history;
    Observer* m_observer = nullptr;
};

} // namespace scrivlet
