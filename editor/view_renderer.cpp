#include "editor/view_renderer.h"

#include "calculator/calculator_charset.h"
#include "common/windows1252.h"
#include "editor/caret_moves.h"
#include "editor/text_painter.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

namespace scrivlet {
namespace {

constexpr int kCaretWidth = 2;
constexpr std::int64_t kColourStep = 256; // lines coloured between two looks at the clock

// The current line's shade: the base colour a little towards the selection colour, which reads
// in light and dark themes alike.
QColor shaded(const QColor& base, const QPalette& palette)
{
    const QColor towards = palette.color(QPalette::Highlight);
    constexpr qreal kShare = 0.12;
    return QColor::fromRgbF(base.redF() + (towards.redF() - base.redF()) * kShare,
                            base.greenF() + (towards.greenF() - base.greenF()) * kShare,
                            base.blueF() + (towards.blueF() - base.blueF()) * kShare);
}

} // namespace

ViewRenderer::ViewRenderer(const TextModel& text) : m_text(text), m_codePage(windows1252CodePage())
{
}

void ViewRenderer::setFont(const QFont& font)
{
    m_font = font;
    const QFontMetricsF metrics(font);
    m_cellWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    if (m_cellWidth <= 0)
        m_cellWidth = 8;
    m_lineHeight = std::max(1, static_cast<int>(std::ceil(metrics.height())));
    m_ascent = metrics.ascent();
    m_glyphs.reset(m_font, m_codePage, m_cellWidth);
}

void ViewRenderer::setEncoding(TextEncoding encoding)
{
    m_encoding = encoding;
    m_codePage =
        encoding == TextEncoding::Calculator ? calculatorCodePage() : windows1252CodePage();
    m_glyphs.reset(m_font, m_codePage, m_cellWidth);
}

void ViewRenderer::setHighlighter(std::shared_ptr<const LineHighlighter> highlighter,
                                  std::vector<TextStyle> styles)
{
    m_highlighter = std::move(highlighter);
    m_styles = std::move(styles);
    if (m_highlighter)
        m_states.reset(m_text.lineCount(), m_highlighter->initialState());
}

bool ViewRenderer::colourUpTo(std::int64_t line, qint64 budgetMs)
{
    if (!m_highlighter)
        return true;
    QElapsedTimer clock;
    clock.start();
    while (!m_states.advance(line, kColourStep, m_text, *m_highlighter)) {
        if (clock.elapsed() >= budgetMs)
            return false;
    }
    return true;
}

LineHighlighter::State ViewRenderer::lineState(std::int64_t line)
{
    if (!m_highlighter)
        return LineHighlighter::State{};
    line = std::clamp<std::int64_t>(line, 0, m_text.lineCount() - 1);
    m_states.advance(line, INT64_MAX, m_text, *m_highlighter);
    return m_states.state(line);
}

void ViewRenderer::setMarks(std::vector<TextMark> marks)
{
    m_marks = std::move(marks);
}

void ViewRenderer::textChanged(const TextModel::Change& change, bool wholeText)
{
    const std::int64_t removedEnd = change.from + change.removed;
    std::erase_if(m_marks, [&](const TextMark& mark) {
        return wholeText || (mark.to > change.from && mark.from < removedEnd);
    });
    for (TextMark& mark : m_marks) {
        if (mark.from >= removedEnd) {
            mark.from += change.inserted - change.removed;
            mark.to += change.inserted - change.removed;
        }
    }
    if (!m_highlighter)
        return;
    if (wholeText)
        m_states.reset(m_text.lineCount(), m_highlighter->initialState());
    else
        m_states.linesChanged(change.lines.line, change.lines.removedBreaks,
                              change.lines.insertedBreaks);
}

qreal ViewRenderer::originX(const Scroll& scroll) const
{
    return kMargin - scroll.x;
}

std::int64_t ViewRenderer::columnOf(std::int64_t offset) const
{
    return columnOfOffset(m_text, offset, m_encoding);
}

QRect ViewRenderer::rectForOffset(std::int64_t offset, const Scroll& scroll) const
{
    offset = std::clamp<std::int64_t>(offset, 0, m_text.length());
    const std::int64_t line = m_text.lineOf(offset);
    const std::int64_t column = columnOf(offset);
    const bool tab = offset < m_text.lineEnd(line) && m_text.at(offset) == '\t';
    const std::int64_t cells = tab ? kTabWidth - column % kTabWidth : 1;
    const qreal left = originX(scroll) + static_cast<qreal>(column) * m_cellWidth;
    const auto top = static_cast<int>((line - scroll.firstLine) * m_lineHeight);
    return QRect(static_cast<int>(std::floor(left)), top,
                 static_cast<int>(std::ceil(static_cast<qreal>(cells) * m_cellWidth)),
                 m_lineHeight);
}

QRect ViewRenderer::caretRect(std::int64_t caret, const Scroll& scroll) const
{
    const QRect cell = rectForOffset(caret, scroll);
    return QRect(cell.left(), cell.top(), kCaretWidth, cell.height());
}

std::optional<std::int64_t> ViewRenderer::offsetAt(QPoint point, const Scroll& scroll) const
{
    if (point.y() < 0)
        return std::nullopt;
    const std::int64_t line = scroll.firstLine + point.y() / m_lineHeight;
    const qreal cells = (point.x() - originX(scroll)) / m_cellWidth;
    if (line >= m_text.lineCount() || cells < 0)
        return std::nullopt;
    const std::int64_t start = m_text.lineStart(line);
    std::string scratch;
    const std::string_view bytes = m_text.view(start, m_text.lineEnd(line), scratch);
    const ColumnPlace place = byteAtColumn(bytes, static_cast<std::int64_t>(cells), m_encoding);
    if (place.index >= static_cast<std::int64_t>(bytes.size()))
        return std::nullopt;
    return start + place.index;
}

std::int64_t ViewRenderer::caretOffsetAt(QPointF point, const Scroll& scroll) const
{
    const auto row = static_cast<std::int64_t>(std::floor(point.y() / m_lineHeight));
    const std::int64_t line =
        std::clamp<std::int64_t>(scroll.firstLine + row, 0, m_text.lineCount() - 1);
    const std::int64_t start = m_text.lineStart(line);
    std::string scratch;
    const std::string_view bytes = m_text.view(start, m_text.lineEnd(line), scratch);
    return m_text.caretOffset(
        start + caretIndexAt(bytes, (point.x() - originX(scroll)) / m_cellWidth, m_encoding));
}

std::pair<std::int64_t, std::int64_t> ViewRenderer::linesIn(const QRect& area,
                                                            const Scroll& scroll) const
{
    return {scroll.firstLine + std::max(0, area.top()) / m_lineHeight,
            std::min(m_text.lineCount() - 1,
                     scroll.firstLine + std::max(0, area.bottom()) / m_lineHeight)};
}

void ViewRenderer::paint(QPainter& painter, const QRect& area, const Scroll& scroll,
                         const Frame& frame, const QPalette& palette)
{
    painter.fillRect(area, palette.color(QPalette::Base));
    const QPalette::ColorGroup group = frame.focused ? QPalette::Active : QPalette::Inactive;
    const TextPainter::Grid grid{m_cellWidth,
                                 m_lineHeight,
                                 m_ascent,
                                 originX(scroll),
                                 static_cast<qreal>(area.left()),
                                 static_cast<qreal>(area.right() + 1),
                                 m_encoding};
    TextPainter lines(painter, m_glyphs, grid,
                      {palette.color(QPalette::Text),
                       palette.color(group, QPalette::HighlightedText),
                       palette.color(group, QPalette::Highlight)});
    const std::int64_t selectionFrom = std::min(frame.selection.anchor, frame.selection.caret);
    const std::int64_t selectionTo = std::max(frame.selection.anchor, frame.selection.caret);
    const std::int64_t caretLine = m_text.lineOf(frame.selection.caret);
    std::string scratch;
    std::vector<StyleSpan> spans;
    std::vector<TextMark> marks;
    const auto [first, last] = linesIn(area, scroll);
    for (std::int64_t line = first; line <= last; ++line) {
        const auto top = static_cast<int>((line - scroll.firstLine) * m_lineHeight);
        if (line == caretLine)
            painter.fillRect(QRect(area.left(), top, area.width(), m_lineHeight),
                             shaded(palette.color(QPalette::Base), palette));
        const std::int64_t start = m_text.lineStart(line);
        const std::int64_t end = m_text.lineEnd(line);
        const std::string_view bytes = m_text.view(start, end, scratch);
        spans.clear();
        if (m_highlighter && m_states.isKnown(line))
            m_highlighter->highlight(bytes, m_states.state(line), spans);
        marks.clear();
        std::copy_if(m_marks.begin(), m_marks.end(), std::back_inserter(marks),
                     [&](const TextMark& mark) { return mark.from < end && mark.to > start; });
        const bool breakSelected =
            end < m_text.length() && selectionFrom <= end && selectionTo > end;
        lines.paintLine(
            {bytes, start, top, spans, m_styles, marks, selectionFrom, selectionTo, breakSelected});
    }
    const QRect caret = caretRect(frame.selection.caret, scroll);
    if (!frame.preedit.isEmpty())
        paintPreedit(painter, caret, frame.preedit, palette);
    else if (frame.focused && frame.caretShown)
        painter.fillRect(caret, palette.color(QPalette::Text));
}

void ViewRenderer::paintPreedit(QPainter& painter, const QRect& at, const QString& preedit,
                                const QPalette& palette) const
{
    QFont underlined = m_font;
    underlined.setUnderline(true);
    const QFontMetrics metrics(underlined);
    const QRect box(at.left(), at.top(), metrics.horizontalAdvance(preedit) + kCaretWidth,
                    m_lineHeight);
    painter.fillRect(box, palette.color(QPalette::Base));
    painter.setFont(underlined);
    painter.setPen(palette.color(QPalette::Text));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, preedit);
}

void ViewRenderer::paintLineNumbers(QPainter& painter, const QRect& area, int width,
                                    const Scroll& scroll, std::int64_t caretLine,
                                    const QPalette& palette) const
{
    const QColor background = palette.color(QPalette::Window);
    painter.fillRect(area, background);
    painter.setFont(m_font);
    const int right = width - static_cast<int>(std::ceil(m_cellWidth));
    const auto [first, last] = linesIn(area, scroll);
    for (std::int64_t line = first; line <= last; ++line) {
        const auto top = static_cast<int>((line - scroll.firstLine) * m_lineHeight);
        if (line == caretLine)
            painter.fillRect(QRect(0, top, width, m_lineHeight), shaded(background, palette));
        painter.setPen(
            palette.color(line == caretLine ? QPalette::Text : QPalette::PlaceholderText));
        painter.drawText(QRect(0, top, right, m_lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(line + 1));
    }
}

} // namespace scrivlet
