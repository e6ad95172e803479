#pragma once

#include "editor/line_highlighter.h"
#include "editor/text_encoding.h"
#include "editor/text_style.h"

#include <QColor>
#include <QGlyphRun>
#include <QList>
#include <QRectF>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class QPainter;

namespace scrivlet {

class GlyphCache;

// Draws lines of the editor in its cell grid: x = column × cell width, each byte's glyph in its
// own cell, a tab as blank cells up to the next multiple of eight; in UTF-8 a multi-byte
// character's glyph in the cell of its first byte (the character takes that byte's style). Only the
// cells inside the visible x range are looked at, so a line of a million bytes costs what a
// screenful costs; nothing is laid out or measured.
//
// Order within a line: backgrounds (styles, marks, selection), then glyphs, then wavy
// underlines. Selected text takes the selection's colours; a mark's style overrides the
// highlighter's where it sets something.
class TextPainter final {
  public:
    struct Grid {
        qreal cellWidth = 8;
        int lineHeight = 16;
        qreal ascent = 12;
        qreal originX = 0; // viewport x of column 0
        qreal left = 0;    // the visible viewport x range
        qreal right = 0;
        TextEncoding encoding = TextEncoding::Windows1252;
    };
    struct Colours {
        QColor text;
        QColor selectedText;
        QColor selection;
    };
    struct Line {
        std::string_view bytes;  // without the line break
        std::int64_t offset = 0; // of bytes[0] in the text
        int top = 0;
        std::span<const StyleSpan> spans;
        std::span<const TextStyle> styles;
        std::span<const TextMark> marks;
        std::int64_t selectionFrom = 0;
        std::int64_t selectionTo = 0;
        bool breakSelected = false; // the selection runs over the line's break
    };

    TextPainter(QPainter& painter, GlyphCache& glyphs, const Grid& grid, const Colours& colours);
    void paintLine(const Line& line);

  private:
    struct Batch {
        int font = 0;
        QColor colour;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    struct Band {
        qreal left = 0;
        qreal right = 0;
        QColor colour;
    };
    TextStyle styleAt(const Line& line, std::int64_t index, const StyleSpan*& span,
                      const StyleSpan* spansEnd) const;
    static void addBand(std::vector<Band>& bands, qreal left, qreal right, const QColor& colour);
    void drawLine(int top);

    QPainter& m_painter;
    GlyphCache& m_glyphs;
    Grid m_grid;
    Colours m_colours;
    std::vector<Band> m_backgrounds;
    std::vector<Band> m_boxes;
    std::vector<Band> m_underlines;
    std::vector<Batch> m_batches;
};

} // namespace scrivlet
