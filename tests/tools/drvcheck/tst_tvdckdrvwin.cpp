#include "TempProgramFolder.h"
#include "WineProcess.h"
#include "driverListCases.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The Windows build of tvdckdrv, run under Wine: the command processor finds
// "driverquery" on its search path, and the log is written in text mode.
class tst_tvdckdrvWin : public QObject
{
    Q_OBJECT

private slots:
    void countsDriverLines_data();
    void countsDriverLines();
    void withoutDriverQueryReportsNothing();
};

void tst_tvdckdrvWin::countsDriverLines_data()
{
    addDriverListRows();
}

void tst_tvdckdrvWin::countsDriverLines()
{
    QFETCH(QByteArray, output);
    QFETCH(int, count);

    TempProgramFolder folder;
    QVERIFY(QFile::copy(WineProcess::builtProgram("tvdckdrv.exe"), folder.filePath("tvdckdrv.exe")));
    // The fake command, in a folder of its own on the search path.
    QTemporaryDir commands;
    QVERIFY(writeFile(commands.filePath("fixture.txt"), output));
    QVERIFY(writeFile(commands.filePath("driverquery.bat"), "@type \"%~dp0fixture.txt\"\r\n"));

    QTemporaryDir workingDir;
    WineProcess process;
    QProcessEnvironment environment = process.processEnvironment();
    environment.insert("WINEPATH", WineProcess::windowsPath(commands.path()));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDir.path());
    QCOMPARE(process.runWindowsProgram(folder.filePath("tvdckdrv.exe")), count > 0 ? 1 : 0);
    QCOMPARE(readAll(workingDir.filePath("tvdckdrv.log")), driverCheckLog(count));
    QVERIFY(!QFile::exists(folder.filePath("tvdckdrv.log")));
}

void tst_tvdckdrvWin::withoutDriverQueryReportsNothing()
{
    TempProgramFolder folder;
    QVERIFY(QFile::copy(WineProcess::builtProgram("tvdckdrv.exe"), folder.filePath("tvdckdrv.exe")));
    QTemporaryDir workingDir;
    QVERIFY(writeFile(workingDir.filePath("tvdckdrv.log"), "stale content that is longer\r\n"));

    WineProcess process;
    process.setWorkingDirectory(workingDir.path());
    QCOMPARE(process.runWindowsProgram(folder.filePath("tvdckdrv.exe")), 0);
    QCOMPARE(readAll(workingDir.filePath("tvdckdrv.log")), driverCheckLog(0));
}

QTEST_GUILESS_MAIN(tst_tvdckdrvWin)
#include "tst_tvdckdrvwin.moc"
