#include "app/panel_handle.h"

#include <QMouseEvent>

namespace scrivlet {

PanelHandle::PanelHandle(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::SplitHCursor);
}

void PanelHandle::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_lastX = static_cast<int>(event->globalPosition().x());
}

void PanelHandle::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const int x = static_cast<int>(event->globalPosition().x());
    if (x != m_lastX)
        emit dragged(x - std::exchange(m_lastX, x));
}

void PanelHandle::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    emit released();
}

} // namespace scrivlet
