#include "ProcessTable.h"
#include "StandInProcess.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

class tst_tvdmquit : public QObject
{
    Q_OBJECT

private slots:
    void withoutDaemonDoesNothing_data();
    void withoutDaemonDoesNothing();
    void secondInstanceEndsWith32();
    void daemonQuittingOnTheFirstOrder_data();
    void daemonQuittingOnTheFirstOrder();
    void daemonIgnoringTheOrdersAtTheRealPace();
    void withoutDataFolderFollowsTheDaemon();
    void stopsTheRealDaemon();
};

namespace {

const QByteArray kOrder = "TVDmquit:Now\r\n";
const QByteArray kEarlierLine = "TVDMAN:relaunched\r\n";

// The real program of a folder, tracing; it is killed when destroyed.
class QuitProcess
{
public:
    explicit QuitProcess(const TempProgramFolder &folder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_LOGGING_RULES", "tvd.*=true");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        _process.setProcessEnvironment(env);
        _process.setProgram(folder.filePath("tvdmquit.exe"));
        _process.setWorkingDirectory(folder.path());
    }
    ~QuitProcess() { kill(); }

    bool start()
    {
        _elapsed.start();
        _process.start();
        return _process.waitForStarted();
    }
    // Waits in the event loop, where the stand-ins that end are reaped: a
    // zombie would still count as running. -1 when it does not end normally.
    int exitCode(int timeoutMs = 30000)
    {
        QSignalSpy finished(&_process, &QProcess::finished);
        if (_process.state() != QProcess::NotRunning && !finished.wait(timeoutMs))
            return -1;
        _ms = _elapsed.elapsed();
        return _process.exitStatus() == QProcess::NormalExit ? _process.exitCode() : -1;
    }
    qint64 ms() const { return _ms; }
    QByteArray traces()
    {
        _traces += _process.readAllStandardError();
        return _traces;
    }
    void kill()
    {
        _process.kill();
        _process.waitForFinished();
    }

private:
    QProcess _process;
    QElapsedTimer _elapsed;
    qint64 _ms = -1;
    QByteArray _traces;
};

// The progress steps the window was given, as "step stepMax".
QStringList steps(const QByteArray &traces)
{
    QStringList found;
    static const QRegularExpression step("slot_timeSliceStepReach (\\d+ \\d+)");
    for (auto it = step.globalMatch(QString::fromLatin1(traces)); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

} // namespace

void tst_tvdmquit::withoutDaemonDoesNothing_data()
{
    QTest::addColumn<bool>("manager");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("alone")           << false << 0;
    QTest::newRow("manager running") << true  << 2;
}

void tst_tvdmquit::withoutDaemonDoesNothing()
{
    QFETCH(bool, manager);
    QFETCH(int, exitCode);

    TempProgramFolder folder;
    QVERIFY(folder.addProgram("tvdmquit.exe"));
    QVERIFY(folder.addDataFolder());
    QVERIFY(writeFile(folder.dataFilePath("tvdmon.ife"), kEarlierLine));
    StandInProcess managerStandIn(folder, "TVDMAN.exe");
    if (manager)
        QVERIFY(managerStandIn.start());

    QuitProcess quit(folder);
    QVERIFY(quit.start());
    QCOMPARE(quit.exitCode(), exitCode);
    const QByteArray traces = quit.traces();
    QVERIFY2(traces.contains("qMain " + QByteArray::number(exitCode)), traces);
    QVERIFY2(!traces.contains("informByTvdmonEventFileThatTVDMONMustQuit"), traces);
    QVERIFY2(steps(traces).isEmpty(), traces);
    QCOMPARE(readAll(folder.dataFilePath("tvdmon.ife")), kEarlierLine);
}

void tst_tvdmquit::secondInstanceEndsWith32()
{
    TempProgramFolder folder;
    QVERIFY(folder.addProgram("tvdmquit.exe"));
    QVERIFY(folder.addDataFolder());
    StandInProcess daemon(folder, "tvdmon.exe");
    QVERIFY(daemon.start());

    QuitProcess first(folder);
    QVERIFY(first.start());
    // Once it writes, the first one has counted itself alone.
    QTRY_VERIFY_WITH_TIMEOUT(first.traces().contains("write now:"), 10000);

    QuitProcess second(folder);
    QVERIFY(second.start());
    QCOMPARE(second.exitCode(), 32);
    QVERIFY2(!second.traces().contains("informByTvdmonEventFileThatTVDMONMustQuit"), second.traces());

    first.kill();
    const int ordersOfTheFirst = first.traces().count("write now:");
    QCOMPARE(readAll(folder.dataFilePath("tvdmon.ife")), kOrder.repeated(ordersOfTheFirst));
}

void tst_tvdmquit::daemonQuittingOnTheFirstOrder_data()
{
    QTest::addColumn<bool>("manager");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("alone")           << false << 0;
    QTest::newRow("manager running") << true  << 2;
}

void tst_tvdmquit::daemonQuittingOnTheFirstOrder()
{
    QFETCH(bool, manager);
    QFETCH(int, exitCode);

    TempProgramFolder folder;
    QVERIFY(folder.addProgram("tvdmquit.exe"));
    QVERIFY(folder.addDataFolder());
    StandInProcess daemon(folder, "tvdmon.exe", StandInProcess::e_QuitsOnOrder);
    StandInProcess managerStandIn(folder, "TVDMAN.exe");
    QVERIFY(daemon.start());
    if (manager)
        QVERIFY(managerStandIn.start());

    QuitProcess quit(folder);
    QVERIFY(quit.start());
    QCOMPARE(quit.exitCode(), exitCode);
    qInfo("ended after %lld ms", quit.ms());
    QVERIFY(!daemon.isRunning());
    QCOMPARE(readAll(folder.dataFilePath("tvdmon.ife")), kOrder);
    QCOMPARE(steps(quit.traces()), QStringList{"5 5"});
    QVERIFY2(quit.traces().contains("slot_exit " + QByteArray::number(exitCode)), quit.traces());
}

// The one test that takes the real 15 seconds.
void tst_tvdmquit::daemonIgnoringTheOrdersAtTheRealPace()
{
    TempProgramFolder folder;
    QVERIFY(folder.addProgram("tvdmquit.exe"));
    QVERIFY(folder.addDataFolder());
    QVERIFY(writeFile(folder.dataFilePath("tvdmon.ife"), kEarlierLine));
    StandInProcess daemon(folder, "tvdmon.exe");
    QVERIFY(daemon.start());

    QuitProcess quit(folder);
    QVERIFY(quit.start());
    QCOMPARE(quit.exitCode(60000), 1);
    qInfo("ended after %lld ms", quit.ms());
    // Five checks 3 s apart; coarse timers may fire up to 5 % early.
    QVERIFY2(quit.ms() >= 14250, QByteArray::number(quit.ms()));
    QVERIFY(daemon.isRunning());
    QCOMPARE(readAll(folder.dataFilePath("tvdmon.ife")), kEarlierLine + kOrder.repeated(5));
    QCOMPARE(steps(quit.traces()), (QStringList{"1 5", "2 5", "3 5", "4 5", "5 5"}));
}

void tst_tvdmquit::withoutDataFolderFollowsTheDaemon()
{
    TempProgramFolder folder;
    QVERIFY(folder.addProgram("tvdmquit.exe"));
    StandInProcess daemon(folder, "tvdmon.exe");
    QVERIFY(daemon.start());

    QuitProcess quit(folder);
    QVERIFY(quit.start());
    const QByteArray failure = "informByTvdmonEventFileThatTVDMONMustQuit error opening  \""
        + QFile::encodeName(folder.dataFilePath("tvdmon.ife")) + "\" : ";
    QTRY_VERIFY_WITH_TIMEOUT(quit.traces().contains(failure), 10000);
    daemon.stop();

    QCOMPARE(quit.exitCode(), 0);
    QCOMPARE(steps(quit.traces()), QStringList{"5 5"});
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"tvdmon.exe", "tvdmquit.exe"}));
}

