#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

namespace scrivlet {

class SourceEditor;

// The rest of the proposed name, shown greyed after the caret while the caret ends the typed
// word at the end of its line: `DU|` with DUP proposed shows a grey P. It is only drawn, over
// the editor's view: the bytes, the undo steps and the caret read-out know nothing of it, and
// Enter in the list writes the name as always. Any change of the text or move of the caret
// takes it away until the next proposal.
class ProposalAtCaret final : public QWidget {
    Q_OBJECT

  public:
    explicit ProposalAtCaret(SourceEditor& editor);

    void setOn(bool on);
    bool isOn() const { return m_on; }
    // What is shown after the caret (editor bytes); empty when nothing is.
    const std::string& shown() const { return m_rest; }

    // The lookup proposed `name` (as the database holds it, UTF-8) for the `wordLength` bytes
    // before offset `wordEnd`; an empty name proposes nothing.
    void propose(qint64 wordEnd, qint64 wordLength, const QString& name);
    // Shows nothing until the next proposal (another entry was chosen in the list).
    void withdraw();

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    SourceEditor& m_editor;
    bool m_on = true;
    std::int64_t m_at = 0; // the caret offset it follows
    std::string m_rest;
};

} // namespace scrivlet
