#pragma once

#include "common/code_page_table.h"
#include "editor/glyph_cache.h"
#include "editor/line_highlighter.h"
#include "editor/line_state_cache.h"
#include "editor/text_encoding.h"
#include "editor/text_model.h"
#include "editor/text_style.h"

#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

namespace scrivlet {

// How the editor's text looks and where it lies: the cell grid of the font (x = column × cell
// width, a line per line height), the glyphs of the code page, the highlighter's colours, the
// marks, and the drawing of the visible lines, the caret and the line numbers. It reads the text
// and never changes it; the widget tells it how far the view is scrolled.
//
// Invariants: the colouring states follow every change of the text (textChanged); colouring
// runs only towards lines asked for, within a time budget. Marks move with the text and go when
// an edit touches them.
class ViewRenderer final {
  public:
    // How far the view is scrolled: its first line, and the pixels scrolled to the right.
    struct Scroll {
        std::int64_t firstLine = 0;
        int x = 0;
    };
    // What else a paint shows.
    struct Frame {
        Selection selection;
        bool focused = false;
        bool caretShown = false;
        QString preedit;
    };

    // Pixels between the left edge of the viewport and column 0.
    static constexpr int kMargin = 4;

    explicit ViewRenderer(const TextModel& text);

    void setFont(const QFont& font);
    // The code page follows the encoding (Windows-1252 for the bytes of UTF-8 text that are no
    // valid sequence).
    void setEncoding(TextEncoding encoding);
    TextEncoding encoding() const { return m_encoding; }
    const CodePageTable& codePage() const { return m_codePage; }
    qreal cellWidth() const { return m_cellWidth; }
    int lineHeight() const { return m_lineHeight; }

    void setHighlighter(std::shared_ptr<const LineHighlighter> highlighter,
                        std::vector<TextStyle> styles);
    // Colours towards `line` for at most `budgetMs`; true when the line's state is then known.
    bool colourUpTo(std::int64_t line, qint64 budgetMs);
    // The highlighter's state at the start of a line, colouring what comes before it first; the
    // initial state without a highlighter.
    LineHighlighter::State lineState(std::int64_t line);
    void setMarks(std::vector<TextMark> marks);
    // After a change of the text; `wholeText` when everything was replaced.
    void textChanged(const TextModel::Change& change, bool wholeText);

    // Geometry, in viewport coordinates.
    std::int64_t columnOf(std::int64_t offset) const;
    QRect rectForOffset(std::int64_t offset, const Scroll& scroll) const;
    std::optional<std::int64_t> offsetAt(QPoint point, const Scroll& scroll) const;
    // Where a click at the point puts the caret: the nearest caret position of the nearest line.
    std::int64_t caretOffsetAt(QPointF point, const Scroll& scroll) const;
    // The lines a rectangle of the viewport shows, clamped to the text.
    std::pair<std::int64_t, std::int64_t> linesIn(const QRect& area, const Scroll& scroll) const;

    void paint(QPainter& painter, const QRect& area, const Scroll& scroll, const Frame& frame,
               const QPalette& palette);
    void paintLineNumbers(QPainter& painter, const QRect& area, int width, const Scroll& scroll,
                          std::int64_t caretLine, const QPalette& palette) const;
    // The caret, a thin rectangle at its cell's left edge.
    QRect caretRect(std::int64_t caret, const Scroll& scroll) const;

  private:
    qreal originX(const Scroll& scroll) const;
    void paintPreedit(QPainter& painter, const QRect& at, const QString& preedit,
                      const QPalette& palette) const;

    const TextModel& m_text;
    TextEncoding m_encoding = TextEncoding::Windows1252;
    CodePageTable m_codePage;
    GlyphCache m_glyphs;
    QFont m_font;
    qreal m_cellWidth = 8;
    int m_lineHeight = 16;
    qreal m_ascent = 12;

    std::shared_ptr<const LineHighlighter> m_highlighter;
    std::vector<TextStyle> m_styles;
    LineStateCache m_states;
    std::vector<TextMark> m_marks;
};

} // namespace scrivlet
