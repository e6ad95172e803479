#pragma once

#include "common/code_page_table.h"
#include "editor/editor_input.h"
#include "editor/line_highlighter.h"
#include "editor/longest_line.h"
#include "editor/text_model.h"
#include "editor/text_style.h"
#include "editor/view_renderer.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QClipboard>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace scrivlet {

class LineNumberGutter;

// The editor control `text`: a plain-text editor over a byte text (TextModel) drawn in a fixed
// cell grid with the widget's font. One byte is one character of the display code page (or, in
// UTF-8, a valid multi-byte sequence one character in one cell); a CR LF
// pair breaks the line; a lone CR or LF is a character shown as its stand-in (␍ ␊). No wrap.
//
// It reports each key release with its Windows virtual-key code (auto-repeated releases are not
// reported, so a held key is reported once, at the end) and each mouse button release. A release
// whose press the editor did not receive (it went to a dialog, a menu or another window) is not
// reported and does nothing. A typed,
// pasted or dropped character without a byte becomes '?' as it goes in; pasted line ends (LF,
// CR LF, CR, U+2028, U+2029) become line breaks; Shift+Enter breaks the line like Enter.
//
// Invariants: the caret and the anchor never stand between the CR and the LF of a line break
// (set there, they go to the CR). Consecutive typing, Backspaces or Deletes make one undo step
// until the caret moves or another edit comes; every other edit is a step of its own, and
// everything inside an undo group one step. Painting reads only the visible lines, and of a
// long line only the visible cells; colouring runs only up to the lines painted.
//
// For tips and Ctrl+click, install an event filter on viewport() (QEvent::ToolTip,
// QEvent::MouseButtonPress) and ask offsetAt() and rectForOffset(). Drops of files are left to
// an event filter on viewport() as well; a drop of text is inserted at the drop point.
class SourceEditor final : public QAbstractScrollArea, private TextModel::Observer {
    Q_OBJECT

  public:
    explicit SourceEditor(QWidget* parent = nullptr);
    ~SourceEditor() override;

    const TextModel& model() const { return m_model; }

    // Replaces the text, forgets the undo history, puts the caret at offset 0 and shows the top
    // left of the text. The text then counts as modified.
    void setText(std::string_view bytes);

    std::int64_t anchor() const { return m_selection.anchor; }
    std::int64_t caret() const { return m_selection.caret; }
    std::int64_t selectionStart() const;
    std::int64_t selectionEnd() const;
    // Selects from anchor to caret (clamped, each out of any line break) and shows the caret.
    void setSelection(std::int64_t anchor, std::int64_t caret);
    // Replaces bytes [from, to) as an edit of the given kind (typing merges with the typing
    // before it); the caret ends after the new bytes with nothing selected.
    void replaceRange(std::int64_t from, std::int64_t to, std::string_view bytes, EditKind kind);
    // Moves the caret, taking the selection along when `extend`, and shows it.
    void moveCaret(std::int64_t caret, bool extend);

    void beginUndoGroup();
    void endUndoGroup();
    bool isUndoAvailable() const { return m_model.canUndo(); }
    bool isRedoAvailable() const { return m_model.canRedo(); }
    // Whether the text changed since it was last marked unmodified (undoing back to that state
    // makes it unmodified again).
    bool isModified() const { return m_model.history().isModified(); }
    void setModified(bool modified);

    // Which character each byte is drawn as and which bytes a typed character becomes. The bytes
    // stay as they are; the view is drawn again.
    void setTextEncoding(TextEncoding encoding);
    TextEncoding textEncoding() const { return m_view.encoding(); }
    // The 8-bit code page of the encoding (Windows-1252 for UTF-8).
    const CodePageTable& codePage() const { return m_view.codePage(); }

    void setLineNumbersVisible(bool visible);
    bool lineNumbersVisible() const { return m_gutterVisible; }

    // Colours the text with `highlighter` (nothing for none) and its style table; a span's style
    // id indexes `styles`.
    void setHighlighter(std::shared_ptr<const LineHighlighter> highlighter,
                        std::vector<TextStyle> styles);
    // The highlighter's state at the start of a line (for rules that read the lines with their
    // states, such as a pair matcher); colours the lines before it that are not coloured yet.
    LineHighlighter::State lineState(std::int64_t line) { return m_view.lineState(line); }
    // A few byte ranges drawn in styles of their own; replaces the marks set before.
    void setMarks(std::vector<TextMark> marks);

    // The byte under a point of the viewport, or nothing when the point is past the end of its
    // line or below the last line.
    std::optional<std::int64_t> offsetAt(QPoint viewportPos) const;
    // The cell of the byte at an offset (at the end of a line: the cell after it), in viewport
    // coordinates.
    QRect rectForOffset(std::int64_t offset) const;
    // The caret, a thin rectangle in viewport coordinates.
    QRect cursorRect() const;
    // Where a click at a point of the viewport puts the caret.
    std::int64_t caretOffsetAt(QPointF viewportPos) const;
    // The lines the viewport shows whole (at least one).
    int visibleLines() const;
    void ensureCaretVisible();
    // A key whose press another control took for the editor (the reference list hands typed
    // keys on): its release is reported as if the editor had received the press.
    void expectKeyRelease(int qtKey);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  public slots:
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void pasteFrom(QClipboard::Mode mode);
    void selectAll();

  signals:
    void keyUp(int virtualKey);
    void mouseUp();
    void modificationChanged(bool modified);
    void selectionChanged();
    void textEncodingChanged(TextEncoding encoding);
    // Around every change of the text: bytes [from, to) are about to be replaced (the text still
    // holds them), then `removedBytes` bytes at `from` were replaced by `insertedBytes` bytes.
    // The lines of from and to before, and of from and from + insertedBytes after, bound the
    // lines that changed.
    void aboutToChange(qint64 from, qint64 to);
    void changed(qint64 from, qint64 removedBytes, qint64 insertedBytes);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void textAboutToChange(std::int64_t from, std::int64_t to) override;
    void textChanged(const TextModel::Change& change) override;

    void applySelection(Selection selection);
    void afterUndoOrRedo(std::optional<Selection> selection, bool wasModified);
    void reportModification(bool wasModified);

    // Geometry and painting.
    void updateMetrics();
    void updateScrollBars();
    void updateGutter();
    ViewRenderer::Scroll scroll() const;
    void paintLineNumbers(QPaintEvent* event);
    void restartBlinking();

    TextModel m_model;
    Selection m_selection;
    ViewRenderer m_view;

    LineNumberGutter* m_gutter = nullptr;
    bool m_gutterVisible = false;
    int m_gutterWidth = -1;
    LongestLine m_longest;
    QBasicTimer m_measureTimer;  // measures every line once edits have narrowed the widest
    bool m_replacingAll = false; // setText is at work: the caches start afresh after it

    QBasicTimer m_blinkTimer;
    bool m_caretShown = true;
    QBasicTimer m_colourTimer; // colours far lines a piece at a time
    std::int64_t m_colourTarget = 0;
    EditorInput m_input{*this};
    std::vector<int> m_keysDown; // keys pressed here (or handed on) and not yet released
};

} // namespace scrivlet
