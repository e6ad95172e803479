#include "files/problem_pane.h"

#include <algorithm>

namespace scrivlet {
namespace {

constexpr int kLineRole = Qt::UserRole;
constexpr int kColumnRole = Qt::UserRole + 1;
constexpr int kPathRole = Qt::UserRole + 2;
constexpr int kShownLines = 4;

} // namespace

ProblemPane::ProblemPane(QWidget* parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("problems"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFocusPolicy(Qt::ClickFocus);
    hide();
    connect(this, &QListWidget::itemClicked, this, &ProblemPane::choose);
    connect(this, &QListWidget::itemActivated, this, &ProblemPane::choose);
}

void ProblemPane::showProblems(const std::vector<Problem>& problems)
{
    clear();
    for (const Problem& problem : problems) {
        QString where = problem.line > 0
                            ? QStringLiteral("%1:%2").arg(problem.line).arg(problem.column)
                            : QString();
        if (!problem.path.isEmpty())
            where = (problem.file.isEmpty() ? problem.path : problem.file) +
                    (where.isEmpty() ? QString() : QStringLiteral(":") + where);
        auto* item = new QListWidgetItem(where + QStringLiteral(": ") + problem.message, this);
        item->setData(kPathRole, problem.path);
        item->setData(kLineRole, static_cast<qulonglong>(problem.line));
        item->setData(kColumnRole, static_cast<qulonglong>(problem.column));
    }
    setShown(!problems.empty());
}

void ProblemPane::showNote(const QString& note)
{
    clear();
    addItem(note);
    setShown(true);
}

void ProblemPane::clearAndHide()
{
    clear();
    setShown(false);
}

void ProblemPane::placeUnder(QWidget& editor, int width, int height)
{
    m_editor = &editor;
    m_width = width;
    m_height = height;
    layOut();
}

void ProblemPane::setShown(bool shown)
{
    if (shown == !isHidden())
        return;
    setVisible(shown);
    layOut();
}

void ProblemPane::layOut()
{
    if (!m_editor)
        return;
    const int paneHeight =
        isHidden()
            ? 0
            : std::min(m_height / 2, kShownLines * fontMetrics().height() + 2 * frameWidth() + 4);
    m_editor->resize(m_width, m_height - paneHeight);
    if (!isHidden())
        setGeometry(m_editor->x(), m_editor->y() + m_height - paneHeight, m_width, paneHeight);
}

void ProblemPane::choose(QListWidgetItem* item)
{
    const QVariant line = item->data(kLineRole);
    if (!line.isValid())
        return;
    emit problemChosen(item->data(kPathRole).toString(),
                       static_cast<std::size_t>(line.toULongLong()),
                       static_cast<std::size_t>(item->data(kColumnRole).toULongLong()));
}

} // namespace scrivlet
