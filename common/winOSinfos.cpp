#include "winOSinfos.h"

#include "commonLogging.h"

#include <QDir>
#include <QStandardPaths>
#include <QSysInfo>
#include <QVersionNumber>

winOSinfos::winOSinfos(QObject *parent)
    : QObject(parent)
    , _isSupportedWindows(false)
    , _isVistaOrLater(false)
    , _windowsVersion(1)
{
}

int winOSinfos::windowsVersionOf(const QString &kernelType, const QString &kernelVersion)
{
    if (kernelType != QLatin1String("winnt"))
        return WV_None;
    const QVersionNumber version = QVersionNumber::fromString(kernelVersion);
    const int major = version.majorVersion();
    const int minor = version.minorVersion();
    if (major == 4)
        return WV_NT;
    if (major == 5)
        return minor == 0 ? WV_2000 : minor == 1 ? WV_XP : WV_2003;
    if (major == 6) {
        static const int sixes[] = {WV_VISTA, WV_WINDOWS7, WV_WINDOWS8, WV_WINDOWS8_1};
        return minor >= 0 && minor <= 3 ? sixes[minor] : WV_None;
    }
    return major == 10 ? WV_WINDOWS10 : WV_None;
}

int winOSinfos::reportedWindowsVersion()
{
    return windowsVersionOf(QSysInfo::kernelType(), QSysInfo::kernelVersion());
}

bool winOSinfos::checkWindowsVersion(int windowsVersion)
{
    _isSupportedWindows = false;
    _isVistaOrLater = false;
    _windowsVersion = windowsVersion;
    switch (windowsVersion) {
    case WV_VISTA:
    case WV_WINDOWS7:
        _isVistaOrLater = true;
        Q_FALLTHROUGH();
    case WV_98:
    case WV_Me:
    case WV_NT:
    case WV_2000:
    case WV_XP:
        _isSupportedWindows = true;
        return true;
    default:
        return false;
    }
}

bool winOSinfos::isSupportedWindows() const
{
    return _isSupportedWindows;
}

bool winOSinfos::isVistaOrLater() const
{
    return _isVistaOrLater;
}

int winOSinfos::winVersion() const
{
    return _windowsVersion;
}

QString winOSinfos::standardDataLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString winOSinfos::userLocalDataLocation()
{
    return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString winOSinfos::userDesktopLocation()
{
    return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

void winOSinfos::initDataLocation()
{
    _strDataLocation = standardDataLocation();
    qCDebug(lcCommon) << "_strDataLocation=" << _strDataLocation;
}

QString winOSinfos::dataLocation() const
{
    return _strDataLocation;
}
