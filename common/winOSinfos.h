#pragma once

#include <QObject>
#include <QString>

// Windows version facts and the per-user data location.
class winOSinfos : public QObject
{
    Q_OBJECT

public:
    // Windows version codes, as Qt's QSysInfo numbered them.
    enum e_WinVersion {
        WV_None = 0x0000, // not Windows
        WV_32s = 0x0001,
        WV_95 = 0x0002,
        WV_98 = 0x0003,
        WV_Me = 0x0004,
        WV_NT = 0x0010,
        WV_2000 = 0x0020,
        WV_XP = 0x0030,
        WV_2003 = 0x0040,
        WV_VISTA = 0x0080,
        WV_WINDOWS7 = 0x0090,
        WV_WINDOWS8 = 0x00a0,
        WV_WINDOWS8_1 = 0x00b0,
        WV_WINDOWS10 = 0x00c0,
    };
    Q_ENUM(e_WinVersion)

    explicit winOSinfos(QObject *parent = nullptr);

    // Version code of a kernel as QSysInfo::kernelType() and kernelVersion()
    // report it; WV_None for any other system than Windows NT.
    static int windowsVersionOf(const QString &kernelType, const QString &kernelVersion);
    static int reportedWindowsVersion();

    // Classifies a version code (by default the running system's) and keeps it.
    bool checkWindowsVersion(int windowsVersion = reportedWindowsVersion());
    bool isSupportedWindows() const;
    bool isVistaOrLater() const;
    int winVersion() const;

    static QString standardDataLocation();
    // The user's own folders, with native separators: local application data
    // without any organisation or application sub-folder, and the desktop.
    static QString userLocalDataLocation();
    static QString userDesktopLocation();
    void initDataLocation();
    QString dataLocation() const;

private:
    bool _isSupportedWindows;
    bool _isVistaOrLater;
    qint32 _windowsVersion;
    QString _strDataLocation;
};
