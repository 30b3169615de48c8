#include "fileTree.h"
#include "kernel.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_cleanupKernel : public QObject
{
    Q_OBJECT

private slots:
    void removesObsoleteFiles_data();
    void removesObsoleteFiles();
    void oneManagerReachedTwiceIsScheduledTwice();
    void reportsMenuFolders();
    void reportsProgressAndExits_data();
    void reportsProgressAndExits();
    void menuRootsOfEachLayout_data();
    void menuRootsOfEachLayout();
};

namespace {

constexpr int kXP = 0x30;
constexpr int kSeven = 0x90;

const QString kMarker = kernel::markerLine();

// An old manager install and a desktop shortcut to it.
const QStringList kManager = {"f:Programs/TVM/TVDMAN.exe", "f:Programs/TVM/libeay32.dll",
                              "f:Programs/TVM/SSLeay32.dll", "l:Desktop/TOLVAND.lnk>Programs/TVM/TVDMAN.exe"};
const QStringList kManagerFiles = {"Desktop/TOLVAND.lnk", "Programs/TVM/SSLeay32.dll", "Programs/TVM/TVDMAN.exe",
                                   "Programs/TVM/libeay32.dll"};
// The same old manager in a start-menu folder with its uninstaller.
const QStringList kMenu = {"f:Programs/TVM/TVDMAN.exe",
                           "f:Programs/TVM/libeay32.dll",
                           "f:Programs/TVM/SSLeay32.dll",
                           "f:Programs/TVM/unins000.exe",
                           "f:Programs/TVM/unins000.dat",
                           "l:AllUsersMenu/TOLVAND Manager/TOLVAND.lnk>Programs/TVM/TVDMAN.exe",
                           "l:AllUsersMenu/TOLVAND Manager/Uninstall.lnk>Programs/TVM/unins000.exe"};
const QStringList kUninstallerFiles = {"AllUsersMenu/TOLVAND Manager/Uninstall.lnk", "Programs/TVM/unins000.dat",
                                       "Programs/TVM/unins000.exe"};

// Where the tool runs from: the installation being finished.
QString programFolderIn(const QString &base)
{
    return base + "/Install/";
}

kernel::roots rootsIn(const QString &base)
{
    return {base + "/Desktop", base + "/AllUsersMenu", base + "/UserMenu"};
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

void tst_cleanupKernel::removesObsoleteFiles_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QStringList>("remaining");

    QTest::newRow("no data folder")           << kSeven << kManager << QStringList{};
    QTest::newRow("no data folder, XP")       << kXP    << kManager << QStringList{};
    QTest::newRow("data folder, no marker")   << kSeven << kManager + QStringList{"d:Programs/TVM/data"}
                                              << QStringList{"Desktop/TOLVAND.lnk"};
    QTest::newRow("marker with the line")     << kSeven
        << kManager + QStringList{"f:Programs/TVM/data/ondetectFR.htm=<script>\n\n \t" + kMarker + "  \n</script>\n"}
        << QStringList{"Programs/TVM/data/ondetectFR.htm"};
    QTest::newRow("marker without the line")  << kSeven
        << kManager + QStringList{"f:Programs/TVM/data/ondetectFR.htm=<script>x" + kMarker + "</script>\n"}
        << sorted(kManagerFiles + QStringList{"Programs/TVM/data/ondetectFR.htm"});
    QTest::newRow("unknown version")          << 0xa0   << kManager << kManagerFiles;
    QTest::newRow("no Windows")               << 0      << kManager << kManagerFiles;
    QTest::newRow("target in other case")     << kSeven
        << QStringList{"f:Programs/TVM/tvdman.exe", "l:Desktop/TOLVAND.lnk>Programs/TVM/tvdman.exe"}
        << QStringList{"Desktop/TOLVAND.lnk", "Programs/TVM/tvdman.exe"};
    QTest::newRow("shortcut four folders down") << kSeven
        << QStringList{"f:Programs/TVM/TVDMAN.exe", "l:Desktop/a/b/c/d/TOLVAND.lnk>Programs/TVM/TVDMAN.exe"}
        << QStringList{"Desktop/a/b/c/d/TOLVAND.lnk", "Programs/TVM/TVDMAN.exe"};
    QTest::newRow("daemon of TVM38 and TVM39") << kSeven
        << QStringList{"f:Programs/TVM38/tvdmon.exe", "f:Programs/TVM39/tvdmon.exe",
                       "l:Desktop/old.lnk>Programs/TVM38/tvdmon.exe", "l:Desktop/new.lnk>Programs/TVM39/tvdmon.exe"}
        << QStringList{"Desktop/new.lnk", "Programs/TVM38/tvdmon.exe", "Programs/TVM39/tvdmon.exe"};
    QTest::newRow("menu with uninstaller")    << kSeven << kMenu << QStringList{};
    QTest::newRow("menu with uninstaller, XP") << kXP   << kMenu << QStringList{};
    QTest::newRow("menu, current version file") << kSeven << kMenu + QStringList{"f:Programs/TVM/tvdmng.ver"}
        << sorted(kUninstallerFiles + QStringList{"Programs/TVM/tvdmng.ver"});
    QTest::newRow("menu folder of another maker") << kSeven
        << QStringList{"f:Programs/TVM/TVDMAN.exe", "f:Programs/TVM/unins000.exe",
                       "l:AllUsersMenu/Other/TOLVAND.lnk>Programs/TVM/TVDMAN.exe",
                       "l:AllUsersMenu/Other/Uninstall.lnk>Programs/TVM/unins000.exe"}
        << QStringList{"AllUsersMenu/Other/Uninstall.lnk", "Programs/TVM/unins000.exe"};
    QTest::newRow("daemon menu of TVM37")     << kSeven
        << QStringList{"f:Programs/TVM37/tvdmon.exe", "f:Programs/TVM37/unins000.exe", "f:Programs/TVM37/unins000.dat",
                       "l:UserMenu/tolvand/sub/Daemon.lnk>Programs/TVM37/tvdmon.exe",
                       "l:UserMenu/tolvand/sub/Uninstall.lnk>Programs/TVM37/unins000.exe"}
        << QStringList{"Programs/TVM37/tvdmon.exe"};
    QTest::newRow("shortcut to this installation") << kSeven
        << QStringList{"f:Install/TVDMAN.exe", "f:Install/libeay32.dll", "f:Install/SSLeay32.dll",
                       "l:Desktop/TOLVAND.lnk>Install/TVDMAN.exe", "l:AllUsersMenu/TOLVAND/TOLVAND.lnk>Install/TVDMAN.exe"}
        << QStringList{"AllUsersMenu/TOLVAND/TOLVAND.lnk", "Desktop/TOLVAND.lnk", "Install/SSLeay32.dll",
                       "Install/TVDMAN.exe", "Install/libeay32.dll"};
    QTest::newRow("uninstaller of this installation") << kSeven
        << kMenu + QStringList{"f:Install/unins000.exe", "f:Install/unins000.dat",
                               "l:AllUsersMenu/TOLVAND Manager/Uninstall 3.9.lnk>Install/unins000.exe"}
        << QStringList{"AllUsersMenu/TOLVAND Manager/Uninstall 3.9.lnk", "Install/unins000.dat", "Install/unins000.exe"};
    QTest::newRow("each program in its own menu") << kSeven
        << QStringList{"f:Programs/TVM/TVDMAN.exe", "f:Programs/TVM38/tvdmon.exe", "d:Programs/TVM/data",
                       "l:UserMenu/T/TOLVAND.lnk>Programs/TVM/TVDMAN.exe",
                       "l:AllUsersMenu/T/Daemon.lnk>Programs/TVM38/tvdmon.exe"}
        << QStringList{"AllUsersMenu/T/Daemon.lnk", "Programs/TVM/TVDMAN.exe", "Programs/TVM38/tvdmon.exe",
                       "UserMenu/T/TOLVAND.lnk"};
}

void tst_cleanupKernel::removesObsoleteFiles()
{
    QFETCH(int, version);
    QFETCH(QStringList, tree);
    QFETCH(QStringList, remaining);

    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath();
    QVERIFY(buildTree(base, tree));
    kernel cleanup(programFolderIn(base), base + "/Local");
    cleanup.setWindowsVersion(version);
    cleanup.setRoots(rootsIn(base));

    QCOMPARE(cleanup.runCleanupSteps(), 0);
    QCOMPARE(filesUnder(base), remaining);
}

// The desktop step decides to remove the program; the start-menu step must
// still see it, so that its own shortcut goes too.
void tst_cleanupKernel::oneManagerReachedTwiceIsScheduledTwice()
{
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath();
    QVERIFY(buildTree(base, kManager + QStringList{"l:AllUsersMenu/T/TOLVAND.lnk>Programs/TVM/TVDMAN.exe"}));
    kernel cleanup(programFolderIn(base), base + "/Local");
    cleanup.setWindowsVersion(kSeven);
    cleanup.setRoots(rootsIn(base));

    cleanup.runCleanupSteps();

    QCOMPARE(filesUnder(base), QStringList{});
    int programRemovals = 0;
    for (const removalEntry &entry : cleanup.filesToDelete())
        programRemovals += entry.strDir == base + "/Programs/TVM" && entry.strFileName == "TVDMAN.exe";
    QCOMPARE(programRemovals, 2);
}

void tst_cleanupKernel::reportsMenuFolders()
{
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).canonicalPath();
    QVERIFY(buildTree(base, kMenu));
    kernel cleanup(programFolderIn(base), base + "/Local");
    cleanup.setWindowsVersion(kSeven);
    cleanup.setRoots(rootsIn(base));

