#include "editor/source_editor.h"

#include "editor/caret_moves.h"
#include "editor/document_text.h"
#include "editor/key_codes.h"
#include "editor/line_number_gutter.h"
#include "editor/text_painter.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimerEvent>
#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace scrivlet {
namespace {

constexpr int kTextMargin = 4; // pixels left of column 0
constexpr int kCaretWidth = 2;
constexpr qint64 kColourSliceMs = 8;      // colouring done at once, per paint or timer tick
constexpr std::int64_t kColourStep = 256; // lines coloured between two looks at the clock
constexpr std::int64_t kImeReach = 512;   // bytes around the caret an input method sees
constexpr int kMeasureDelayMs = 500;      // the widest line is measured again after a pause

QColor mixed(const QColor& a, const QColor& b, qreal share)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * share,
                            a.greenF() + (b.greenF() - a.greenF()) * share,
                            a.blueF() + (b.blueF() - a.blueF()) * share);
}

int clampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, INT_MAX / 2));
}

} // namespace

SourceEditor::SourceEditor(QWidget* parent)
    : QAbstractScrollArea(parent), m_codePage(CodePage::windows1252())
{
    m_model.setObserver(this);
    m_gutter = new LineNumberGutter(this, [this](QPaintEvent* event) { paintLineNumbers(event); });
    m_gutter->hide();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAcceptDrops(true);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    updateMetrics();
}

SourceEditor::~SourceEditor()
{
    m_model.setObserver(nullptr);
}

// --- Text, selection and edits -----------------------------------------------------------------

void SourceEditor::setText(std::string_view bytes)
{
    const bool wasModified = isModified();
    m_replacingAll = true;
    m_model.setText(bytes);
    m_replacingAll = false;
    if (m_highlighter)
        m_states.reset(m_model.lineCount(), m_highlighter->initialState());
    m_marks.clear();
    m_preferredColumn = -1;
    applySelection({});
    m_longest.measure(m_model);
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    reportModification(wasModified);
}

std::int64_t SourceEditor::selectionStart() const
{
    return std::min(m_selection.anchor, m_selection.caret);
}

std::int64_t SourceEditor::selectionEnd() const
{
    return std::max(m_selection.anchor, m_selection.caret);
}

void SourceEditor::setSelection(std::int64_t anchor, std::int64_t caret)
{
    m_model.history().closeStep();
    m_preferredColumn = -1;
    applySelection({anchor, caret});
    ensureCaretVisible();
    restartBlinking();
}

void SourceEditor::replaceSelection(std::string_view bytes)
{
    edit(selectionStart(), selectionEnd(), bytes, EditKind::Other);
}

void SourceEditor::applySelection(Selection selection)
{
    selection = {m_model.caretOffset(selection.anchor), m_model.caretOffset(selection.caret)};
    if (selection == m_selection)
        return;
    m_selection = selection;
    viewport()->update();
    if (m_gutterVisible)
        m_gutter->update();
    emit selectionChanged();
}

void SourceEditor::edit(std::int64_t from, std::int64_t to, std::string_view bytes, EditKind kind)
{
    const bool wasModified = isModified();
    const Selection after = m_model.replace(from, to, bytes, kind, m_selection);
    m_preferredColumn = -1;
    applySelection(after);
    reportModification(wasModified);
    ensureCaretVisible();
    restartBlinking();
}

void SourceEditor::deleteOr(std::int64_t from, std::int64_t to, EditKind kind)
{
    if (selectionStart() != selectionEnd())
        edit(selectionStart(), selectionEnd(), {}, EditKind::Other);
    else if (from != to)
        edit(std::min(from, to), std::max(from, to), {}, kind);
}

void SourceEditor::moveCaret(std::int64_t caret, bool select)
{
    m_model.history().closeStep();
    applySelection({select ? m_selection.anchor : caret, caret});
    ensureCaretVisible();
    restartBlinking();
}

void SourceEditor::beginUndoGroup()
{
    m_model.history().beginGroup();
}

void SourceEditor::endUndoGroup()
{
    m_model.history().endGroup();
}

void SourceEditor::undo()
{
    const bool wasModified = isModified();
    afterUndoOrRedo(m_model.undo(), wasModified);
}

void SourceEditor::redo()
{
    const bool wasModified = isModified();
    afterUndoOrRedo(m_model.redo(), wasModified);
}

