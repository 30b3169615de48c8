#include "TempProgramFolder.h"
#include "driverListCases.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_tvdckdrv : public QObject
{
    Q_OBJECT

private slots:
    void countsDriverLines_data();
    void countsDriverLines();
    void withoutDriverQueryReportsNothing();
    void standInListsLoadedDrivers();
};

void tst_tvdckdrv::countsDriverLines_data()
{
    addDriverListRows();
}

void tst_tvdckdrv::countsDriverLines()
{
    QFETCH(QByteArray, output);
    QFETCH(int, count);

    TempProgramFolder folder;
    QVERIFY(folder.addProgram("tvdckdrv.exe"));
    QVERIFY(writeFile(folder.filePath("fixture.txt"), output));
    QVERIFY(folder.addExecutable("driverquery", "#!/bin/sh\ncat \"$(dirname \"$0\")/fixture.txt\"\n"));

    // The program folder is not on the search path and the log goes to the
    // working directory.
    QTemporaryDir workingDir;
    QCOMPARE(folder.run("tvdckdrv.exe", workingDir.path()), count > 0 ? 1 : 0);
    QCOMPARE(readAll(workingDir.filePath("tvdckdrv.log")), driverCheckLog(count));
}

void tst_tvdckdrv::withoutDriverQueryReportsNothing()
{
    TempProgramFolder folder;
    QVERIFY(folder.addProgram("tvdckdrv.exe"));
    QTemporaryDir workingDir;
    QVERIFY(writeFile(workingDir.filePath("tvdckdrv.log"), "stale content that is longer\r\n"));
    QCOMPARE(folder.run("tvdckdrv.exe", workingDir.path()), 0);
    QCOMPARE(readAll(workingDir.filePath("tvdckdrv.log")), driverCheckLog(0));
}

void tst_tvdckdrv::standInListsLoadedDrivers()
{
    QTemporaryDir drivers;
    QVERIFY(QDir(drivers.path()).mkpath("pl2303"));
    QVERIFY(QDir(drivers.path()).mkpath("ftdi_sio"));

    QProcess driverquery;
    driverquery.start(TempProgramFolder::builtProgram("driverquery"), {drivers.path()});
    QVERIFY(driverquery.waitForFinished());
    QCOMPARE(driverquery.exitCode(), 0);
    QCOMPARE(driverquery.readAllStandardOutput(),
             QByteArray("\n"
                        "Module Name  Display Name           Driver Type   Link Date\n"
                        "============ ====================== ============= ======================\n"
                        "ftdi_sio     USB Serial ftdi_sio    Kernel        \n"
                        "pl2303       Prolific Serial Port   Kernel        \n"));
}

QTEST_GUILESS_MAIN(tst_tvdckdrv)
#include "tst_tvdckdrv.moc"
