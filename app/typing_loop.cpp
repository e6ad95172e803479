#include "app/typing_loop.h"

#include "rpl/structure_words.h"
#include "common/lookup_guard.h"
#include "common/user_prompts.h"
#include "common/windows1252.h"
#include "editor/code_page.h"
#include "editor/document_text.h"
#include "editor/editor_buffer.h"
#include "editor/previous_word.h"
#include "editor/search_panel.h"
#include "editor/source_editor.h"
#include "editor/typing_rules.h"
#include "reference/description_rules.h"
#include "reference/entry_list_model.h"
#include "reference/entry_list_view.h"
#include "reference/name_lookup.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <utility>

namespace scrivlet {
namespace {

// Text from the database (UTF-8) as the editor's bytes.
std::string bufferBytes(const QString& text)
{
    return windows1252FromUtf8(text.toStdString());
}

} // namespace

TypingLoop::TypingLoop(const Controls& controls, UserPrompts& prompts, QWidget& window)
    : QObject(&window), m_c(controls), m_prompts(prompts), m_window(window)
{
    connect(&m_c.text, &SourceEditor::keyUp, this, &TypingLoop::text_KeyUp);
    connect(&m_c.text, &SourceEditor::mouseUp, this, &TypingLoop::text_MouseUp);
    connect(&m_c.entry, &QAbstractItemView::clicked, this, &TypingLoop::entry_Click);
    connect(&m_c.entry, &QAbstractItemView::doubleClicked, this, &TypingLoop::entry_DblClick);
    connect(&m_c.entry, &EntryListView::keyPress, this, [this](int unicode) {
        const int code = byteOfShown(m_c.text.codePage(), static_cast<char16_t>(unicode));
        entry_KeyPress(code < 0 ? kUnmappableByte : code);
        // The key's release arrives in the editor, which now has the focus.
        m_c.text.expectKeyRelease(m_c.entry.lastPressedKey());
    });
    connect(&m_c.entry, &EntryListView::escapePressed, this, [this] {
        escapeFromList();
        m_c.text.expectKeyRelease(Qt::Key_Escape);
    });
    connect(&m_c.entry, &EntryListView::shortcutPressed, this, &TypingLoop::handToEditor);
    connect(&m_c.entry, &EntryListView::selectionMovedByKey, this,
            &TypingLoop::currentRowFromSelection);
    connect(&m_c.entries, &EntryListModel::codePageChanged, this, &TypingLoop::showDescription);
    connect(&m_c.entries, &EntryListModel::currentRowChanged, this, &TypingLoop::followCurrentRow);
    followCurrentRow();
    // The read-out follows the caret wherever it moves (a file opened, a search hit, a jump).
    connect(&m_c.text, &SourceEditor::selectionChanged, this, &TypingLoop::displaypos);
}

void TypingLoop::followCurrentRow()
{
    const EntryRecordset& rs = m_c.entries.source().recordset();
    QItemSelectionModel& selection = *m_c.entry.selectionModel();
    if (rs.eof()) {
        selection.clear();
        m_description.clear();
        showDescription();
        return;
    }
    const QModelIndex index = m_c.entries.index(static_cast<int>(*rs.currentRow()));
    if (selection.currentIndex() != index || !selection.isSelected(index)) {
        selection.setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        m_c.entry.scrollTo(index);
    }
    display_description();
}

void TypingLoop::text_KeyUp(int keyCode)
{
    m_caretRead.reset();
    const bool controlHeld = QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
    const KeyUpState state{m_indentarmed, std::exchange(m_escapeFromList, false), controlHeld,
                           std::exchange(m_pairJumpReleased, false)};
    m_pairJumpReleased = keyCode == kPairJumpKey && controlHeld;
    switch (keyUpAction(keyCode, state)) {
    case KeyUpAction::Indent:
        autoident(false);
        break;
    case KeyUpAction::EmptyWordSpan: {
        const auto caret = static_cast<std::int32_t>(m_c.buffer.selStart());
        m_wordstart = caret + 1;
        m_wordend = caret;
        break;
    }
    case KeyUpAction::LookUp:
        find_mnemonic(false);
        break;
    case KeyUpAction::LookUpMovingFocus:
        find_mnemonic(true);
        break;
    case KeyUpAction::SearchFrame:
        m_c.search.f3();
        break;
    case KeyUpAction::None:
        break;
    }
    if (const auto position = std::exchange(m_caretRead, std::nullopt))
        showPosition(*position);
    else
        displaypos();
    m_lastkey = static_cast<std::int16_t>(keyCode);
    m_indentarmed = true;
}

void TypingLoop::text_MouseUp()
{
    find_mnemonic(false);
    showPosition(*std::exchange(m_caretRead, std::nullopt));
}

void TypingLoop::find_mnemonic(bool moveFocus)
{
    const EditorBuffer::CaretView caret = m_c.buffer.caretView();
    m_caretRead = caret.position;
    const WordSpan span =
        findWordSpan(caret.slice, caret.sliceStart, caret.selStart, caret.length, m_tabInWord);
    m_wordstart = span.wordstart;
    m_wordend = span.wordend;

    const std::string_view word = lookupWord(caret.slice, caret.sliceStart, span);
    if (!passesLookupGuard(word))
        return;

    EntryRecordset& rs = m_c.entries.source().recordset();
    const bool pairs = m_textWords && m_pairs;
    const std::string previous = pairs ? wordBefore(m_c.buffer, span.wordstart - 1) : "";
    // The language's own words (:: ; { } IF ...) name no entry: Enter after them breaks the line.
    rs.moveTo(isStructureWord(word)
                  ? std::nullopt
                  : lookUpName(rs, word, {m_textWords, word},
                               {pairs ? &m_pairs->pairs() : nullptr, previous}));
    if (rs.eof()) {
        setBoundText(QString());
        return;
    }
    setBoundText(m_c.entries.currentField("id"));
    emit proposed(m_wordend, span.length(), m_c.entries.currentField("name"));
    display_description();
    if (m_c.beepOption.isChecked())
        m_prompts.beep();
    if (moveFocus)
        m_c.entry.setFocus();
}

void TypingLoop::display_description()
{
    // Without a current row there is nothing to read; the pane keeps what it shows.
    if (m_c.entries.source().recordset().eof())
        return;
    const std::string stored = m_c.entries.currentField("description").toStdString();
    m_description = QString::fromStdString(expandDescription(stored));
    m_description.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    showDescription();
}

void TypingLoop::showDescription()
{
    m_c.description.setText(m_c.entries.shownText(m_description));
}

void TypingLoop::autoident(bool insertLineBreak)
{
    // Without a line break of its own the indentation follows the one the editor has just
    // made, and joins its undo step.
    const EditorBuffer::UndoStep step =
        insertLineBreak ? EditorBuffer::UndoStep::New : EditorBuffer::UndoStep::JoinPrevious;
    std::optional<EditorBuffer::UndoGroup> lineBreakAndIndent;
    if (insertLineBreak) {
        lineBreakAndIndent.emplace(m_c.buffer);
        m_c.buffer.setSelText("\r\n");
    }
    if (m_c.autoidentOption.isChecked()) {
        if (const auto previous = m_c.buffer.previousLine(m_c.buffer.selStart())) {
            const int width = indentWidth(*previous);
            if (width > 0)
                m_c.buffer.setSelText(std::string(static_cast<std::size_t>(width), ' '), step);
        }
    }
    m_c.buffer.setFocus();
}

void TypingLoop::displaypos()
{
    showPosition(m_c.buffer.caretView().position);
}

void TypingLoop::showPosition(LineColumn position)
{
    m_c.pos.setText(QString::fromStdString(positionCaption(position)));
}

void TypingLoop::firstActivation()
{
    m_c.buffer.setFocus();
    m_c.buffer.setSelStart(5);
    m_wordstart = 5;
    m_wordend = 5;
    m_lastkey = 0;
    m_indentarmed = true;
    displaypos();
}

void TypingLoop::entry_Click()
{
    currentRowFromSelection();
}

void TypingLoop::currentRowFromSelection()
{
    const QString id = boundText();
    if (id.isEmpty())
        return;
    EntryRecordset& rs = m_c.entries.source().recordset();
    rs.moveFirst();
    rs.find("id=" + id.toStdString());
    display_description();
}

void TypingLoop::entry_DblClick()
{
    insertEntry();
}

void TypingLoop::entry_KeyPress(int keyAscii)
{
    switch (listKeyAction(keyAscii, m_lastkey)) {
    case ListKeyAction::NewIndentedLine:
        autoident(true);
        break;
    case ListKeyAction::DeleteBeforeCaret:
        deleteBeforeCaret();
        m_c.buffer.setFocus();
        break;
    case ListKeyAction::InsertEntry:
        insertEntry();
        m_indentarmed = false;
        break;
    case ListKeyAction::WriteCharacter:
        m_c.buffer.setSelText(std::string(1, static_cast<char>(keyAscii)));
        m_c.buffer.setFocus();
        break;
    case ListKeyAction::ReturnToEditor:
        m_c.buffer.setFocus();
        break;
    }
    m_lastkey = static_cast<std::int16_t>(keyAscii);
    displaypos();
}

void TypingLoop::deleteBeforeCaret()
{
    // A selection the editor had is dropped, not deleted.
    const std::int64_t caret = m_c.buffer.selStart();
    if (const auto deleted = backspaceDeletion(caret, m_c.buffer.slice(caret - 2, caret))) {
        m_c.buffer.setSelStart(deleted->start);
        m_c.buffer.setSelLength(deleted->length);
        m_c.buffer.setSelText({});
    }
}

void TypingLoop::insertEntry()
{
    EntryRecordset& rs = m_c.entries.source().recordset();
    if (rs.eof())
        return;
    const QString name = m_c.entries.currentField("name");
    const WriteResult counted = rs.addUse();
    if (m_pairs)
        m_pairs->countUse(wordBefore(m_c.buffer, m_wordstart - 1), bufferBytes(name));

    m_c.buffer.setSelStart(m_wordstart - 1);
    m_c.buffer.setSelLength(std::int64_t{m_wordend} - m_wordstart + 1);
    m_c.buffer.setSelText(bufferBytes(name));
    m_c.buffer.setFocus();

    if (counted.gone)
        reportGoneEntry(name);
    else if (!counted.ok)
        reportUncountedUse(counted.error);
}

void TypingLoop::reportGoneEntry(const QString& name)
{
    if (m_toldGone.contains(name))
        return;
    m_toldGone.insert(name);
    m_prompts.message(&m_window, tr("Vantor Scrivlet Database"),
                      tr("The entry %1 is no longer in the entry database %2; its use was not "
                         "counted.")
                          .arg(m_c.entries.shownText(name),
                               QString::fromStdString(m_c.entries.source().openedPath())),
                      UserPrompts::Icon::Warning);
}

void TypingLoop::reportUncountedUse(const std::string& reason)
{
    if (m_toldUncounted)
        return;
    m_toldUncounted = true;
    m_prompts.message(&m_window, tr("Vantor Scrivlet Database"),
                      tr("The use of an entry could not be counted in %1:\n%2\n"
                         "Entries are still inserted; their counts stay as they are.")
                          .arg(QString::fromStdString(m_c.entries.source().openedPath()),
                               QString::fromStdString(reason)),
                      UserPrompts::Icon::Warning);
}

void TypingLoop::escapeFromList()
{
    m_escapeFromList = true;
    m_c.buffer.setFocus();
}

void TypingLoop::handToEditor(const QKeyEvent& event)
{
    m_c.buffer.setFocus();
    QKeyEvent copy(event.type(), event.key(), event.modifiers(), event.text(), event.isAutoRepeat(),
                   static_cast<ushort>(event.count()));
    QCoreApplication::sendEvent(&m_c.text, &copy);
}

QString TypingLoop::boundText() const
{
    const QModelIndex index = m_c.entry.selectionModel()->currentIndex();
    if (!index.isValid() || !m_c.entry.selectionModel()->isSelected(index))
        return {};
    const auto& rs = m_c.entries.source().recordset();
    const int idColumn = rs.columnIndex("id");
    if (idColumn < 0)
        return {};
    return QString::fromStdString(
        fieldText(rs.value(static_cast<std::size_t>(index.row()), idColumn)));
}

void TypingLoop::setBoundText(const QString& id)
{
    QItemSelectionModel& selection = *m_c.entry.selectionModel();
    bool ok = false;
    const qlonglong number = id.toLongLong(&ok);
    const auto row = ok ? m_c.entries.source().recordset().rowOfId(number) : std::nullopt;
    if (!row) {
        selection.clear();
        return;
    }
    const QModelIndex index = m_c.entries.index(static_cast<int>(*row));
    selection.setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_c.entry.scrollTo(index);
}

} // namespace scrivlet
