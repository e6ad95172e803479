#pragma once

#include <QFont>
#include <QString>

namespace scrivlet {

// The font the window's design names, where it is installed; otherwise the system's
// fixed-width font (for a fixed-width design font) or its default UI font, at the same size.
QFont designFont(const QString& family, qreal pointSize, bool bold = false);

inline QFont lucidaConsole(qreal pointSize)
{
    return designFont(QStringLiteral("Lucida Console"), pointSize);
}
inline QFont msSansSerif(qreal pointSize, bool bold = false)
{
    return designFont(QStringLiteral("MS Sans Serif"), pointSize, bold);
}

} // namespace scrivlet