void SourceEditor::afterUndoOrRedo(std::optional<Selection> selection, bool wasModified)
{
    if (!selection)
        return;
    m_preferredColumn = -1;
    applySelection(*selection);
    reportModification(wasModified);
    ensureCaretVisible();
    restartBlinking();
}

void SourceEditor::setModified(bool modified)
{
    const bool wasModified = isModified();
    m_model.history().setModified(modified);
    reportModification(wasModified);
}

void SourceEditor::reportModification(bool wasModified)
{
    if (isModified() != wasModified)
        emit modificationChanged(isModified());
}

void SourceEditor::copy()
{
    if (selectionStart() == selectionEnd())
        return;
    QGuiApplication::clipboard()->setText(
        clipboardText(m_model.slice(selectionStart(), selectionEnd()), m_codePage));
}

void SourceEditor::cut()
{
    copy();
    deleteOr(0, 0, EditKind::Other);
}

void SourceEditor::paste()
{
    pasteFrom(QClipboard::Clipboard);
}

void SourceEditor::pasteFrom(QClipboard::Mode mode)
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData(mode);
    if (mime == nullptr || !mime->hasText())
        return;
    edit(selectionStart(), selectionEnd(), pastedBytes(mime->text(), m_codePage), EditKind::Other);
}

void SourceEditor::selectAll()
{
    setSelection(0, m_model.length());
    offerSelectionToX11();
}

void SourceEditor::offerSelectionToX11() const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && selectionStart() != selectionEnd())
        clipboard->setText(
            clipboardText(m_model.slice(selectionStart(), selectionEnd()), m_codePage),
            QClipboard::Selection);
}

// --- What the model reports ----------------------------------------------------------------------

void SourceEditor::textAboutToChange(std::int64_t from, std::int64_t to)
{
    if (!m_replacingAll) {
        const auto [first, last] = m_model.linesTouched(from, to);
        m_longest.linesLeaving(m_model, first, last);
    }
    emit aboutToChange(from, to);
}

void SourceEditor::textChanged(const TextModel::Change& change)
{
    const std::int64_t delta = change.inserted - change.removed;
    const auto moved = [&](std::int64_t at) {
        return at >= change.from + change.removed ? at + delta : std::min(at, change.from);
    };
    m_selection = {moved(m_selection.anchor), moved(m_selection.caret)};
    std::erase_if(m_marks, [&](const TextMark& mark) {
        return mark.to > change.from && mark.from < change.from + change.removed;
    });
    for (TextMark& mark : m_marks) {
        if (mark.from >= change.from + change.removed) {
            mark.from += delta;
            mark.to += delta;
        }
    }
    if (!m_replacingAll) {
        if (m_highlighter)
            m_states.linesChanged(change.lines.line, change.lines.removedBreaks,
                                  change.lines.insertedBreaks);
        m_longest.linesArrived(m_model, change.lines.line,
                               change.lines.line + change.lines.insertedBreaks);
        if (m_longest.needsMeasuring() && !m_measureTimer.isActive())
            m_measureTimer.start(kMeasureDelayMs, this);
        updateScrollBars();
    }
    viewport()->update();
    if (m_gutterVisible)
        m_gutter->update();
    emit changed(change.from, change.removed, change.inserted);
}

// --- Display settings ----------------------------------------------------------------------------

void SourceEditor::setCodePage(const CodePage& page)
{
    m_codePage = page;
    m_glyphs.reset(font(), m_codePage, m_cellWidth);
    viewport()->update();
}

void SourceEditor::setLineNumbersVisible(bool visible)
{
    m_gutterVisible = visible;
    updateGutter();
}

void SourceEditor::setHighlighter(std::shared_ptr<const LineHighlighter> highlighter,
                                  std::vector<TextStyle> styles)
{
    m_highlighter = std::move(highlighter);
    m_styles = std::move(styles);
    if (m_highlighter)
        m_states.reset(m_model.lineCount(), m_highlighter->initialState());
    m_colourTimer.stop();
    viewport()->update();
}

void SourceEditor::setMarks(std::vector<TextMark> marks)
{
    m_marks = std::move(marks);
    viewport()->update();
}

// --- Geometry
// --------------------------------------------------------------------------------------

