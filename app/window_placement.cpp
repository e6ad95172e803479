#include "app/window_placement.h"

#include "app/placement_file.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace scrivlet {
namespace {

// How long after the first show a frame may still arrive from the window manager.
constexpr int kFrameWaitMs = 2000;

QSize frameMargins(const QWidget& window)
{
    return window.frameGeometry().size() - window.geometry().size();
}

void applyOuter(QWidget& window, const PixelRect& outer, QSize margins, bool place)
{
    window.resize(std::max(0, outer.width - margins.width()),
                  std::max(0, outer.height - margins.height()));
    // A window's position is that of its frame.
    if (place)
        window.move(outer.left, outer.top);
}

// A window's frame is known only once the window manager has framed it, after the first show.
// Until then the outer size is applied to the window's inside; this filter shrinks it by the
// frame as soon as the frame is known, so that the outer rectangle is the one asked for and
// saving it again gives the same numbers. It gives up a little after the first show, so that
// a late frame never undoes a size the user has chosen.
class OuterRectKeeper final : public QObject {
public:
    OuterRectKeeper(QWidget& window, const PixelRect& outer, bool place)
        : QObject(&window), m_window(&window), m_outer(outer), m_place(place)
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_window || m_done)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            if (!m_shown) {
                m_shown = true;
                QTimer::singleShot(kFrameWaitMs, this, [this] { finish(); });
            }
            [[fallthrough]];
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
            if (m_shown) {
                const QSize margins = frameMargins(*m_window);
                if (margins.width() > 0 || margins.height() > 0) {
                    m_done = true;
                    applyOuter(*m_window, m_outer, margins, m_place);
                    finish();
                }
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    void finish()
    {
        m_done = true;
        if (m_window)
            m_window->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> m_window;
    PixelRect m_outer;
    bool m_place;
    bool m_shown = false;
    bool m_done = false;
};

PixelRect screenFallback()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 640, 480);
    PixelRect rect = fallbackRect(area.width(), area.height());
    rect.left += area.x();
    rect.top += area.y();
    return rect;
}

} // namespace

bool windowsCanBePlaced()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void loadposition(QWidget& window)
{
    std::optional<PixelRect> outer;
    if (const auto path = placementPath(processEnvironment()))
        if (const auto placement = loadPlacementFile(*path))
            outer = toPixels(*placement);
    if (!outer)
        outer = screenFallback();

    const bool place = windowsCanBePlaced();
    const QSize margins = frameMargins(window);
    applyOuter(window, *outer, margins, place);
    if (margins.width() <= 0 && margins.height() <= 0)
        new OuterRectKeeper(window, *outer, place);
}

void saveposition(const QWidget& window)
{
    const QRect outer = window.frameGeometry();
    const Placement placement = toTwips({outer.x(), outer.y(), outer.width(), outer.height()});
    const auto path = placementPath(processEnvironment());
    std::string error = "no configuration folder (neither windir nor HOME is set)";
    if (path && savePlacementFile(*path, placement, error))
        return;
    std::fprintf(stderr, "vantor-scrivlet: could not save the window placement: %s\n",
                 error.c_str());
}

} // namespace scrivlet
