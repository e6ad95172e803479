#pragma once

#include "common/twips.h"

#include <QRect>
#include <QString>

namespace scrivlet {

// A control's designed place inside a frame, given in twips, in pixels.
inline QRect twipsRect(int left, int top, int width, int height)
{
    return {pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
            pixelsFromTwips(height)};
}

// The widget, carrying its role as its object name ("text", "entry", "cmdOK", ...).
template <typename W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace scrivlet
