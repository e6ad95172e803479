#pragma once

#include <QKeyEvent>
#include <QListView>

namespace scrivlet {

// The reference list `entry`. Keys typed while it has the focus never reach QListView's own
// keyboard search: characters are reported by keyPress (their 8-bit codes; Enter 13,
// Backspace 8), Esc by escapePressed, Ctrl and Alt combinations by shortcutPressed (the
// window hands them to the editor). The keys that move the selection (arrows, Page Up/Down,
// Home, End) move it as usual and then report selectionMovedByKey.
class EntryListView final : public QListView {
    Q_OBJECT

public:
    explicit EntryListView(QWidget* parent = nullptr);

    // The character code the key event carries for the list: Enter 13, Backspace 8, a
    // printable character its code; -1 for keys that carry none.
    static int characterCode(const QKeyEvent& event);
    // The Qt key of the last key pressed in the list.
    int lastPressedKey() const { return m_lastPressedKey; }

  signals:
    void keyPress(int characterCode);
    void escapePressed();
    void shortcutPressed(const QKeyEvent& event);
    void selectionMovedByKey();

protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    int m_lastPressedKey = 0;
};

} // namespace scrivlet
