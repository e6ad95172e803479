#include "editor/line_number_gutter.h"

#include <utility>

namespace scrivlet {

LineNumberGutter::LineNumberGutter(QWidget* parent, Painter painter)
    : QWidget(parent), m_painter(std::move(painter))
{
}

void LineNumberGutter::paintEvent(QPaintEvent* event)
{
    m_painter(event);
}

} // namespace scrivlet
