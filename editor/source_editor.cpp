#include "editor/source_editor.h"

#include "editor/document_text.h"
#include "editor/key_codes.h"
#include "editor/line_number_gutter.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
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

constexpr qint64 kColourSliceMs = 8; // colouring done at once, per paint or timer tick
constexpr int kMeasureDelayMs = 500; // the widest line is measured again after a pause

int clampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, INT_MAX / 2));
}

} // namespace

SourceEditor::SourceEditor(QWidget* parent) : QAbstractScrollArea(parent), m_view(m_model)
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

// --- Text, selection and edits ---

void SourceEditor::setText(std::string_view bytes)
{
    const bool wasModified = isModified();
    m_replacingAll = true;
    m_model.setText(bytes);
    m_replacingAll = false;
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
    applySelection({anchor, caret});
    ensureCaretVisible();
    restartBlinking();
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

void SourceEditor::replaceRange(std::int64_t from, std::int64_t to, std::string_view bytes,
                                EditKind kind)
{
    const bool wasModified = isModified();
    const Selection after = m_model.replace(from, to, bytes, kind, m_selection);
    applySelection(after);
    reportModification(wasModified);
    ensureCaretVisible();
    restartBlinking();
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
    QGuiApplication::clipboard()->setText(clipboardText(
        m_model.slice(selectionStart(), selectionEnd()), m_view.codePage(), m_view.encoding()));
}

void SourceEditor::cut()
{
    copy();
    if (selectionStart() != selectionEnd())
        replaceRange(selectionStart(), selectionEnd(), {}, EditKind::Other);
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
    replaceRange(selectionStart(), selectionEnd(),
                 pastedBytes(mime->text(), m_view.codePage(), m_view.encoding()), EditKind::Other);
}

void SourceEditor::selectAll()
{
    setSelection(0, m_model.length());
}

// --- What the model reports ---

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
    const Selection before = m_selection;
    m_selection = {moved(m_selection.anchor), moved(m_selection.caret)};
    m_view.textChanged(change, m_replacingAll);
    if (!m_replacingAll) {
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
    if (m_selection != before)
        emit selectionChanged();
}

// --- Display settings ---

void SourceEditor::setTextEncoding(TextEncoding encoding)
{
    const bool changed = encoding != m_view.encoding();
    m_view.setEncoding(encoding);
    viewport()->update();
    if (changed)
        emit textEncodingChanged(encoding);
}

void SourceEditor::setLineNumbersVisible(bool visible)
{
    m_gutterVisible = visible;
    updateGutter();
}

void SourceEditor::setHighlighter(std::shared_ptr<const LineHighlighter> highlighter,
                                  std::vector<TextStyle> styles)
{
    m_view.setHighlighter(std::move(highlighter), std::move(styles));
    m_colourTimer.stop();
    viewport()->update();
}

void SourceEditor::setMarks(std::vector<TextMark> marks)
{
    m_view.setMarks(std::move(marks));
    viewport()->update();
}

// --- Geometry ---

void SourceEditor::updateMetrics()
{
    m_view.setFont(font());
    m_gutter->setFont(font());
    m_gutterWidth = -1;
    updateScrollBars();
    viewport()->update();
}

ViewRenderer::Scroll SourceEditor::scroll() const
{
    return {verticalScrollBar()->value(), horizontalScrollBar()->value()};
}

int SourceEditor::visibleLines() const
{
    return std::max(1, viewport()->height() / m_view.lineHeight());
}

void SourceEditor::updateScrollBars()
{
    const int lines = visibleLines();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, clampToInt(m_model.lineCount() - lines));
    vertical->setPageStep(lines);
    vertical->setSingleStep(1);
    const int width = viewport()->width();
    const auto content = static_cast<std::int64_t>(std::ceil(
        ViewRenderer::kMargin + static_cast<qreal>(m_longest.width() + 2) * m_view.cellWidth()));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, clampToInt(content - width));
    horizontal->setPageStep(std::max(1, width));
    horizontal->setSingleStep(std::max(1, static_cast<int>(std::lround(m_view.cellWidth()))));
    updateGutter();
}