void SourceEditor::updateMetrics()
{
    const QFontMetricsF metrics(font());
    m_cellWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    if (m_cellWidth <= 0)
        m_cellWidth = 8;
    m_lineHeight = std::max(1, static_cast<int>(std::ceil(metrics.height())));
    m_ascent = metrics.ascent();
    m_glyphs.reset(font(), m_codePage, m_cellWidth);
    m_gutter->setFont(font());
    m_gutterWidth = -1;
    updateScrollBars();
    viewport()->update();
}

int SourceEditor::visibleLines() const
{
    return std::max(1, viewport()->height() / m_lineHeight);
}

std::int64_t SourceEditor::firstLine() const
{
    return verticalScrollBar()->value();
}

qreal SourceEditor::originX() const
{
    return kTextMargin - horizontalScrollBar()->value();
}

void SourceEditor::updateScrollBars()
{
    const int lines = visibleLines();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, clampToInt(m_model.lineCount() - lines));
    vertical->setPageStep(lines);
    vertical->setSingleStep(1);
    const int width = viewport()->width();
    const auto content = static_cast<std::int64_t>(
        std::ceil(kTextMargin + static_cast<qreal>(m_longest.width() + 2) * m_cellWidth));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, clampToInt(content - width));
    horizontal->setPageStep(std::max(1, width));
    horizontal->setSingleStep(std::max(1, static_cast<int>(std::lround(m_cellWidth))));
    updateGutter();
}

void SourceEditor::updateGutter()
{
    int width = 0;
    if (m_gutterVisible) {
        const int digits =
            std::max<int>(3, static_cast<int>(std::to_string(m_model.lineCount()).size()));
        width = static_cast<int>(std::ceil((digits + 2) * m_cellWidth));
    }
    if (width != m_gutterWidth) {
        m_gutterWidth = width;
        setViewportMargins(width, 0, 0, 0);
    }
    const QRect area = contentsRect();
    m_gutter->setGeometry(area.left(), area.top(), width, viewport()->height());
    m_gutter->setVisible(m_gutterVisible);
    m_gutter->update();
}

std::int64_t SourceEditor::columnOf(std::int64_t offset) const
{
    const std::int64_t start = m_model.lineStart(m_model.lineOf(offset));
    std::string scratch;
    return columnsOf(m_model.view(start, offset, scratch));
}

void SourceEditor::ensureCaretVisible()
{
    const std::int64_t line = m_model.lineOf(caret());
    const int lines = visibleLines();
    QScrollBar* vertical = verticalScrollBar();
    if (line < vertical->value())
        vertical->setValue(clampToInt(line));
    else if (line >= vertical->value() + lines)
        vertical->setValue(clampToInt(line - lines + 1));

    const qreal x = static_cast<qreal>(columnOf(caret())) * m_cellWidth;
    const int textWidth = viewport()->width() - kTextMargin;
    QScrollBar* horizontal = horizontalScrollBar();
    if (x < horizontal->value())
        horizontal->setValue(static_cast<int>(std::floor(x)));
    else if (x + 2 * m_cellWidth > horizontal->value() + textWidth)
        horizontal->setValue(static_cast<int>(std::ceil(x + 2 * m_cellWidth - textWidth)));
}

QRect SourceEditor::rectForOffset(std::int64_t offset) const
{
    offset = std::clamp<std::int64_t>(offset, 0, m_model.length());
    const std::int64_t line = m_model.lineOf(offset);
    const std::int64_t column = columnOf(offset);
    const bool tab = offset < m_model.lineEnd(line) && m_model.at(offset) == '\t';
    const std::int64_t cells = tab ? kTabWidth - column % kTabWidth : 1;
    const qreal left = originX() + static_cast<qreal>(column) * m_cellWidth;
    const auto top = static_cast<int>((line - firstLine()) * m_lineHeight);
    return QRect(static_cast<int>(std::floor(left)), top,
                 static_cast<int>(std::ceil(static_cast<qreal>(cells) * m_cellWidth)),
                 m_lineHeight);
}

QRect SourceEditor::cursorRect() const
{
    const QRect cell = rectForOffset(caret());
    return QRect(cell.left(), cell.top(), kCaretWidth, cell.height());
}

