#include "StandInProcess.h"
#include "TempProgramFolder.h"
#include "kernel.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

class tst_quitKernel : public QObject
{
    Q_OBJECT

private slots:
    void followsTheDaemonOnly_data();
    void followsTheDaemonOnly();
};

namespace {

// Short enough for many runs, long enough for a process count on a busy machine.
constexpr int kIntervalMs = 150;
constexpr int kNever = -1;
const QByteArray kOrder = "TVDmquit:Now\r\n";
// What the daemon's event file held before: it is appended to, never rewritten.
const QByteArray kEarlierLine = "TVDMAN:relaunched\r\n";

} // namespace

void tst_quitKernel::followsTheDaemonOnly_data()
{
    QTest::addColumn<bool>("managerAtStart");
    QTest::addColumn<bool>("dataFolder");
    // After which step the stand-ins change: 0 is right after the first order.
    QTest::addColumn<int>("daemonEndsAfter");
    QTest::addColumn<int>("managerTurnsAfter");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<int>("orders");

    QTest::newRow("daemon stays")                 << false << true  << kNever << kNever << 1 << QList<int>{1, 2, 3, 4, 5} << 5;
    QTest::newRow("daemon stays, manager")        << true  << true  << kNever << kNever << 3 << QList<int>{1, 2, 3, 4, 5} << 5;
    QTest::newRow("gone before first check")      << false << true  << 0      << kNever << 0 << QList<int>{5}             << 1;
    QTest::newRow("gone before, manager")         << true  << true  << 0      << kNever << 2 << QList<int>{5}             << 1;
    QTest::newRow("gone after third check")       << false << true  << 3      << kNever << 0 << QList<int>{1, 2, 3, 5}    << 4;
    QTest::newRow("manager starts, daemon stays") << false << true  << kNever << 2      << 1 << QList<int>{1, 2, 3, 4, 5} << 5;
    QTest::newRow("manager stops, daemon goes")   << true  << true  << 3      << 1      << 2 << QList<int>{1, 2, 3, 5}    << 4;
    QTest::newRow("no data folder, daemon stays") << false << false << kNever << kNever << 1 << QList<int>{1, 2, 3, 4, 5} << 0;
    QTest::newRow("no data folder, daemon goes")  << false << false << 2      << kNever << 0 << QList<int>{1, 2, 5}       << 0;
}

void tst_quitKernel::followsTheDaemonOnly()
{
    QFETCH(bool, managerAtStart);
    QFETCH(bool, dataFolder);
    QFETCH(int, daemonEndsAfter);
    QFETCH(int, managerTurnsAfter);
    QFETCH(int, exitCode);
    QFETCH(QList<int>, steps);
    QFETCH(int, orders);

    TempProgramFolder folder;
    const QString eventFile = folder.dataFilePath("tvdmon.ife");
    if (dataFolder) {
        QVERIFY(folder.addDataFolder());
        QVERIFY(writeFile(eventFile, kEarlierLine));
    }
    StandInProcess daemon(folder, "tvdmon.exe");
    StandInProcess manager(folder, "TVDMAN.exe");
    QVERIFY(daemon.start());
    if (managerAtStart)
        QVERIFY(manager.start());

    kernel quitKernel(folder.path(), managerAtStart, kIntervalMs);
    QList<int> seenSteps;
    QByteArray eventsAtExit;
    QList<int> exitCodes;
    // The stand-ins change within the step, before the next check.
    connect(&quitKernel, &kernel::timeSliceStepReach, this, [&](int step, int stepMax) {
        QCOMPARE(stepMax, 5);
        seenSteps << step;
        if (step == daemonEndsAfter)
            daemon.stop();
        if (step == managerTurnsAfter && managerAtStart)
            manager.stop();
        else if (step == managerTurnsAfter)
            QVERIFY(manager.start());
    });
    connect(&quitKernel, &kernel::ExitAppRequest, this, [&](int code) {
        if (exitCodes.isEmpty())
            eventsAtExit = readAll(eventFile);
        exitCodes << code;
    });

    QCOMPARE(quitKernel.startQuitOrderSequence(), 0);
    QCOMPARE(readAll(eventFile), dataFolder ? kEarlierLine + kOrder : QByteArray());
    if (daemonEndsAfter == 0)
        daemon.stop();

    QTRY_VERIFY_WITH_TIMEOUT(!exitCodes.isEmpty(), 20 * kIntervalMs + 10000);
    QCOMPARE(exitCodes.first(), exitCode);
    QCOMPARE(seenSteps, steps);
    QCOMPARE(eventsAtExit, dataFolder ? kEarlierLine + kOrder.repeated(orders) : QByteArray());
    if (!dataFolder)
        QVERIFY(!QFileInfo::exists(folder.filePath("datamon")));
}

QTEST_GUILESS_MAIN(tst_quitKernel)
#include "tst_quitkernel.moc"
