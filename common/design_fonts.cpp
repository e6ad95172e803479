#include "common/design_fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <algorithm>

namespace scrivlet {
namespace {

// A narrow face with the Arial Narrow metrics (Debian's fonts-liberation), whose widths fit
// the captions measured in MS Sans Serif at the same point sizes.
const QLatin1String kNarrowFace("Liberation Sans Narrow");

bool installed(const QString& family)
{
    return QFontDatabase::hasFamily(family);
}

// The width the text takes when a label or a button lays it out, rounded up to whole pixels.
int textWidth(const QFont& font, const QString& text)
{
    return QFontMetrics(font).size(0, text).width();
}

} // namespace

QFont designFont(const QString& family, qreal pointSize, bool bold)
{
    QFont font;
    if (installed(family)) {
        font = QFont(family);
    } else if (family == QLatin1String("Lucida Console")) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    } else if (installed(kNarrowFace)) {
        font = QFont(kNarrowFace);
    } else {
        // Without the narrow face, the interface font drawn condensed.
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setStretch(QFont::Condensed);
    }
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont condensedToFit(QFont font, const QString& text, int width)
{
    if (textWidth(font, text) <= width)
        return font;
    // A stretch is a width relative to the normal width of the face's family, whatever the
    // face's own: a narrow face at stretch 100 is drawn widened.
    font.setStretch(QFont::Unstretched);
    const int normal = textWidth(font, text);
    for (int stretch = std::max(1, 100 * width / std::max(1, normal)); stretch > 1; --stretch) {
        font.setStretch(stretch);
        if (textWidth(font, text) <= width)
            break;
    }
    return font;
}

} // namespace scrivlet