std::optional<std::int64_t> SourceEditor::offsetAt(QPoint viewportPos) const
{
    if (viewportPos.y() < 0)
        return std::nullopt;
    const std::int64_t line = firstLine() + viewportPos.y() / m_lineHeight;
    const qreal cells = (viewportPos.x() - originX()) / m_cellWidth;
    if (line >= m_model.lineCount() || cells < 0)
        return std::nullopt;
    const std::int64_t start = m_model.lineStart(line);
    std::string scratch;
    const std::string_view bytes = m_model.view(start, m_model.lineEnd(line), scratch);
    const ColumnPlace place = byteAtColumn(bytes, static_cast<std::int64_t>(cells));
    if (place.index >= static_cast<std::int64_t>(bytes.size()))
        return std::nullopt;
    return start + place.index;
}

std::int64_t SourceEditor::caretOffsetAt(QPointF viewportPos) const
{
    const auto row = static_cast<std::int64_t>(std::floor(viewportPos.y() / m_lineHeight));
    const std::int64_t line =
        std::clamp<std::int64_t>(firstLine() + row, 0, m_model.lineCount() - 1);
    const std::int64_t start = m_model.lineStart(line);
    std::string scratch;
    const std::string_view bytes = m_model.view(start, m_model.lineEnd(line), scratch);
    return m_model.caretOffset(start +
                               caretIndexAt(bytes, (viewportPos.x() - originX()) / m_cellWidth));
}

std::int64_t SourceEditor::verticalMove(std::int64_t lines)
{
    const std::int64_t line = m_model.lineOf(caret());
    if (m_preferredColumn < 0)
        m_preferredColumn = columnOf(caret());
    const std::int64_t target = std::clamp<std::int64_t>(line + lines, 0, m_model.lineCount() - 1);
    if (target == line)
        return caret();
    const std::int64_t start = m_model.lineStart(target);
    std::string scratch;
    return start +
           byteAtColumn(m_model.view(start, m_model.lineEnd(target), scratch), m_preferredColumn)
               .index;
}

// --- Painting
// --------------------------------------------------------------------------------------

bool SourceEditor::colourUpTo(std::int64_t line)
{
    QElapsedTimer clock;
    clock.start();
    while (!m_states.advance(line, kColourStep, m_model, *m_highlighter)) {
        if (clock.elapsed() >= kColourSliceMs) {
            // The rest a piece at a time, so that no key waits for the colouring of far lines.
            m_colourTarget = line;
            m_colourTimer.start(0, this);
            return false;
        }
    }
    return true;
}

void SourceEditor::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    const QPalette& colours = palette();
    painter.fillRect(area, colours.color(QPalette::Base));

    const std::int64_t first = firstLine();
    const std::int64_t from = first + std::max(0, area.top()) / m_lineHeight;
    const std::int64_t to =
        std::min(m_model.lineCount() - 1, first + std::max(0, area.bottom()) / m_lineHeight);
    if (m_highlighter)
        colourUpTo(to);
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    const TextPainter::Grid grid{m_cellWidth,
                                 m_lineHeight,
                                 m_ascent,
                                 originX(),
                                 static_cast<qreal>(area.left()),
                                 static_cast<qreal>(area.right() + 1)};
    const TextPainter::Colours textColours{colours.color(QPalette::Text),
                                           colours.color(group, QPalette::HighlightedText),
                                           colours.color(group, QPalette::Highlight)};
    TextPainter lines(painter, m_glyphs, grid, textColours);
    const QColor currentLine =
        mixed(colours.color(QPalette::Base), colours.color(QPalette::Highlight), 0.12);
    const std::int64_t caretLine = m_model.lineOf(caret());
    std::string scratch;
    std::vector<StyleSpan> spans;
    std::vector<TextMark> marks;
    for (std::int64_t line = from; line <= to; ++line) {
        const auto top = static_cast<int>((line - first) * m_lineHeight);
        if (line == caretLine)
            painter.fillRect(QRect(area.left(), top, area.width(), m_lineHeight), currentLine);
        const std::int64_t start = m_model.lineStart(line);
        const std::int64_t end = m_model.lineEnd(line);
        const std::string_view bytes = m_model.view(start, end, scratch);
        spans.clear();
        if (m_highlighter && m_states.isKnown(line))
            m_highlighter->highlight(bytes, m_states.state(line), spans);
        marks.clear();
        std::copy_if(m_marks.begin(), m_marks.end(), std::back_inserter(marks),
                     [&](const TextMark& mark) { return mark.from < end && mark.to > start; });
        const bool breakSelected =
            end < m_model.length() && selectionStart() <= end && selectionEnd() > end;
        lines.paintLine({bytes, start, top, spans, m_styles, marks, selectionStart(),
                         selectionEnd(), breakSelected});
    }
    if (!m_preedit.isEmpty())
        paintPreedit(painter);
    else if (hasFocus() && m_caretShown)
        painter.fillRect(cursorRect(), colours.color(QPalette::Text));
}

