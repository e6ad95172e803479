#include "editor/word_count_tracker.h"

#include "editor/source_editor.h"

#include <QTimerEvent>

namespace scrivlet {

WordCountTracker::WordCountTracker(SourceEditor& editor) : QObject(&editor), m_editor(editor)
{
    connect(&editor, &SourceEditor::aboutToChange, this, [this](qint64 from, qint64 to) {
        if (m_on)
            m_counter.aboutToChange(m_editor.model(), from, to);
    });
    connect(&editor, &SourceEditor::changed, this,
            [this](qint64 /*from*/, qint64 removed, qint64 inserted) {
                if (!m_on)
                    return;
                m_counter.changed(m_editor.model(), removed, inserted);
                countLater();
            });
}

void WordCountTracker::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    // Switched off, the counts are dropped; switched on, the whole text is counted anew.
    m_counter = TextWordCounter();
    if (on)
        countLater();
    else
        m_pieces.stop();
}

void WordCountTracker::countLater()
{
    if (m_counter.pendingFrom() && !m_pieces.isActive())
        m_pieces.start(0, this);
}

void WordCountTracker::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_pieces.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    m_counter.countMore(m_editor.model(), kPieceBytes);
    if (!m_counter.pendingFrom())
        m_pieces.stop();
}

} // namespace scrivlet
