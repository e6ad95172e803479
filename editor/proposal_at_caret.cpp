#include "editor/proposal_at_caret.h"

#include "common/ascii.h"
#include "common/windows1252.h"
#include "editor/code_page.h"
#include "editor/source_editor.h"
#include "editor/text_model.h"

#include <QEvent>
#include <QPainter>

namespace scrivlet {

ProposalAtCaret::ProposalAtCaret(SourceEditor& editor)
    : QWidget(editor.viewport()), m_editor(editor)
{
    setObjectName("proposalAtCaret");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(editor.viewport()->rect());
    editor.viewport()->installEventFilter(this);
    connect(&editor, &SourceEditor::changed, this, &ProposalAtCaret::withdraw);
    connect(&editor, &SourceEditor::selectionChanged, this, &ProposalAtCaret::withdraw);
    show();
}

void ProposalAtCaret::setOn(bool on)
{
    m_on = on;
    withdraw();
}

void ProposalAtCaret::propose(qint64 wordEnd, qint64 wordLength, const QString& name)
{
    withdraw();
    const TextModel& text = m_editor.model();
    const std::string bytes = windows1252FromUtf8(name.toStdString());
    // Only at the end of its line, so that the rest of the name covers nothing written.
    const bool endsLine = wordEnd == text.length() || text.at(wordEnd) == '\r';
    if (!m_on || wordLength <= 0 || m_editor.caret() != wordEnd || !endsLine ||
        bytes.size() <= static_cast<std::size_t>(wordLength))
        return;
    std::string scratch;
    if (!startsWithNoCase(bytes, text.view(wordEnd - wordLength, wordEnd, scratch)))
        return;
    m_at = wordEnd;
    m_rest = bytes.substr(static_cast<std::size_t>(wordLength));
    update();
}

void ProposalAtCaret::withdraw()
{
    if (m_rest.empty())
        return;
    m_rest.clear();
    update();
}

bool ProposalAtCaret::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor.viewport() && event->type() == QEvent::Resize)
        setGeometry(m_editor.viewport()->rect());
    return QWidget::eventFilter(watched, event);
}

void ProposalAtCaret::paintEvent(QPaintEvent*)
{
    if (m_rest.empty())
        return;
    QString shown;
    for (const char byte : m_rest)
        shown += QChar(shownChar(m_editor.codePage(), static_cast<unsigned char>(byte)));
    const QRect cell = m_editor.rectForOffset(m_at);
    QPainter painter(this);
    painter.setFont(m_editor.font());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(QRect(cell.left(), cell.top(), width() - cell.left(), cell.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, shown);
}

} // namespace scrivlet
