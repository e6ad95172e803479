#pragma once

#include <QListWidget>
#include <QPointer>
#include <QString>
#include <cstddef>
#include <vector>

namespace scrivlet {

// The pane under the editor that shows what the last compile or build found: each problem as
// one line "line:column: message" (in the editor's text) or "file:line:column: message" (in
// another file; "file: message" when there is no place), or one line saying the compile
// succeeded. A click (or Enter) on a problem asks to go there. The pane is hidden until it has something to show; it takes the
// lower part of the editor's room while shown and gives it back when hidden.
class ProblemPane final : public QListWidget {
    Q_OBJECT

  public:
    struct Problem {
        std::size_t line = 1;
        std::size_t column = 1;
        QString message;
        QString path; // the file it is in; empty: the editor's text
        QString file; // the file as shown; empty: the path
    };

    explicit ProblemPane(QWidget* parent);

    void showProblems(const std::vector<Problem>& problems);
    // A line that is no problem (success, or a failure without a place); nothing to go to.
    void showNote(const QString& note);
    void clearAndHide();

    // Lays the editor and the pane out in the editor's room: `width` × `height` from the
    // editor's top-left corner. The pane keeps the room and lays them out again when it shows
    // or hides.
    void placeUnder(QWidget& editor, int width, int height);

  signals:
    // `path` is empty for the editor's text; line and column are 1-based (0: no place).
    void problemChosen(const QString& path, std::size_t line, std::size_t column);

  private:
    void setShown(bool shown);
    void layOut();
    void choose(QListWidgetItem* item);

    QPointer<QWidget> m_editor;
    int m_width = 0;
    int m_height = 0;
};

} // namespace scrivlet
