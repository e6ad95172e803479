#pragma once

#include "editor/key_commands.h"
#include "editor/undo_history.h"

#include <QPointF>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <cstdint>

class QContextMenuEvent;
class QDropEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMimeData;
class QMouseEvent;

namespace scrivlet {

class SourceEditor;

// Turns what the user does in the editor into its edits, caret moves and clipboard work: key
// presses by their editor command, clicks, drag-selects, double clicks, the middle button's
// paste of the X11 selection, text drops, input-method text and the context menu.
//
// Invariants: Up and Down keep the column they started from as long as nothing else moved the
// caret; a drag-select keeps scrolling while the mouse is outside the view. A selection made
// with the mouse or the keyboard is offered as the X11 selection where the system has one.
class EditorInput final {
  public:
    explicit EditorInput(SourceEditor& editor);

    // False when the key is none of the editor's.
    bool keyPress(const QKeyEvent& event);
    void mousePress(const QMouseEvent& event);
    void mouseMove(const QMouseEvent& event);
    void mouseRelease(const QMouseEvent& event);
    void mouseDoubleClick(const QMouseEvent& event);
    void contextMenu(const QContextMenuEvent& event);
    // Whether a drag may drop here: text, inserted at the drop point.
    static bool accepts(const QMimeData* mime);
    void drop(QDropEvent& event);
    void inputMethod(const QInputMethodEvent& event);
    // The editor's answer to an input method, or an invalid QVariant for the widget's own.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const;
    // Text an input method is composing, drawn at the caret until it is committed.
    const QString& preedit() const { return m_preedit; }

  private:
    void run(KeyCommand command, const QString& text);
    // Deletes the selection, or else bytes [from, to).
    void erase(std::int64_t from, std::int64_t to, EditKind kind);
    void offerSelection() const;

    SourceEditor& m_editor;
    std::int64_t m_preferredColumn = -1;
    std::int64_t m_columnCaret = -1; // where the last vertical move left the caret
    bool m_selecting = false;
    QPointF m_dragPoint;
    QTimer m_dragScroll;
    QString m_preedit;
};

} // namespace scrivlet
