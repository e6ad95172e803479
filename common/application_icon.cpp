#include "common/application_icon.h"

#include <QString>

// The icons live in a static library; their resource must be registered before first use,
// and the registering macro cannot stand inside a namespace.
static void registerIcons()
{
    Q_INIT_RESOURCE(icons);
}

namespace scrivlet {
namespace {

void ensureIcons()
{
    static const bool registered = [] {
        registerIcons();
        return true;
    }();
    (void)registered;
}

} // namespace

QIcon applicationIcon()
{
    ensureIcons();
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/scrivlet-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap calculatorPicture()
{
    ensureIcons();
    return QPixmap(QStringLiteral(":/icons/calculator.png"));
}

} // namespace scrivlet