void SourceEditor::updateGutter()
{
    int width = 0;
    if (m_gutterVisible) {
        const int digits =
            std::max<int>(3, static_cast<int>(std::to_string(m_model.lineCount()).size()));
        width = static_cast<int>(std::ceil((digits + 2) * m_view.cellWidth()));
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

void SourceEditor::ensureCaretVisible()
{
    const std::int64_t line = m_model.lineOf(caret());
    const int lines = visibleLines();
    QScrollBar* vertical = verticalScrollBar();
    if (line < vertical->value())
        vertical->setValue(clampToInt(line));
    else if (line >= vertical->value() + lines)
        vertical->setValue(clampToInt(line - lines + 1));

    const qreal x = static_cast<qreal>(m_view.columnOf(caret())) * m_view.cellWidth();
    const int textWidth = viewport()->width() - ViewRenderer::kMargin;
    QScrollBar* horizontal = horizontalScrollBar();
    if (x < horizontal->value())
        horizontal->setValue(static_cast<int>(std::floor(x)));
    else if (x + 2 * m_view.cellWidth() > horizontal->value() + textWidth)
        horizontal->setValue(static_cast<int>(std::ceil(x + 2 * m_view.cellWidth() - textWidth)));
}

QRect SourceEditor::rectForOffset(std::int64_t offset) const
{
    return m_view.rectForOffset(offset, scroll());
}

QRect SourceEditor::cursorRect() const
{
    return m_view.caretRect(caret(), scroll());
}

std::optional<std::int64_t> SourceEditor::offsetAt(QPoint viewportPos) const
{
    return m_view.offsetAt(viewportPos, scroll());
}

std::int64_t SourceEditor::caretOffsetAt(QPointF viewportPos) const
{
    return m_view.caretOffsetAt(viewportPos, scroll());
}

// --- Painting ---

void SourceEditor::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const ViewRenderer::Scroll at = scroll();
    // Far lines are coloured a piece at a time, so that no key waits for them.
    const std::int64_t lastLine = m_view.linesIn(event->rect(), at).second;
    if (!m_view.colourUpTo(lastLine, kColourSliceMs)) {
        m_colourTarget = lastLine;
        m_colourTimer.start(0, this);
    }
    m_view.paint(painter, event->rect(), at,
                 {m_selection, hasFocus(), m_caretShown, m_input.preedit()}, palette());
}

void SourceEditor::paintLineNumbers(QPaintEvent* event)
{
    QPainter painter(m_gutter);
    m_view.paintLineNumbers(painter, event->rect(), m_gutter->width(), scroll(),
                            m_model.lineOf(caret()), palette());
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

// --- Events ---

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
    // Keys pressed here are released elsewhere now (a dialog, a menu, another window).
    m_keysDown.clear();
    m_blinkTimer.stop();
    viewport()->update();
}

void SourceEditor::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_blinkTimer.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
    } else if (event->timerId() == m_measureTimer.timerId()) {
        m_measureTimer.stop();
        if (m_longest.needsMeasuring()) {
            m_longest.measure(m_model);
            updateScrollBars();
        }
    } else if (event->timerId() == m_colourTimer.timerId()) {
        if (m_view.colourUpTo(m_colourTarget, kColourSliceMs)) {
            m_colourTimer.stop();
            viewport()->update();
        }
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

void SourceEditor::keyPressEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        expectKeyRelease(event->key());
    event->setAccepted(m_input.keyPress(*event));
}

void SourceEditor::expectKeyRelease(int qtKey)
{
    if (std::find(m_keysDown.begin(), m_keysDown.end(), qtKey) == m_keysDown.end())
        m_keysDown.push_back(qtKey);
}

void SourceEditor::keyReleaseEvent(QKeyEvent* event)
{
    QAbstractScrollArea::keyReleaseEvent(event);
    if (event->isAutoRepeat())
        return;
    const auto down = std::find(m_keysDown.begin(), m_keysDown.end(), event->key());
    if (down == m_keysDown.end())
        return;
    m_keysDown.erase(down);
    emit keyUp(virtualKeyCode(event->key(), event->modifiers().testFlag(Qt::KeypadModifier)));
}

void SourceEditor::mousePressEvent(QMouseEvent* event)
{
    m_input.mousePress(*event);
}

void SourceEditor::mouseMoveEvent(QMouseEvent* event)
{
    m_input.mouseMove(*event);
}

void SourceEditor::mouseReleaseEvent(QMouseEvent* event)
{
    m_input.mouseRelease(*event);
    emit mouseUp();
}

void SourceEditor::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_input.mouseDoubleClick(*event);
}

void SourceEditor::contextMenuEvent(QContextMenuEvent* event)
{
    m_input.contextMenu(*event);
}

void SourceEditor::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void SourceEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (EditorInput::accepts(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void SourceEditor::dropEvent(QDropEvent* event)
{
    m_input.drop(*event);
}

void SourceEditor::inputMethodEvent(QInputMethodEvent* event)
{
    m_input.inputMethod(*event);
    viewport()->update();
    event->accept();
}

QVariant SourceEditor::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const QVariant answer = m_input.inputMethodQuery(query);
    return answer.isValid() ? answer : QAbstractScrollArea::inputMethodQuery(query);
}

} // namespace scrivlet
