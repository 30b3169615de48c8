#pragma once

#include "removalEntry.h"
#include "scannedEntry.h"
#include "winOSinfos.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class QTimer;

// Finds the shortcuts and program files that earlier installations left on
// the desktop and in the start menus, decides what is obsolete, then removes it.
class kernel : public QObject
{
    Q_OBJECT

public:
    // The folders searched by the steps.
    struct roots {
        QString strDesktop;
        QString strAllUsersMenu;
        QString strUserMenu;
    };

    kernel(const QString &strProgramDataBasePath, const QString &strDataLocationBasePath, QObject *parent = nullptr);

    // The folders of a Windows version as its installations lay them out.
    static roots rootsFor(int windowsVersion, const QString &dataLocation, const QString &desktop);
    // The line by which a 3.6 installation is recognised.
    static QString markerLine();

    // Instead of what the platform reports, for tests.
    void setWindowsVersion(int windowsVersion);
    void setRoots(const roots &searched);
    void setTimerIntervals(int launchMs, int quitMs);

    void startLaunchTimer();
    int runCleanupSteps();

    int Check_and_Clean_TVDMAN_Shortcut_from_Desktop();
    int Check_and_Clean_TVDMAN_Shortcut_from_StartMenu();
    int Check_and_Clean_TVDMON_Shortcut_from_Desktop();
    int Check_and_Clean_TVDMON_Shortcut_from_StartMenu();
    int XP_Check_and_Clean_TVDMAN_Shortcut_from_Desktop();
    int XP_Check_and_Clean_TVDMAN_Shortcut_from_StartMenu();
    int XP_Check_and_Clean_TVDMON_Shortcut_from_StartMenu();
    int XP_Check_and_Clean_TVDMON_Shortcut_from_Desktop();

    const QList<removalEntry> &filesToDelete() const;
    const QList<removalEntry> &menuDirsToCheck() const;

signals:
    void ExitAppRequest(int exitCode);
    void timeSliceStepReach(int step, int stepMax);

public slots:
    void slot_timerQuitTimeOut();
    void slot_timerLaunchTimeOut();

private:
    enum e_RuleForm { e_DesktopForm, e_StartMenuForm };

    void readWindowsVersion();
    void applyManagerRule(const QString &root, int depth, e_RuleForm form);
    int managerFlags(const scannedEntry &entry) const;
    void scheduleManagerFiles(const scannedEntry &entry);
    void applyDaemonRule(const QString &root, int depth, e_RuleForm form);
    void applyUninstallerRule(const scannedEntry &shortcut, const char *banner);
    bool isInProgramFolder(const QString &strDir) const;
    void scheduleShortcutRemoval(const scannedEntry &shortcut);
    void scheduleFileRemoval(const QString &strDir, const QString &strFileName);
    void scheduleMenuFolderCheck(const QString &strDir);
    void removeScheduledFiles();
    void reportMenuFolders() const;

    winOSinfos _WinOSinfosPC;
    QString _strProgramDataBasePath;
    QString strDataLocationBasePath;
    QList<removalEntry> _filesToDelete;
    QList<removalEntry> _menuDirsToCheck;
    QTimer *_timerLaunch;
    QTimer *_timerQuit;
    int _launchIntervalMs;
    int _quitIntervalMs;
    std::optional<int> _injectedWindowsVersion;
    std::optional<roots> _injectedRoots;
    roots _searchRoots;
};
