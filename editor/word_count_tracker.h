#pragma once

#include "editor/text_word_counter.h"

#include <QBasicTimer>
#include <QObject>

namespace scrivlet {

class SourceEditor;

// The whole-word counts of the editor's text, kept while the tracker is on. It follows the
// editor's change signals; a text still to count (one just opened, or all of it when the
// tracker is switched on) is counted a piece at a time between events, so no key waits for a
// large file. Off, it holds no counts and does no work.
class WordCountTracker final : public QObject {
    Q_OBJECT

  public:
    // Bytes counted in one piece: a few milliseconds of work.
    static constexpr std::int64_t kPieceBytes = 256 * 1024;

    explicit WordCountTracker(SourceEditor& editor);

    void setOn(bool on);
    // The counts of the text, or of its start while the rest is still being counted.
    const WordCounts& counts() const { return m_counter.counts(); }
    bool isComplete() const { return m_on && !m_counter.pendingFrom(); }

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    void countLater();

    SourceEditor& m_editor;
    TextWordCounter m_counter;
    bool m_on = false;
    QBasicTimer m_pieces;
};

} // namespace scrivlet
