#include "desktop/usersettings.h"

#include "host.h"

#include <QDir>

namespace kestrel {

QSettings DesktopSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrel"),
                     QStringLiteral("desktop"));
}

bool WriteSettings(QSettings& settings, Host& host)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    host.DisplayWarning(QStringLiteral("Could not write the file \"%1\".")
                            .arg(QDir::toNativeSeparators(settings.fileName())));
    return false;
}

} // namespace kestrel
