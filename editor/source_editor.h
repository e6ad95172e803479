#pragma once

#include <QPlainTextEdit>

namespace scrivlet {

// The editor control `text`: a plain-text editor whose every character has a Windows-1252
// byte. It reports each key release with its Windows virtual-key code (auto-repeated releases
// are not reported, so a held key is reported once, at the end) and each mouse button release.
//
// Invariants kept on input: a typed, pasted or dropped character without a byte becomes '?'
// as it goes in; pasted line ends (LF, CR LF, CR) become line breaks; Shift+Enter breaks the
// line like Enter; a stand-in CR left directly before a stand-in LF by an edit becomes a line
// break, as it would be when the text is read back. No word wrap.
class SourceEditor final : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit SourceEditor(QWidget* parent = nullptr);

  signals:
    void keyUp(int virtualKey);
    void mouseUp();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    // Hands the key on to the editor, as Enter when it is Shift+Enter and with '?' for typed
    // characters that have no byte.
    void forwardKeyPress(QKeyEvent* event);
    // Joins a stand-in CR at position - 1 and a stand-in LF at position into a line break.
    // Callers open the edit block of the edit that brought them together, so that the edit
    // and the join undo as one step.
    void joinStandInPair(int position);
};

} // namespace scrivlet
