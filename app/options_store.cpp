#include "app/options_store.h"

#include "common/environment.h"

#include <QSettings>
#include <algorithm>

namespace scrivlet {
namespace {

const RememberedOptionInfo& infoOf(RememberedOption option)
{
    for (const RememberedOptionInfo& info : kRememberedOptions) {
        if (info.option == option)
            return info;
    }
    return kRememberedOptions[0];
}

QString defaultFile()
{
    const auto folder = programConfigDirectory(processEnvironment());
    return folder ? QString::fromStdString((*folder / "options.ini").string()) : QString();
}

} // namespace

OptionsStore::OptionsStore(const QString& file)
{
    const QString path = file.isEmpty() ? defaultFile() : file;
    if (!path.isEmpty())
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

OptionsStore::~OptionsStore() = default;

bool OptionsStore::value(RememberedOption option) const
{
    const RememberedOptionInfo& info = infoOf(option);
    if (!m_settings)
        return info.byDefault;
    return m_settings->value(QLatin1String("Options/") + QLatin1String(info.key), info.byDefault)
        .toBool();
}

void OptionsStore::setValue(RememberedOption option, bool on)
{
    if (!m_settings)
        return;
    m_settings->setValue(QLatin1String("Options/") + QLatin1String(infoOf(option).key), on);
    m_settings->sync();
}

int OptionsStore::panelWidening() const
{
    return m_settings
               ? std::max(0, m_settings->value(QStringLiteral("Window/PanelWidening"), 0).toInt())
               : 0;
}

void OptionsStore::setPanelWidening(int pixels)
{
    if (!m_settings)
        return;
    m_settings->setValue(QStringLiteral("Window/PanelWidening"), pixels);
    m_settings->sync();
}

ConnectionSettings OptionsStore::connection() const
{
    ConnectionSettings c;
    if (!m_settings)
        return c;
    const QString port = m_settings->value(QStringLiteral("Connection/Port"), c.port).toString();
    if (!port.isEmpty())
        c.port = port;
    const int speed = m_settings->value(QStringLiteral("Connection/Speed"), c.speed).toInt();
    if (std::find(kConnectionSpeeds.begin(), kConnectionSpeeds.end(), speed) !=
        kConnectionSpeeds.end())
        c.speed = speed;
    c.xmodem = m_settings->value(QStringLiteral("Connection/Protocol")).toString() ==
               QLatin1String("XModem");
    const int check =
        m_settings->value(QStringLiteral("Connection/BlockCheck"), c.checkType).toInt();
    if (check >= 1 && check <= 3)
        c.checkType = check;
    return c;
}

void OptionsStore::setConnection(const ConnectionSettings& settings)
{
    if (!m_settings)
        return;
    m_settings->setValue(QStringLiteral("Connection/Port"), settings.port);
    m_settings->setValue(QStringLiteral("Connection/Speed"), settings.speed);
    m_settings->setValue(QStringLiteral("Connection/Protocol"),
                         settings.xmodem ? QStringLiteral("XModem") : QStringLiteral("Kermit"));
    m_settings->setValue(QStringLiteral("Connection/BlockCheck"), settings.checkType);
    m_settings->sync();
}

RplDialect OptionsStore::compileDialect() const
{
    const QString value =
        m_settings ? m_settings->value(QStringLiteral("Build/Dialect")).toString() : QString();
    return value == QLatin1String("User")     ? RplDialect::User
           : value == QLatin1String("System") ? RplDialect::System
                                              : RplDialect::Unknown;
}

void OptionsStore::setCompileDialect(RplDialect dialect)
{
    if (!m_settings)
        return;
    m_settings->setValue(QStringLiteral("Build/Dialect"),
                         dialect == RplDialect::User     ? QStringLiteral("User")
                         : dialect == RplDialect::System ? QStringLiteral("System")
                                                         : QStringLiteral("Automatic"));
    m_settings->sync();
}

QString OptionsStore::includeFolder() const
{
    return m_settings ? m_settings->value(QStringLiteral("Build/IncludeFolder")).toString()
                      : QString();
}

void OptionsStore::setIncludeFolder(const QString& folder)
{
    if (!m_settings)
        return;
    m_settings->setValue(QStringLiteral("Build/IncludeFolder"), folder);
    m_settings->sync();
}

QString OptionsStore::fileName() const
{
    return m_settings ? m_settings->fileName() : QString();
}

} // namespace scrivlet