void SourceEditor::paintPreedit(QPainter& painter)
{
    const QRect at = cursorRect();
    QFont underlined = font();
    underlined.setUnderline(true);
    const QFontMetrics metrics(underlined);
    const QRect box(at.left(), at.top(), metrics.horizontalAdvance(m_preedit) + kCaretWidth,
                    m_lineHeight);
    painter.fillRect(box, palette().color(QPalette::Base));
    painter.setFont(underlined);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, m_preedit);
}

void SourceEditor::paintLineNumbers(QPaintEvent* event)
{
    QPainter painter(m_gutter);
    const QPalette& colours = palette();
    painter.fillRect(event->rect(), colours.color(QPalette::Window));
    const std::int64_t first = firstLine();
    const std::int64_t caretLine = m_model.lineOf(caret());
    const int right = m_gutter->width() - static_cast<int>(std::ceil(m_cellWidth));
    painter.setFont(font());
    for (std::int64_t line = first; line < m_model.lineCount(); ++line) {
        const auto top = static_cast<int>((line - first) * m_lineHeight);
        if (top > event->rect().bottom())
            break;
        const QRect box(0, top, right, m_lineHeight);
        if (line == caretLine) {
            painter.fillRect(
                QRect(0, top, m_gutter->width(), m_lineHeight),
                mixed(colours.color(QPalette::Window), colours.color(QPalette::Highlight), 0.12));
        }
        painter.setPen(
            colours.color(line == caretLine ? QPalette::Text : QPalette::PlaceholderText));
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::number(line + 1));
    }
}

void SourceEditor::restartBlinking()
{
    m_caretShown = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0)
        m_blinkTimer.start(flash / 2, this);
    else
        m_blinkTimer.stop();
    viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
}

// --- Events
// ----------------------------------------------------------------------------------------

bool SourceEditor::event(QEvent* event)
{
    // The editor's own keys come before the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride &&
        keyCommand(*static_cast<QKeyEvent*>(event)).command != EditorCommand::None) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void SourceEditor::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void SourceEditor::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMetrics();
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        viewport()->update();
        m_gutter->update();
    }
}

void SourceEditor::scrollContentsBy(int, int)
{
    viewport()->update();
    if (m_gutterVisible)
        m_gutter->update();
}

bool SourceEditor::focusNextPrevChild(bool)
{
    return false; // Tab is typed into the text
}

void SourceEditor::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlinking();
    viewport()->update();
}

void SourceEditor::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_blinkTimer.stop();
    viewport()->update();
}

