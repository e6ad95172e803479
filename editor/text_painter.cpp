#include "editor/text_painter.h"

#include "editor/caret_moves.h"
#include "editor/glyph_cache.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace scrivlet {

TextPainter::TextPainter(QPainter& painter, GlyphCache& glyphs, const Grid& grid,
                         const Colours& colours)
    : m_painter(painter), m_glyphs(glyphs), m_grid(grid), m_colours(colours)
{
}

TextStyle TextPainter::styleAt(const Line& line, std::int64_t index, const StyleSpan*& span,
                               const StyleSpan* spansEnd) const
{
    while (span != spansEnd && span->start + span->length <= index)
        ++span;
    TextStyle style;
    if (span != spansEnd && span->start <= index && span->style >= 0 &&
        static_cast<std::size_t>(span->style) < line.styles.size())
        style = line.styles[static_cast<std::size_t>(span->style)];
    const std::int64_t offset = line.offset + index;
    for (const TextMark& mark : line.marks) {
        if (offset < mark.from || offset >= mark.to)
            continue;
        if (mark.style.foreground.isValid())
            style.foreground = mark.style.foreground;
        if (mark.style.background.isValid())
            style.background = mark.style.background;
        if (mark.style.wavyUnderline.isValid())
            style.wavyUnderline = mark.style.wavyUnderline;
        style.bold = style.bold || mark.style.bold;
        style.italic = style.italic || mark.style.italic;
    }
    return style;
}

void TextPainter::addBand(std::vector<Band>& bands, qreal left, qreal right, const QColor& colour)
{
    if (!bands.empty() && bands.back().right == left && bands.back().colour == colour)
        bands.back().right = right;
    else
        bands.push_back({left, right, colour});
}

void TextPainter::paintLine(const Line& line)
{
    const qreal cell = m_grid.cellWidth;
    const auto firstColumn = std::max<std::int64_t>(
        0, static_cast<std::int64_t>(std::floor((m_grid.left - m_grid.originX) / cell)));
    const auto endColumn =
        static_cast<std::int64_t>(std::ceil((m_grid.right - m_grid.originX) / cell)) + 1;
    const bool utf8 = m_grid.encoding == TextEncoding::Utf8;
    const ColumnPlace start = byteAtColumn(line.bytes, firstColumn, m_grid.encoding);
    const qreal baseline = line.top + m_grid.ascent;

    const StyleSpan* span = line.spans.data();
    const StyleSpan* spansEnd = span + line.spans.size();
    const auto size = static_cast<std::int64_t>(line.bytes.size());
    std::int64_t column = start.column;
    std::int64_t index = start.index;
    for (std::int64_t step = 1; index < size && column < endColumn; index += step) {
        const auto byte = static_cast<unsigned char>(line.bytes[static_cast<std::size_t>(index)]);
        const int sequence = utf8 ? utf8SequenceAt(line.bytes, static_cast<std::size_t>(index)) : 0;
        step = sequence > 0 ? sequence : 1;
        const std::int64_t width = byte == '\t' ? kTabWidth - column % kTabWidth : 1;
        const TextStyle style = styleAt(line, index, span, spansEnd);
        const std::int64_t offset = line.offset + index;
        const bool selected = offset >= line.selectionFrom && offset < line.selectionTo;
        const QColor foreground = selected                     ? m_colours.selectedText
                                  : style.foreground.isValid() ? style.foreground
                                                               : m_colours.text;
        const QColor background = selected ? m_colours.selection : style.background;
        const qreal left = m_grid.originX + static_cast<qreal>(column) * cell;
        const qreal right = left + static_cast<qreal>(width) * cell;
        if (background.isValid())
            addBand(m_backgrounds, left, right, background);
        if (style.wavyUnderline.isValid())
            addBand(m_underlines, left, right, style.wavyUnderline);

        const GlyphCache::Glyph& glyph =
            sequence > 0 ? m_glyphs.characterGlyph(
                               utf8CodePoint(line.bytes, static_cast<std::size_t>(index), sequence),
                               style.bold, style.italic)
                         : m_glyphs.glyph(byte, style.bold, style.italic);
        if (glyph.kind == GlyphCache::Glyph::Kind::Box) {
            m_boxes.push_back({left, right, foreground});
        } else if (glyph.kind == GlyphCache::Glyph::Kind::Glyph) {
            if (m_batches.empty() || m_batches.back().font != glyph.font ||
                m_batches.back().colour != foreground)
                m_batches.push_back({glyph.font, foreground, {}, {}});
            m_batches.back().indexes.push_back(glyph.index);
            m_batches.back().positions.push_back(QPointF(left + glyph.xOffset, baseline));
        }
        column += width;
    }
    if (line.breakSelected && index == size && column < endColumn) {
        const qreal left = m_grid.originX + static_cast<qreal>(column) * cell;
        addBand(m_backgrounds, left, left + cell, m_colours.selection);
    }
    drawLine(line.top);
}

void TextPainter::drawLine(int top)
{
    const qreal height = m_grid.lineHeight;
    for (const Band& band : m_backgrounds)
        m_painter.fillRect(QRectF(band.left, top, band.right - band.left, height), band.colour);
    for (const Batch& batch : m_batches) {
        QGlyphRun run;
        run.setRawFont(m_glyphs.font(batch.font));
        run.setGlyphIndexes(batch.indexes);
        run.setPositions(batch.positions);
        m_painter.setPen(batch.colour);
        m_painter.drawGlyphRun(QPointF(0, 0), run);
    }
    m_painter.setBrush(Qt::NoBrush);
    for (const Band& box : m_boxes) {
        m_painter.setPen(box.colour);
        m_painter.drawRect(QRectF(box.left + 1.5, top + 2.5, box.right - box.left - 3, height - 5));
    }
    // A wavy line of half-cell waves just under the baseline.
    const qreal y = top + m_grid.ascent + 2;
    const qreal step = std::max<qreal>(2, m_grid.cellWidth / 4);
    for (const Band& band : m_underlines) {
        QPainterPath path(QPointF(band.left, y));
        int n = 0;
        for (qreal x = band.left + step; x <= band.right + 0.01; x += step)
            path.lineTo(x, (++n % 2 != 0) ? y + 1.5 : y - 0.5);
        m_painter.setPen(QPen(band.colour, 1));
        m_painter.drawPath(path);
    }
    m_backgrounds.clear();
    m_boxes.clear();
    m_underlines.clear();
    m_batches.clear();
}

} // namespace scrivlet
