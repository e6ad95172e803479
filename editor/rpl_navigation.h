#pragma once

#include "rpl/definition_tracker.h"
#include "editor/rpl_highlighter.h"
#include "rpl/unknown_names.h"

#include <QBasicTimer>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QKeyEvent;

namespace scrivlet {

class SourceEditor;

// What the reference book tells about an entry, for its tip (UTF-8).
struct EntryTip {
    std::string name;
    std::string address;
    std::string description; // line breaks expanded; its first line is the stack diagram
};

// The reference book as the RPL view asks it: whether a name (the editor's bytes, letter case
// exact) is an entry, and what the book says about one.
struct RplReference {
    ReferenceBook inReferenceBook;
    std::function<std::optional<EntryTip>(std::string_view name)> entryTip;
};

// The RPL-aware view of one SourceEditor: colours (RplHighlighter over the names this text
// defines and the reference book), the two ends of the structure pair at the caret, entry tips,
// and the jumps: Ctrl+] to the partner of the structure word at the caret, F12 or Ctrl+click to
// the definition of a name defined in the text. It shows and moves the caret only: the bytes,
// the undo history and the editor's signals are as without it.
//
// The defined names follow every change of the text line by line (DefinitionTracker); a newly
// loaded text is scanned in the background a piece at a time, and the view is painted again
// when the names change. The object belongs to the editor (its Qt child) and leaves the editor
// as it found it when deleted first.
class RplNavigation final : public QObject {
    Q_OBJECT

  public:
    explicit RplNavigation(SourceEditor& editor, RplReference reference = {});
    ~RplNavigation() override;

    void setReference(RplReference reference);
    void setMarkUnknownNames(bool on);

    const RplHighlighter& highlighter() const { return *m_highlighter; }
    // Whether the names of the whole text are known (the background scan is over).
    bool namesComplete() const { return m_tracker.done(); }
    // The marks of the structure pair at the caret: both ends, or the one end that has no
    // partner (in the error style).
    const std::vector<TextMark>& pairMarks() const { return m_pairMarks; }

    // Moves the caret to the partner of the structure word at the caret; false when there is
    // none within the matcher's limit.
    bool jumpToPartner();
    // Moves the caret to the definition of the name at an offset (the name that holds it or
    // ends at it); false when the text defines no such name.
    bool jumpToDefinition(std::int64_t offset);
    // The tip for the name at an offset: its entry's name, address and first description lines;
    // empty when it names no entry.
    QString tipAt(std::int64_t offset);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    class Lines;
    struct WordAt;
    enum class Jump { None, Partner, Definition };

    void textAboutToChange(qint64 from, qint64 to);
    void textChanged(qint64 from, qint64 removedBytes, qint64 insertedBytes);
    void markPair();
    void scanNames(qint64 budgetMs);
    void applyStyles();
    std::optional<WordAt> wordAt(std::int64_t offset, bool endingAtOffset);
    QString tipFor(const WordAt& word) const;
    static Jump jumpOf(const QKeyEvent& event);

    SourceEditor* m_editor; // null once the editor is being destroyed
    RplReference m_reference;
    DefinitionTracker m_tracker;
    std::shared_ptr<RplHighlighter> m_highlighter;
    std::unique_ptr<Lines> m_lines;

    // The change under way: the lines it touches and the line count before it.
    std::int64_t m_touchedFirst = 0;
    std::int64_t m_touchedLast = 0;
    std::int64_t m_lineCountBefore = 1;

    QBasicTimer m_scanTimer; // scans the names a piece at a time
    QBasicTimer m_pairTimer; // marks the pair once the caret's line has been scanned
    std::vector<TextMark> m_pairMarks;
};

} // namespace scrivlet
