#pragma once

#include "editor/editor_rules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet {

class SourceEditor;

// The editor buffer over the editor control: the text as bytes (one byte per character, shown
// in the control's code page, Windows-1252 by default), lines separated by CR LF, and the caret
// and selection as 0-based byte offsets that count both characters of each CR LF.
//
// Invariants: a lone CR or a lone LF is an ordinary character of its line. An edit that puts a
// lone CR directly before a lone LF makes a line break of them at once, as re-reading the bytes
// would.
//
// Offsets: an offset between the CR and the LF of one line break cannot hold the caret; set
// there, the caret goes to the end of the line before the break (the offset of the CR), and the
// end of a selection likewise.
//
// Reading the length, the caret, a slice or a line and column costs in proportion to what is
// read, not to the text. The editor must outlive the buffer.
class EditorBuffer final {
  public:
    explicit EditorBuffer(SourceEditor& edit);

    // The whole text, CR LF line breaks.
    std::string text() const;
    // Replaces everything: CR LF becomes a line break, a lone CR or LF stays a character.
    // Caret at offset 0. Clears the undo history: a loaded or new text cannot be undone back
    // into the text it replaced.
    void setText(std::string_view bytes);
    std::int64_t length() const;

    std::int64_t selStart() const;
    // Collapses the selection and puts the caret at the offset, clamped to [0, length].
    void setSelStart(std::int64_t offset);
    std::int64_t selLength() const;
    // Selects from selStart on, the end clamped to [selStart, length].
    void setSelLength(std::int64_t count);
    std::string selText() const;

    // Where a change goes in the editor's undo history.
    enum class UndoStep {
        New,          // a step of its own, or a part of the UndoGroup that is open
        JoinPrevious, // a part of the step before it (the indentation after the editor's own
                      // line break); for changes made outside an UndoGroup
    };
    // Replaces the selection (or inserts at the caret); the caret ends after the new text with
    // nothing selected.
    void setSelText(std::string_view bytes, UndoStep step = UndoStep::New);

    // Bytes [from, to), both clamped to [0, length].
    std::string slice(std::int64_t from, std::int64_t to) const;
    // Line and column of an offset (clamped), as lineColumnOf counts them on the text before it.
    LineColumn lineColumn(std::int64_t offset) const;
    // The line ending with the last CR LF before the offset, without its CR LF; std::nullopt on
    // the first line.
    std::optional<std::string> previousLine(std::int64_t offset) const;
    // What one key release needs to know of the caret, read with a single look-up of the
    // caret's line: its offset, line and column, the length of the text, and the bytes around
    // it that a word span can reach (the caret's line near the caret, with the line breaks that
    // bound it).
    struct CaretView {
        std::int64_t selStart = 0;
        LineColumn position;
        std::int64_t length = 0;
        std::string slice;
        std::int64_t sliceStart = 0;
    };
    CaretView caretView() const;

    // Whether the text changed since it was last marked unmodified.
    bool isModified() const;
    void setModified(bool modified);

    // While a group lives, every change made through the buffer is part of one undo step
    // (several files dropped at once, a line break with its indentation). Groups may nest;
    // the step ends with the outermost one.
    class UndoGroup final {
      public:
        explicit UndoGroup(EditorBuffer& buffer);
        ~UndoGroup();
        UndoGroup(const UndoGroup&) = delete;
        UndoGroup& operator=(const UndoGroup&) = delete;

      private:
        SourceEditor& m_edit;
    };

    void setFocus();
    SourceEditor& widget() const;

  private:
    SourceEditor& m_edit;
};

} // namespace scrivlet
