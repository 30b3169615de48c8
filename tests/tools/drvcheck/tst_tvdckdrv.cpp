#include "TempProgramFolder.h"

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

namespace {

const QByteArray kHeader = "\r\nModule Name  Display Name           Driver Type   Link Date\r\n"
                           "============ ====================== ============= ======================\r\n";

QByteArray logOf(int count)
{
    return "[TVDdrvck]\r\nPL2303Present=" + QByteArray::number(count) + "\r\n";
}

} // namespace

void tst_tvdckdrv::countsDriverLines_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("count");

    const QByteArray pad(80, '.');
    QTest::newRow("no driver")          << kHeader + "serenum      Serenum Filter Driver  Kernel\r\n" << 0;
    QTest::newRow("prolific line")      << kHeader + "Ser2pl       Prolific Serial Port   Kernel\r\n" << 1;
    QTest::newRow("any case and order") << QByteArray("PORT for sErIaL by PROLIFIC\n")                << 1;
    QTest::newRow("serial missing")     << QByteArray("Prolific USB-to-COM Port\n")                    << 0;
    QTest::newRow("words on two lines") << QByteArray("Prolific driver\nSerial Port\n")                << 0;
    QTest::newRow("two driver lines")   << QByteArray("prolific serial port\nProlific Serial Port\n")  << 2;
    QTest::newRow("long line, words in two pieces") << "prolific" + pad + "serial" + pad + "port\n"   << 0;
    QTest::newRow("long line, two full pieces")
        << "prolific serial port" + QByteArray(79, '.') + "prolific serial port\n" << 2;
    QTest::newRow("no output")          << QByteArray()                                                << 0;
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
    QCOMPARE(readAll(workingDir.filePath("tvdckdrv.log")), logOf(count));
}

void tst_tvdckdrv::withoutDriverQueryReportsNothing()
{
    TempProgramFolder folder;
    QVERIFY(folder.addProgram("tvdckdrv.exe"));
    QTemporaryDir workingDir;
    QVERIFY(writeFile(workingDir.filePath("tvdckdrv.log"), "stale content that is longer\r\n"));
    QCOMPARE(folder.run("tvdckdrv.exe", workingDir.path()), 0);
    QCOMPARE(readAll(workingDir.filePath("tvdckdrv.log")), logOf(0));
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
