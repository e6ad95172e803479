#include "common/design_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace scrivlet {

QFont designFont(const QString& family, qreal pointSize, bool bold)
{
    QFont font;
    if (QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
        font = QFont(family);
    } else if (family == QLatin1String("Lucida Console")) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    }
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace scrivlet
