#pragma once

#include "editor/editor_rules.h"
#include "reference/pair_store.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class QAction;
class QKeyEvent;
class QLabel;

namespace scrivlet {

class EditorBuffer;
class EntryListModel;
class EntryListView;
class SearchPanel;
class SourceEditor;
class UserPrompts;
class WordCounts;

// The road of a typed letter between the editor and the reference list. After a key is
// released in the editor the word around the caret is looked up and the list moves to the
// first entry that begins with it; characters typed in the list go on into the editor, and
// Enter writes the entry's name over the word and counts one use in the database file.
//
// State kept between events: `lastkey` (the last key code handled, by the editor or the list),
// `indentarmed` (whether the editor's next Enter indents) and the word span. The focus moves
// decide where the next key lands: a match with move focus gives the list the focus, every
// key the list writes into the editor gives it back. Which action a key triggers is decided by
// the typing rules; this class carries the actions out. A line break and the indentation that
// follows it are one step of the editor's undo.
class TypingLoop final : public QObject {
    Q_OBJECT

  public:
    struct Controls {
        SourceEditor& text;
        EditorBuffer& buffer;
        EntryListView& entry;
        EntryListModel& entries;
        QLabel& description;
        QAction& pos;
        const QAction& beepOption;
        const QAction& autoidentOption;
        SearchPanel& search;
    };

    TypingLoop(const Controls& controls, UserPrompts& prompts, QWidget& window);

    // Editor events.
    void text_KeyUp(int keyCode);
    void text_MouseUp();
    // Reference list events.
    void entry_Click();
    void entry_DblClick();
    void entry_KeyPress(int keyAscii);

    // The one-time set-up at the window's first activation: caret at offset 5, word span 5 and
    // 5, lastkey 0, indentarmed True, read-out refreshed.
    void firstActivation();

    // The words of the open text the lookup weighs ("Names in This File First"); none: the
    // list's order alone decides.
    void setTextWords(const WordCounts* counts) { m_textWords = counts; }
    void setTabInWord(TabInWord tab) { m_tabInWord = tab; }
    // The pairs of names and the words before them: every name written from the list counts
    // one, and with the text's words the lookup weighs them too.
    void setPairStore(std::shared_ptr<PairStore> pairs) { m_pairs = std::move(pairs); }

    std::int16_t lastkey() const { return m_lastkey; }
    bool indentarmed() const { return m_indentarmed; }
    WordSpan wordSpan() const { return {m_wordstart, m_wordend}; }

  signals:
    // A lookup proposed the entry `name` for the `wordLength` bytes before offset `wordEnd`.
    void proposed(qint64 wordEnd, qint64 wordLength, const QString& name);

  private:
    // The lookup of the word at the caret. It changes no text, so the caret's line and column
    // it read are left in m_caretRead for the read-out that follows.
    void find_mnemonic(bool moveFocus);
    void display_description();
    // The list's highlight and the description follow the current row (none: no highlight, an
    // empty description).
    void followCurrentRow();
    // The description last read, in the list's code page.
    void showDescription();
    void autoident(bool insertLineBreak);
    void displaypos();
    void showPosition(LineColumn position);
    void insertEntry();
    void deleteBeforeCaret();
    void currentRowFromSelection();
    void reportUncountedUse(const std::string& reason);
    void reportGoneEntry(const QString& name);
    void handToEditor(const QKeyEvent& event);
    void escapeFromList();

    // The list's bound text: the id of the selected entry, "" for none. Setting it selects
    // the entry with that id and brings it into view.
    QString boundText() const;
    void setBoundText(const QString& id);

    Controls m_c;
    UserPrompts& m_prompts;
    QWidget& m_window;

    std::int16_t m_lastkey = 0;
    bool m_indentarmed = true;
    std::int32_t m_wordstart = 5;
    std::int32_t m_wordend = 5;
    bool m_toldUncounted = false;
    QSet<QString> m_toldGone; // entries told to be no longer in the database
    std::optional<LineColumn> m_caretRead;
    bool m_escapeFromList = false;
    bool m_pairJumpReleased = false; // the last key-up was Ctrl+]'s
    QString m_description;           // as stored, with "%0A" expanded
    const WordCounts* m_textWords = nullptr;
    TabInWord m_tabInWord = TabInWord::EndsWord;
    std::shared_ptr<PairStore> m_pairs;
};

} // namespace scrivlet
