#pragma once

#include <QFont>
#include <QString>

namespace scrivlet {

// The font the window's design names, where it is installed. Otherwise the system's fixed-width
// font stands in for a fixed-width design font, and a narrow sans serif face for the
// proportional one: the controls' widths were measured with MS Sans Serif, which is narrower
// than the usual interface faces at the same point size, and a narrow face keeps every caption
// whole at the design's sizes. Sizes stay in points, so the fonts scale with the window.
QFont designFont(const QString& family, qreal pointSize, bool bold = false);

inline QFont lucidaConsole(qreal pointSize)
{
    return designFont(QStringLiteral("Lucida Console"), pointSize);
}
inline QFont msSansSerif(qreal pointSize, bool bold = false)
{
    return designFont(QStringLiteral("MS Sans Serif"), pointSize, bold);
}

// The font, condensed just enough for the text to fit the width; as it is when the text fits.
QFont condensedToFit(QFont font, const QString& text, int width);

} // namespace scrivlet