void SourceEditor::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_blinkTimer.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
    } else if (event->timerId() == m_scrollTimer.timerId()) {
        if (m_selecting)
            moveCaret(caretOffsetAt(m_dragPoint), true);
    } else if (event->timerId() == m_measureTimer.timerId()) {
        m_measureTimer.stop();
        if (m_longest.needsMeasuring()) {
            m_longest.measure(m_model);
            updateScrollBars();
        }
    } else if (event->timerId() == m_colourTimer.timerId()) {
        if (!m_highlighter || colourUpTo(m_colourTarget)) {
            m_colourTimer.stop();
            viewport()->update();
        }
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

void SourceEditor::keyPressEvent(QKeyEvent* event)
{
    const KeyCommand command = keyCommand(*event);
    if (command.command == EditorCommand::None) {
        event->ignore();
        return;
    }
    runCommand(command, event->text());
    event->accept();
}

void SourceEditor::runCommand(KeyCommand command, const QString& text)
{
    const bool vertical =
        command.command == EditorCommand::LineUp || command.command == EditorCommand::LineDown ||
        command.command == EditorCommand::PageUp || command.command == EditorCommand::PageDown;
    if (!vertical)
        m_preferredColumn = -1;
    const bool select = command.select;
    const bool selected = selectionStart() != selectionEnd();
    const std::int64_t at = caret();
    QScrollBar* scroll = verticalScrollBar();
    switch (command.command) {
    case EditorCommand::None:
        return;
    case EditorCommand::NextChar:
        moveCaret(selected && !select ? selectionEnd() : nextCharOffset(m_model, at), select);
        break;
    case EditorCommand::PreviousChar:
        moveCaret(selected && !select ? selectionStart() : previousCharOffset(m_model, at), select);
        break;
    case EditorCommand::NextWord:
        moveCaret(nextWordOffset(m_model, at), select);
        break;
    case EditorCommand::PreviousWord:
        moveCaret(previousWordOffset(m_model, at), select);
        break;
    case EditorCommand::LineUp:
        moveCaret(verticalMove(-1), select);
        break;
    case EditorCommand::LineDown:
        moveCaret(verticalMove(1), select);
        break;
    case EditorCommand::LineStart:
        moveCaret(m_model.lineStart(m_model.lineOf(at)), select);
        break;
    case EditorCommand::LineEnd:
        moveCaret(m_model.lineEnd(m_model.lineOf(at)), select);
        break;
    case EditorCommand::DocumentStart:
        moveCaret(0, select);
        break;
    case EditorCommand::DocumentEnd:
        moveCaret(m_model.length(), select);
        break;
    case EditorCommand::PageUp:
    case EditorCommand::PageDown: {
        const int lines =
            command.command == EditorCommand::PageUp ? -visibleLines() : visibleLines();
        scroll->setValue(scroll->value() + lines);
        moveCaret(verticalMove(lines), select);
        break;
    }
    case EditorCommand::ScrollUp:
        scroll->setValue(scroll->value() - 1);
        break;
    case EditorCommand::ScrollDown:
        scroll->setValue(scroll->value() + 1);
        break;
    case EditorCommand::SelectAll:
        selectAll();
        break;
    case EditorCommand::Undo:
        undo();
        break;
    case EditorCommand::Redo:
        redo();
        break;
    case EditorCommand::Cut:
        cut();
        break;
    case EditorCommand::Copy:
        copy();
        break;
    case EditorCommand::Paste:
        paste();
        break;
    case EditorCommand::DeletePreviousChar:
        deleteOr(previousCharOffset(m_model, at), at, EditKind::Backspace);
        break;
    case EditorCommand::DeleteNextChar:
        deleteOr(at, nextCharOffset(m_model, at), EditKind::DeleteForward);
        break;
    case EditorCommand::DeletePreviousWord:
        deleteOr(previousWordOffset(m_model, at), at, EditKind::Other);
        break;
    case EditorCommand::DeleteNextWord:
        deleteOr(at, nextWordOffset(m_model, at), EditKind::Other);
        break;
    case EditorCommand::DeleteToLineEnd: {
        const std::int64_t end = m_model.lineEnd(m_model.lineOf(at));
        deleteOr(at, end == at ? nextCharOffset(m_model, at) : end, EditKind::Other);
        break;
    }
    case EditorCommand::BreakLine:
        edit(selectionStart(), selectionEnd(), "\r\n", EditKind::Other);
        break;
    case EditorCommand::InsertTab:
        edit(selectionStart(), selectionEnd(), "\t", EditKind::Typing);
        break;
    case EditorCommand::InsertText:
        edit(selectionStart(), selectionEnd(), typedBytes(text, m_codePage), EditKind::Typing);
        break;
    }
    if (select)
        offerSelectionToX11();
}

void SourceEditor::keyReleaseEvent(QKeyEvent* event)
{
    QAbstractScrollArea::keyReleaseEvent(event);
    if (event->isAutoRepeat())
        return;
    emit keyUp(virtualKeyCode(event->key(), event->modifiers().testFlag(Qt::KeypadModifier)));
}

void SourceEditor::mousePressEvent(QMouseEvent* event)
{
    const std::int64_t at = caretOffsetAt(event->position());
    if (event->button() == Qt::LeftButton) {
        m_preferredColumn = -1;
        const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
        moveCaret(at, extend);
        m_selecting = true;
        m_dragPoint = event->position().toPoint();
    } else if (event->button() == Qt::MiddleButton &&
               QGuiApplication::clipboard()->supportsSelection()) {
        setSelection(at, at);
        pasteFrom(QClipboard::Selection);
    }
    event->accept();
}

void SourceEditor::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_selecting || !event->buttons().testFlag(Qt::LeftButton))
        return;
    m_dragPoint = event->position().toPoint();
    moveCaret(caretOffsetAt(event->position()), true);
    if (viewport()->rect().contains(m_dragPoint))
        m_scrollTimer.stop();
    else if (!m_scrollTimer.isActive())
        m_scrollTimer.start(50, this);
}