    cleanup.runCleanupSteps();

    // Once on reaching the folder, once more for its uninstaller.
    const QString menuDir = base + "/AllUsersMenu/TOLVAND Manager";
    QCOMPARE(cleanup.menuDirsToCheck().size(), 2);
    for (const removalEntry &entry : cleanup.menuDirsToCheck()) {
        QCOMPARE(entry.strDir, menuDir);
        QCOMPARE(entry.isMenuFolder, 1);
    }
    QVERIFY(QFileInfo(menuDir).isDir());
}

void tst_cleanupKernel::reportsProgressAndExits_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QList<int>>("steps");

    QTest::newRow("Windows 7")   << kSeven << QList<int>{1, 2, 3, 4, 5};
    QTest::newRow("Vista")       << 0x80   << QList<int>{1, 2, 3, 4, 5};
    QTest::newRow("Server 2003") << 0x40   << QList<int>{1, 2, 3, 4, 5};
    QTest::newRow("Windows 8")   << 0xa0   << QList<int>{5};
    QTest::newRow("no Windows")  << 0      << QList<int>{5};
}

void tst_cleanupKernel::reportsProgressAndExits()
{
    QFETCH(int, version);
    QFETCH(QList<int>, steps);

    QTemporaryDir dir;
    kernel cleanup(programFolderIn(dir.path()), dir.path() + "/Local");
    cleanup.setWindowsVersion(version);
    cleanup.setRoots(rootsIn(dir.path()));
    cleanup.setTimerIntervals(20, 20);
    QSignalSpy progress(&cleanup, &kernel::timeSliceStepReach);
    QSignalSpy exit(&cleanup, &kernel::ExitAppRequest);

    cleanup.startLaunchTimer();
    QVERIFY(exit.wait(5000));

    QCOMPARE(exit.size(), 1);
    QCOMPARE(exit.at(0).at(0).toInt(), 0);
    QList<int> reached;
    for (const QList<QVariant> &signal : std::as_const(progress)) {
        QCOMPARE(signal.at(1).toInt(), 5);
        reached << signal.at(0).toInt();
    }
    QCOMPARE(reached, steps);
}

