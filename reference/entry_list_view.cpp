#include "reference/entry_list_view.h"

#include "common/virtual_keys.h"

#include <QKeyEvent>

namespace scrivlet {

EntryListView::EntryListView(QWidget* parent) : QListView(parent) {}

int EntryListView::characterCode(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Enter;
    case Qt::Key_Backspace:
        return vk::Backspace;
    default:
        break;
    }
    const QString text = event.text();
    if (text.size() != 1)
        return -1;
    return text.at(0).unicode();
}

void EntryListView::keyPressEvent(QKeyEvent* event)
{
    m_lastPressedKey = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (mods == Qt::NoModifier) {
            QListView::keyPressEvent(event);
            emit selectionMovedByKey();
            return;
        }
        break;
    case Qt::Key_Escape:
        emit escapePressed();
        event->accept();
        return;
    default:
        break;
    }
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        emit shortcutPressed(*event);
        event->accept();
        return;
    }
    const int code = characterCode(*event);
    if (code >= 0) {
        emit keyPress(code);
        event->accept();
        return;
    }
    // Keys without a character (function keys, lone modifiers, ...) do nothing in the list.
    event->ignore();
}

} // namespace scrivlet