void SourceEditor::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_selecting) {
        m_selecting = false;
        m_scrollTimer.stop();
        offerSelectionToX11();
    }
    emit mouseUp();
}

void SourceEditor::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const ByteRange word = wordAt(m_model, caretOffsetAt(event->position()));
    setSelection(word.from, word.to);
    m_selecting = true;
}

void SourceEditor::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const bool selected = selectionStart() != selectionEnd();
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    const struct {
        QString text;
        QKeySequence::StandardKey key;
        void (SourceEditor::*action)();
        bool enabled;
    } items[] = {
        {tr("&Undo"), QKeySequence::Undo, &SourceEditor::undo, isUndoAvailable()},
        {tr("&Redo"), QKeySequence::Redo, &SourceEditor::redo, isRedoAvailable()},
        {tr("Cu&t"), QKeySequence::Cut, &SourceEditor::cut, selected},
        {tr("&Copy"), QKeySequence::Copy, &SourceEditor::copy, selected},
        {tr("&Paste"), QKeySequence::Paste, &SourceEditor::paste,
         clipboard != nullptr && clipboard->hasText()},
        {tr("Select All"), QKeySequence::SelectAll, &SourceEditor::selectAll, m_model.length() > 0},
    };
    for (const auto& item : items) {
        if (item.key == QKeySequence::Cut || item.key == QKeySequence::SelectAll)
            menu.addSeparator();
        QAction* action = menu.addAction(item.text);
        action->setShortcut(item.key);
        action->setEnabled(item.enabled);
        connect(action, &QAction::triggered, this, item.action);
    }
    menu.exec(event->globalPos());
}

void SourceEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void SourceEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void SourceEditor::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    const std::int64_t at = caretOffsetAt(event->position());
    setSelection(at, at);
    edit(at, at, pastedBytes(event->mimeData()->text(), m_codePage), EditKind::Other);
    event->acceptProposedAction();
    setFocus();
}

void SourceEditor::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty() || event->replacementLength() > 0) {
        std::int64_t from = selectionStart();
        std::int64_t to = selectionEnd();
        if (from == to) {
            const std::int64_t line = m_model.lineOf(caret());
            from = std::clamp<std::int64_t>(caret() + event->replacementStart(),
                                            m_model.lineStart(line), m_model.lineEnd(line));
            to = std::clamp<std::int64_t>(from + event->replacementLength(), from,
                                          m_model.lineEnd(line));
        }
        edit(from, to, typedBytes(commit, m_codePage), EditKind::Typing);
    }
    if (m_preedit != event->preeditString()) {
        m_preedit = event->preeditString();
        viewport()->update();
    }
    event->accept();
}

QVariant SourceEditor::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // An input method sees the caret's line near the caret.
    const std::int64_t line = m_model.lineOf(caret());
    const std::int64_t from = std::max(m_model.lineStart(line), caret() - kImeReach);
    const std::int64_t to = std::min(m_model.lineEnd(line), caret() + kImeReach);
    const QPoint viewportAt = viewport()->pos();
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return QRectF(cursorRect().translated(viewportAt));
    case Qt::ImAnchorRectangle:
        return QRectF(rectForOffset(anchor()).translated(viewportAt));
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return static_cast<int>(caret() - from);
    case Qt::ImAnchorPosition:
        return static_cast<int>(std::clamp(anchor(), from, to) - from);
    case Qt::ImSurroundingText:
        return clipboardText(m_model.slice(from, to), m_codePage);
    case Qt::ImCurrentSelection:
        return clipboardText(
            m_model.slice(std::max(selectionStart(), from), std::min(selectionEnd(), to)),
            m_codePage);
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

} // namespace scrivlet