void tst_cleanupKernel::menuRootsOfEachLayout_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("dataLocation");
    QTest::addColumn<QString>("allUsersMenu");
    QTest::addColumn<QString>("userMenu");

    const QString seven = R"(C:\ProgramData\Microsoft\Windows\Start Menu\Programs)";
    const QString xp = QString::fromUtf8(R"(C:\Documents and Settings\All Users\Menu Démarrer\Programmes)");
    QTest::newRow("Windows 7") << kSeven << R"(C:\Users\ana\AppData\Local)" << seven
                               << R"(C:\Users\ana\AppData\Roaming\Microsoft\Windows\Start Menu\Programs)";
    QTest::newRow("user named Local...") << 0x80 << R"(C:\Users\Localadmin\AppData\Local)" << seven
                               << R"(C:\Users\Localadmin\AppData\Roaming\Microsoft\Windows\Start Menu\Programs)";
    QTest::newRow("XP") << kXP << R"(C:\Documents and Settings\ana\Local Settings\Application Data)" << xp
                        << QString::fromUtf8(R"(C:\Documents and Settings\ana\Menu Démarrer\Programmes)");
    QTest::newRow("Server 2003") << 0x40 << R"(C:\Documents and Settings\ana\Local Settings\Application Data)" << xp
                                 << QString::fromUtf8(R"(C:\Documents and Settings\ana\Menu Démarrer\Programmes)");
    QTest::newRow("other version") << 0xa0 << R"(C:\Users\ana\AppData\Local)" << "" << "";
}

void tst_cleanupKernel::menuRootsOfEachLayout()
{
    QFETCH(int, version);
    QFETCH(QString, dataLocation);
    QFETCH(QString, allUsersMenu);
    QFETCH(QString, userMenu);

    const kernel::roots roots = kernel::rootsFor(version, dataLocation, "D");
    QCOMPARE(roots.strDesktop, QString("D"));
    QCOMPARE(roots.strAllUsersMenu, allUsersMenu);
    QCOMPARE(roots.strUserMenu, userMenu);
}

QTEST_GUILESS_MAIN(tst_cleanupKernel)
#include "tst_cleanupkernel.moc"