void tst_tvdmquit::stopsTheRealDaemon()
{
    TempProgramFolder folder;
    for (const char *program : { "tvdmquit.exe", "tvdmon.exe", "TVDMAN.exe", "tvdmon.ift" })
        QVERIFY(folder.addProgram(program));
    QProcess manager;
    manager.start(folder.filePath("TVDMAN.exe"), { "--headless" });
    QVERIFY(manager.waitForStarted());
    QProcess daemon;
    daemon.setProcessChannelMode(QProcess::MergedChannels);
    daemon.start(folder.filePath("tvdmon.exe"), {});
    QVERIFY(daemon.waitForStarted());
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += daemon.readAll()).contains("start: watching"), 10000);

    QuitProcess quit(folder);
    QVERIFY(quit.start());
    QCOMPARE(quit.exitCode(), 2);
    qInfo("ended after %lld ms", quit.ms());
    // Gone at the first check, 3 s after the first order.
    QVERIFY2(quit.ms() >= 2850 && quit.ms() < 6000, QByteArray::number(quit.ms()));
    QCOMPARE(readAll(folder.dataFilePath("tvdmon.ife")), kOrder);
    QCOMPARE(steps(quit.traces()), QStringList{"5 5"});
    QVERIFY(daemon.state() == QProcess::NotRunning || daemon.waitForFinished(5000));
    QCOMPARE(daemon.exitStatus(), QProcess::NormalExit);
    QCOMPARE(daemon.exitCode(), 0);
    QVERIFY(ProcessTable::processesOf(folder.filePath("tvdmon.exe")).isEmpty());
    manager.kill();
    manager.waitForFinished();
}

QTEST_GUILESS_MAIN(tst_tvdmquit)
#include "tst_tvdmquit.moc"
