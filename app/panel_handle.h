#pragma once

#include <QWidget>

namespace scrivlet {

// The handle between the editor and the reference panel: dragging it reports how far the mouse
// moved to the right since the last report (negative to the left), and the end of a drag.
class PanelHandle final : public QWidget {
    Q_OBJECT

  public:
    explicit PanelHandle(QWidget* parent = nullptr);

  signals:
    void dragged(int dx);
    void released();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int m_lastX = 0;
    bool m_dragging = false;
};

} // namespace scrivlet
