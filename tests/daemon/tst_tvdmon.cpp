#include "ProcessTable.h"
#include "StandInProcess.h"
#include "TempProgramFolder.h"

#include <QFile>
#include <QProcess>
#include <QTest>

// tvdmon.exe as a program, from a copy of the program folder with the
// manager simulator beside it.
class tst_tvdmon : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsTheManagerAndEmptiesTheEventFiles();
    void secondDaemonWithTheManagerRunningChangesNothing();
    void secondDaemonRestartsAKilledManager();
    void otherFileNameDoesNothing();
    void testModeCreatesNothingAndEndsWithTheManager();

private:
    // Starts a daemon of the folder; true once it watches its event files.
    bool startDaemon(QProcess &daemon, const QString &fileName = QStringLiteral("tvdmon.exe"));
    // Waits for a trace in what the daemon writes from now on.
    static bool waitForTrace(QProcess &daemon, const QByteArray &trace);
    QString manager() const { return _folder->filePath("TVDMAN.exe"); }

    TempProgramFolder *_folder = nullptr;
};

void tst_tvdmon::init()
{
    _folder = new TempProgramFolder;
    QVERIFY(_folder->addProgram("tvdmon.exe"));
    QVERIFY(_folder->addProgram("TVDMAN.exe"));
    QVERIFY(_folder->addProgram("tvdmon.ift"));
}

void tst_tvdmon::cleanup()
{
    // Nothing started here outlives its test.
    ProcessTable::killAll(_folder->filePath("tvdmon.exe"));
    ProcessTable::killAll(manager());
    delete _folder;
}

bool tst_tvdmon::startDaemon(QProcess &daemon, const QString &fileName)
{
    daemon.setProcessChannelMode(QProcess::MergedChannels);
    daemon.setWorkingDirectory(QDir::tempPath());
    daemon.start(_folder->filePath(fileName), {});
    return daemon.waitForStarted() && waitForTrace(daemon, "start: watching");
}

bool tst_tvdmon::waitForTrace(QProcess &daemon, const QByteArray &trace)
{
    QByteArray output;
    return QTest::qWaitFor(
        [&] {
            output += daemon.readAll();
            return output.contains(trace);
        },
        10000);
}

void tst_tvdmon::startsTheManagerAndEmptiesTheEventFiles()
{
    QVERIFY(_folder->addDataFolder());
    QVERIFY(appendFile(_folder->dataFilePath("tvdmon.ife"), "TVDmquit:Now\r\n"));
    QVERIFY(appendFile(_folder->dataFilePath("tvdman.ife"), "TVDDevice:Vega\r\n"));

    QProcess daemon;
    QVERIFY(startDaemon(daemon));
    QTRY_COMPARE(ProcessTable::processesOf(manager()).size(), 1);
    QCOMPARE(readAll(_folder->dataFilePath("tvdmon.ife")), QByteArray());
    QCOMPARE(readAll(_folder->dataFilePath("tvdman.ife")), QByteArray());
    // The stale quit order was never acted on; a new one is.
    QCOMPARE(daemon.state(), QProcess::Running);
    QVERIFY(appendFile(_folder->dataFilePath("tvdmon.ife"), "TVDmquit:Now\r\n"));
    QVERIFY(daemon.waitForFinished(10000));
    QCOMPARE(daemon.exitStatus(), QProcess::NormalExit);
    QCOMPARE(daemon.exitCode(), 0);
}

void tst_tvdmon::secondDaemonWithTheManagerRunningChangesNothing()
{
    QProcess first;
    QVERIFY(startDaemon(first));
    QTRY_COMPARE(ProcessTable::processesOf(manager()).size(), 1);
    const QList<qint64> managers = ProcessTable::processesOf(manager());

    QCOMPARE(_folder->run("tvdmon.exe", QDir::tempPath()), 0);
    QCOMPARE(readAll(_folder->dataFilePath("tvdmon.ife")), QByteArray());
    QCOMPARE(ProcessTable::processesOf(manager()), managers);
    QCOMPARE(first.state(), QProcess::Running);
}

void tst_tvdmon::secondDaemonRestartsAKilledManager()
{
    QProcess first;
    QVERIFY(startDaemon(first));
    QTRY_COMPARE(ProcessTable::processesOf(manager()).size(), 1);
    const QList<qint64> killed = ProcessTable::processesOf(manager());
    QVERIFY(appendFile(_folder->dataFilePath("tvdman.ife"), "TVDHello:before the reset\r\n"));
    // Before the first daemon's watch notices that the manager has gone.
    QVERIFY(ProcessTable::killAll(manager()));

    QCOMPARE(_folder->run("tvdmon.exe", QDir::tempPath()), 0);
    QTRY_COMPARE(ProcessTable::processesOf(manager()).size(), 1);
    QVERIFY(ProcessTable::processesOf(manager()) != killed);
    // The first daemon has reset: its event files are empty again.
    QVERIFY(waitForTrace(first, "start: watching"));
    QCOMPARE(readAll(_folder->dataFilePath("tvdman.ife")), QByteArray());
    QCOMPARE(readAll(_folder->dataFilePath("tvdmon.ife")), QByteArray());
    QCOMPARE(first.state(), QProcess::Running);
}

void tst_tvdmon::otherFileNameDoesNothing()
{
    QVERIFY(QFile::copy(_folder->filePath("tvdmon.exe"), _folder->filePath("tvdmon-copy.exe")));
    QCOMPARE(_folder->run("tvdmon-copy.exe", QDir::tempPath()), 0);
    QVERIFY(!QFile::exists(_folder->filePath("datamon")));
    QVERIFY(ProcessTable::processesOf(manager()).isEmpty());
}

void tst_tvdmon::testModeCreatesNothingAndEndsWithTheManager()
{
    QVERIFY(writeFile(_folder->filePath("uitest.txt"), ""));
    QFile::remove(manager());
    StandInProcess standIn(*_folder, "TVDMAN.exe");
    QVERIFY(standIn.start());

    QProcess daemon;
    daemon.setProcessChannelMode(QProcess::MergedChannels);
    daemon.start(_folder->filePath("tvdmon.exe"), {});
    QVERIFY(daemon.waitForStarted());
    QVERIFY(waitForTrace(daemon, "done37"));
    QVERIFY(!QFile::exists(_folder->filePath("datamon")));

    // Its 30-second watch sees the manager gone.
    standIn.stop();
    QVERIFY(daemon.waitForFinished(40000));
    QCOMPARE(daemon.exitStatus(), QProcess::NormalExit);
    QCOMPARE(daemon.exitCode(), 0);
    QVERIFY(!QFile::exists(_folder->filePath("datamon")));
}

QTEST_GUILESS_MAIN(tst_tvdmon)
#include "tst_tvdmon.moc"
