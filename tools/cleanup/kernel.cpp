#include "kernel.h"

#include "cleanupLogging.h"
#include "deployment.h"
#include "folderScanner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

constexpr int kLaunchIntervalMs = 1250;
constexpr int kQuitIntervalMs = 1250;
constexpr int kStepCount = 5;
constexpr int kDesktopDepth = 2;
constexpr int kMenuDepth = 0; // no limit

constexpr int kRemoveShortcut = 0x1;
constexpr int kRemoveProgram = 0x2;

// Earlier installations are told apart by file names spelled as they wrote
// them, so these are compared case-sensitively.
const QString kManagerProgram = QStringLiteral("TVDMAN.exe");
const QString kDaemonProgram = QStringLiteral("tvdmon.exe");
const QString kUninstaller = QStringLiteral("unins000.exe");

const char kManagerUninstallerBanner[] = "--- list menu entry with the same entry menu root ---";
const char kDaemonUninstallerBanner[] = "--- list menu entry with the same entry menu root than tvdmon about 3.7 ---";

bool isXpLayout(int windowsVersion)
{
    return windowsVersion == winOSinfos::WV_XP || windowsVersion == winOSinfos::WV_2003;
}

bool isSevenLayout(int windowsVersion)
{
    return windowsVersion == winOSinfos::WV_VISTA || windowsVersion == winOSinfos::WV_WINDOWS7;
}

// Only the trailing folder is dropped: a user named "Localadmin" keeps his
// name in the path.
QString withoutTrailing(const QString &path, const QString &tail)
{
    return path.endsWith(tail) ? path.chopped(tail.size()) : path;
}

// Earlier installations wrote backslashes; the native separator is that on
// Windows and keeps the same steps working on the trees of other systems.
QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString nativeChild(const QString &dir, const QString &name)
{
    return dir + QDir::separator() + name;
}

void traceEntries(const QList<scannedEntry> &entries)
{
    for (const scannedEntry &entry : entries)
        qCDebug(lcCleanupKernel) << "(" << entry.strLinkPath << "->" << entry.strTargetPath << ")";
}

} // namespace

kernel::kernel(const QString &strProgramDataBasePath, const QString &strDataLocationBasePath, QObject *parent)
    : QObject(parent)
    , _timerLaunch(new QTimer(this))
    , _timerQuit(new QTimer(this))
    , _launchIntervalMs(kLaunchIntervalMs)
    , _quitIntervalMs(kQuitIntervalMs)
{
    _timerLaunch->setSingleShot(true);
    _timerQuit->setSingleShot(true);
    connect(_timerQuit, &QTimer::timeout, this, &kernel::slot_timerQuitTimeOut);
    connect(_timerLaunch, &QTimer::timeout, this, &kernel::slot_timerLaunchTimeOut);
    qCDebug(lcCleanupKernel) << "strDataLocationBasePath=" << strDataLocationBasePath;
    _strProgramDataBasePath = strProgramDataBasePath;
    this->strDataLocationBasePath = strDataLocationBasePath;
    readWindowsVersion();
    qCDebug(lcCleanupKernel) << "_strProgramDataBasePath=" << _strProgramDataBasePath;
    qCDebug(lcCleanupKernel) << "strDataLocationBasePath" << this->strDataLocationBasePath;
}

