#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace scrivlet {

void loadposition(QWidget& window)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int width = screen.width() * 2 / 3;
    const int height = screen.height() * 2 / 3;
    window.resize(width, height);
    window.move((screen.width() - width) / 2, (screen.height() - height) / 2);
}

void saveposition(const QWidget&) {}

} // namespace scrivlet
