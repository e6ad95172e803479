#pragma once

#include <QWidget>
#include <functional>

namespace scrivlet {

// The strip left of the editor's text that shows line numbers. It only hands its paint events
// to the editor that owns it, which knows the lines, the font and the scroll position.
class LineNumberGutter final : public QWidget {
    Q_OBJECT

  public:
    using Painter = std::function<void(QPaintEvent*)>;
    LineNumberGutter(QWidget* parent, Painter painter);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Painter m_painter;
};

} // namespace scrivlet