kernel::roots kernel::rootsFor(int windowsVersion, const QString &dataLocation, const QString &desktop)
{
    roots found;
    found.strDesktop = desktop;
    if (isXpLayout(windowsVersion)) {
        found.strAllUsersMenu
            = QString::fromUtf8("C:\\Documents and Settings\\All Users\\Menu D\xC3\xA9marrer\\Programmes");
        found.strUserMenu = withoutTrailing(dataLocation, QStringLiteral("\\Local Settings\\Application Data"))
            + QString::fromUtf8("\\Menu D\xC3\xA9marrer\\Programmes");
    } else if (isSevenLayout(windowsVersion)) {
        found.strAllUsersMenu = QStringLiteral("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
        found.strUserMenu = withoutTrailing(dataLocation, QStringLiteral("\\Local"))
            + QStringLiteral("\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs");
    }
    return found;
}

QString kernel::markerLine()
{
    return QStringLiteral("TVD_SETTIMERURL('http://") + QLatin1String(tvd::deployment::kMakerToolsHost)
        + QStringLiteral("/tools/tvm36/retdown.html');");
}

void kernel::setWindowsVersion(int windowsVersion)
{
    _injectedWindowsVersion = windowsVersion;
}

void kernel::setRoots(const roots &searched)
{
    _injectedRoots = searched;
}

void kernel::setTimerIntervals(int launchMs, int quitMs)
{
    _launchIntervalMs = launchMs;
    _quitIntervalMs = quitMs;
}

void kernel::startLaunchTimer()
{
    _timerLaunch->start(_launchIntervalMs);
}

void kernel::slot_timerLaunchTimeOut()
{
    runCleanupSteps();
}

void kernel::slot_timerQuitTimeOut()
{
    emit ExitAppRequest(0);
}

void kernel::readWindowsVersion()
{
    _WinOSinfosPC.checkWindowsVersion(_injectedWindowsVersion.value_or(winOSinfos::reportedWindowsVersion()));
}

int kernel::runCleanupSteps()
{
    _filesToDelete.clear();
    _menuDirsToCheck.clear();
    readWindowsVersion();
    const int version = _WinOSinfosPC.winVersion();
    qCDebug(lcCleanupKernel) << "_WinOSinfosPC.winVersion()=" << version;
    _searchRoots
        = _injectedRoots.value_or(rootsFor(version, strDataLocationBasePath, winOSinfos::userDesktopLocation()));

    using step = int (kernel::*)();
    static const step xpSteps[] = {
        &kernel::XP_Check_and_Clean_TVDMAN_Shortcut_from_Desktop,
        &kernel::XP_Check_and_Clean_TVDMAN_Shortcut_from_StartMenu,
        &kernel::XP_Check_and_Clean_TVDMON_Shortcut_from_Desktop,
        &kernel::XP_Check_and_Clean_TVDMON_Shortcut_from_StartMenu,
    };
    static const step sevenSteps[] = {
        &kernel::Check_and_Clean_TVDMAN_Shortcut_from_Desktop,
        &kernel::Check_and_Clean_TVDMAN_Shortcut_from_StartMenu,
        &kernel::Check_and_Clean_TVDMON_Shortcut_from_Desktop,
        &kernel::Check_and_Clean_TVDMON_Shortcut_from_StartMenu,
    };
    const step *steps = isXpLayout(version) ? xpSteps : isSevenLayout(version) ? sevenSteps : nullptr;
    for (int n = 1; steps && n < kStepCount; ++n) {
        (this->*steps[n - 1])();
        emit timeSliceStepReach(n, kStepCount);
        QCoreApplication::processEvents();
    }

    removeScheduledFiles();
    reportMenuFolders();
    emit timeSliceStepReach(kStepCount, kStepCount);
    _timerQuit->start(_quitIntervalMs);
    return 0;
}

int kernel::Check_and_Clean_TVDMAN_Shortcut_from_Desktop()
{
    qCDebug(lcCleanupKernel) << "--- TVDMAN from Desktop ---";
    applyManagerRule(_searchRoots.strDesktop, kDesktopDepth, e_DesktopForm);
    qCDebug(lcCleanupKernel) << __func__ << "end";
    return 0;
}

int kernel::Check_and_Clean_TVDMAN_Shortcut_from_StartMenu()
{
    qCDebug(lcCleanupKernel) << "--- TVDMAN from Seven Start Menu ---";
    applyManagerRule(_searchRoots.strAllUsersMenu, kMenuDepth, e_StartMenuForm);
    qCDebug(lcCleanupKernel) << __func__ << "end";
    return 0;
}

int kernel::Check_and_Clean_TVDMON_Shortcut_from_Desktop()
{
    qCDebug(lcCleanupKernel) << "--- TVDMON from Desktop ---";
    applyDaemonRule(_searchRoots.strDesktop, kDesktopDepth, e_DesktopForm);
    qCDebug(lcCleanupKernel) << __func__ << "end";
    return 0;
}

int kernel::Check_and_Clean_TVDMON_Shortcut_from_StartMenu()
{
    qCDebug(lcCleanupKernel) << "--- TVDMON from Seven Start Menu ---";
    applyDaemonRule(_searchRoots.strUserMenu, kMenuDepth, e_StartMenuForm);
    qCDebug(lcCleanupKernel) << __func__ << "end";
    return 0;
}

int kernel::XP_Check_and_Clean_TVDMAN_Shortcut_from_Desktop()
{
    qCDebug(lcCleanupKernel) << "--- TVDMAN from desktop ---";
    applyManagerRule(_searchRoots.strDesktop, kDesktopDepth, e_DesktopForm);
    qCDebug(lcCleanupKernel) << __func__ << "end";
    return 0;
}

int kernel::XP_Check_and_Clean_TVDMAN_Shortcut_from_StartMenu()
{
    qCDebug(lcCleanupKernel) << "--- TVDMAN from XP Start Menu ---";
    applyManagerRule(_searchRoots.strAllUsersMenu, kMenuDepth, e_StartMenuForm);
    qCDebug(lcCleanupKernel) << __func__ << "end";
    return 0;
}

int kernel::XP_Check_and_Clean_TVDMON_Shortcut_from_StartMenu()
{
    qCDebug(lcCleanupKernel) << "--- TVDMON from XP Start Menu ---";
    applyDaemonRule(_searchRoots.strUserMenu, kMenuDepth, e_StartMenuForm);
    qCDebug(lcCleanupKernel) << __func__ << "end";
    return 0;
}

int kernel::XP_Check_and_Clean_TVDMON_Shortcut_from_Desktop()
{
    qCDebug(lcCleanupKernel) << "--- TVDMON from desktop ---";
    applyDaemonRule(_searchRoots.strDesktop, kDesktopDepth, e_DesktopForm);
    qCDebug(lcCleanupKernel) << __func__ << "end";
    return 0;
}

const QList<removalEntry> &kernel::filesToDelete() const
{
    return _filesToDelete;
}

const QList<removalEntry> &kernel::menuDirsToCheck() const
{
    return _menuDirsToCheck;
}

void kernel::applyManagerRule(const QString &root, int depth, e_RuleForm form)
{
    if (form == e_StartMenuForm)
        qCDebug(lcCleanupKernel) << "strApplicationsLocation=" << _searchRoots.strUserMenu;
    const QList<scannedEntry> entries = folderScanner::findFilesByName(kManagerProgram, root, depth);
    traceEntries(entries);
    for (scannedEntry entry : entries) {
        if (entry.targetName() != kManagerProgram)
            continue;
        qCDebug(lcCleanupKernel) << (form == e_DesktopForm ? "raccourci bureau peut être a supprimer: ("
                                                           : "raccourci from StartMenu peut être a supprimer: (")
                                 << entry.strLinkPath << "->" << entry.strTargetPath << ")";
        entry.actionFlags = managerFlags(entry);
        if (form == e_DesktopForm) {
            if (entry.actionFlags & kRemoveProgram) {
                qCDebug(lcCleanupKernel) << "will remove TVDMAN.exe file";
                scheduleManagerFiles(entry);
            }
            if (entry.actionFlags & kRemoveShortcut) {
                qCDebug(lcCleanupKernel) << "will remove the TVDMAN sym link";
                scheduleShortcutRemoval(entry);
            }
        } else {
            if (entry.actionFlags & kRemoveShortcut) {
                scheduleShortcutRemoval(entry);
                applyUninstallerRule(entry, kManagerUninstallerBanner);
            }
            if (entry.actionFlags & kRemoveProgram) {
                qCDebug(lcCleanupKernel) << "will remove TVDMAN.exe";
                scheduleManagerFiles(entry);
            }
        }
    }
}

// Which of the shortcut and of the old manager it leads to are obsolete.
int kernel::managerFlags(const scannedEntry &entry) const
{
    const QString program = native(entry.strTargetPath);
    const QString managerDir = QString(program).remove(kManagerProgram);
    qCDebug(lcCleanupKernel) << "strPath=" << managerDir;
    if (!QFileInfo(managerDir).isDir()) {
        qCDebug(lcCleanupKernel) << "le repertoire TVM d'TVDMAN.exe n'existe pas dir=" << managerDir;
        return kRemoveShortcut;
    }

    int flags = 0;
    qCDebug(lcCleanupKernel) << "strFile=" << program;
    const bool programExists = QFileInfo(program).isFile();
    if (!programExists)
        flags |= kRemoveShortcut;
    const QString dataDir = managerDir + QStringLiteral("data");
    qCDebug(lcCleanupKernel) << "strPathData=" << dataDir;
    if (QFileInfo(dataDir).isDir()) {
        const QString marker = nativeChild(dataDir, QStringLiteral("ondetectFR.htm"));
        qCDebug(lcCleanupKernel) << "strFileOnDetectFR=" << marker;
        if (QFileInfo::exists(marker)) {
            if (folderScanner::fileContainsLine(marker, markerLine()))
                flags |= kRemoveShortcut | kRemoveProgram;
        } else if (programExists) {
            flags |= kRemoveProgram;
        }
    } else {
        qCDebug(lcCleanupKernel) << "dirData " << dataDir << " does not exist";
        flags |= kRemoveShortcut;
        if (programExists)
            flags |= kRemoveProgram;
    }
    return flags;
}

void kernel::scheduleManagerFiles(const scannedEntry &entry)
{
    const QString dir = native(entry.targetDir());
    scheduleFileRemoval(dir, entry.targetName());
    scheduleFileRemoval(dir, QStringLiteral("libeay32.dll"));
    scheduleFileRemoval(dir, QStringLiteral("SSLeay32.dll"));
}

void kernel::applyDaemonRule(const QString &root, int depth, e_RuleForm form)
{
    if (form == e_DesktopForm)
        qCDebug(lcCleanupKernel) << "strRootForDesktop=" << root;
    else
        qCDebug(lcCleanupKernel) << "strRootForStartMenu=" << root;
    const QList<scannedEntry> entries = folderScanner::findFilesByName(kDaemonProgram, root, depth);
    traceEntries(entries);
    for (scannedEntry entry : entries) {
        if (entry.targetName() != kDaemonProgram)
            continue;
        qCDebug(lcCleanupKernel) << "raccourci bureau peut être a supprimer: (" << entry.strLinkPath << "->"
                                 << entry.strTargetPath << ")";
        const QString program = native(entry.strTargetPath);
        if (!program.contains(QDir::separator() + QStringLiteral("TVM37"))
            && !program.contains(QDir::separator() + QStringLiteral("TVM38")))
            continue;
        entry.actionFlags |= kRemoveShortcut;
        if (form == e_DesktopForm) {
            qCDebug(lcCleanupKernel) << "yes delete this sym: " << native(entry.linkDir()) << entry.linkName();
            scheduleShortcutRemoval(entry);
        } else {
            scheduleShortcutRemoval(entry);
            applyUninstallerRule(entry, kDaemonUninstallerBanner);
        }
    }
}

// An uninstaller beside an obsolete start-menu shortcut goes with it, unless
// its install folder belongs to a current installation.
void kernel::applyUninstallerRule(const scannedEntry &shortcut, const char *banner)
{
    qCDebug(lcCleanupKernel) << "--- cherche les autres entrée du menu dans le meme répertoire d'entre de menu ---";
    const QString menuDir = shortcut.linkDir();
    qCDebug(lcCleanupKernel) << "menuDir=" << menuDir;
    if (!menuDir.toLower().contains(QStringLiteral("tolvand")))
        return;

    qCDebug(lcCleanupKernel) << banner;
    const QList<scannedEntry> candidates = folderScanner::findFilesByNameNear(menuDir, kUninstaller);
    traceEntries(candidates);
    scheduleMenuFolderCheck(menuDir);
    for (scannedEntry candidate : candidates) {
        if (candidate.targetName() != kUninstaller)
            continue;
        const QString installDir = native(candidate.targetDir());
        const QString versionFile = nativeChild(installDir, QStringLiteral("tvdmng.ver"));
        qCDebug(lcCleanupKernel) << "strTvdmngVer=" << versionFile;
        if (QFileInfo::exists(versionFile)) {
            qCDebug(lcCleanupKernel) << "tvdmng.ver exist! ";
        } else {
            qCDebug(lcCleanupKernel) << "tvdmng.ver does not exist! ";
            candidate.actionFlags |= kRemoveShortcut | kRemoveProgram;
            scheduleShortcutRemoval(candidate);
            scheduleFileRemoval(installDir, candidate.targetName());
            scheduleFileRemoval(installDir, QStringLiteral("unins000.dat"));
        }
        scheduleMenuFolderCheck(menuDir);
    }
}

// The installation being finished is never an earlier one, whatever a
// shortcut points at.
bool kernel::isInProgramFolder(const QString &strDir) const
{
    const QString programFolder = QFileInfo(_strProgramDataBasePath).canonicalFilePath();
    const QString dir = QFileInfo(strDir).canonicalFilePath();
    return !programFolder.isEmpty() && !dir.isEmpty()
        && (dir == programFolder || dir.startsWith(programFolder + QLatin1Char('/')));
}

void kernel::scheduleShortcutRemoval(const scannedEntry &shortcut)
{
    if (isInProgramFolder(shortcut.targetDir())) {
        qCDebug(lcCleanupKernel) << "kept, leads to this installation:" << shortcut.strLinkPath;
        return;
    }
    scheduleFileRemoval(native(shortcut.linkDir()), shortcut.linkName());
}

void kernel::scheduleFileRemoval(const QString &strDir, const QString &strFileName)
{
    if (isInProgramFolder(strDir)) {
        qCDebug(lcCleanupKernel) << "kept, part of this installation:" << strDir << strFileName;
        return;
    }
    _filesToDelete.append({strDir, strFileName, 0});
}

void kernel::scheduleMenuFolderCheck(const QString &strDir)
{
    _menuDirsToCheck.append({strDir, QString(), 1});
}

void kernel::removeScheduledFiles()
{
    qCDebug(lcCleanupKernel) << "files deleted:";
    for (const removalEntry &entry : std::as_const(_filesToDelete)) {
        qCDebug(lcCleanupKernel) << entry.strDir << " \\ " << entry.strFileName;
        // A plain file found in place of a shortcut leaves no link to remove.
        if (entry.isMenuFolder == 0 && !entry.strFileName.isEmpty() && QFileInfo(entry.strDir).isDir())
            QDir(entry.strDir).remove(entry.strFileName);
    }
}

void kernel::reportMenuFolders() const
{
    qCDebug(lcCleanupKernel) << "menu dir entry to check for delete:";
    for (const removalEntry &entry : _menuDirsToCheck) {
        qCDebug(lcCleanupKernel) << entry.strDir << " \\ " << entry.strFileName;
        qCDebug(lcCleanupKernel) << "staying in the same dir after delete:";
        traceEntries(folderScanner::listFiles(entry.strDir));
    }
}
