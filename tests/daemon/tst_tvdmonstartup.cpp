#include "Application.h"
#include "ModalAnswerer.h"
#include "TempProgramFolder.h"
#include "kernel.h"
#include "tvdmonStartup.h"

#include <QFile>
#include <QTest>
#include <QTimer>

// The start-up sequence run in this process, with the process counts given
// by the test and its message boxes answered by it.
class tst_tvdmonstartup : public QObject
{
    Q_OBJECT

private slots:
    void sequence_data();
    void sequence();
    void testModeCountsNothing();
};

namespace {

// A manager that only leaves a mark in the folder it was started in.
const QByteArray kManager = "#!/bin/sh\necho started > manager-started\n";

} // namespace

void tst_tvdmonstartup::sequence_data()
{
    QTest::addColumn<int>("daemons");
    QTest::addColumn<int>("managers");
    QTest::addColumn<bool>("emptyFolder");
    QTest::addColumn<bool>("managerProgram");
    QTest::addColumn<bool>("dataFolder");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("exitCode");
    // What the run leaves: "" nothing, "relaunch" the notice, "kernel" a kernel
    // that ran, "started" a manager started in the program folder.
    QTest::addColumn<QString>("outcome");

    QTest::newRow("no daemon counted")           << 0 << 0 << false << true  << false << ""                                 << 0 << "";
    QTest::newRow("empty program folder")        << 1 << 0 << true  << true  << false << "Empty exec path"                  << 1 << "";
    QTest::newRow("manager cannot start")        << 1 << 0 << false << false << false << "Impossible to start TVDMAN.exe"   << 0 << "";
    QTest::newRow("other daemon, inform fails")  << 2 << 0 << false << true  << false << "starting TVDMAN: Inform Error 5"  << 1 << "started";
    QTest::newRow("other daemon, informed")      << 2 << 0 << false << true  << true  << ""                                 << 0 << "relaunch started";
    QTest::newRow("other daemon, manager runs")  << 2 << 1 << false << true  << true  << ""                                 << 0 << "";
    QTest::newRow("alone, manager runs")         << 1 << 1 << false << true  << false << ""                                 << 0 << "kernel";
    QTest::newRow("alone, manager started")      << 1 << 0 << false << true  << false << ""                                 << 0 << "kernel started";
}

void tst_tvdmonstartup::sequence()
{
    QFETCH(int, daemons);
    QFETCH(int, managers);
    QFETCH(bool, emptyFolder);
    QFETCH(bool, managerProgram);
    QFETCH(bool, dataFolder);
    QFETCH(QString, box);
    QFETCH(int, exitCode);
    QFETCH(QString, outcome);

    TempProgramFolder folder;
    if (managerProgram)
        QVERIFY(folder.addExecutable("TVDMAN.exe", kManager));
    if (dataFolder)
        QVERIFY(folder.addDataFolder());

    auto &app = static_cast<Application &>(*QCoreApplication::instance());
    tvdmonStartup startup(app);
    startup.setProgramFolder(emptyFolder ? QString() : folder.path());
    startup.setProcessCounter([&](const char *name) { return QByteArray(name) == "tvdmon.exe" ? daemons : managers; });
    bool kernelRan = false;
    startup.setKernelPreparation([&](kernel &k) {
        kernelRan = true;
        // Once it watches, it is told to quit.
        QTimer::singleShot(0, &k, [&folder] {
            QVERIFY(appendFile(folder.dataFilePath("tvdmon.ife"), "TVDmquit:Now\r\n"));
        });
    });
    ModalAnswerer answerer;
    answerer.answer({ "OK" });

    QCOMPARE(startup.run(), exitCode);

    QCOMPARE(answerer.boxes().size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty()) {
        const ModalAnswerer::Box shown = answerer.boxes().first();
        QCOMPARE(shown.title, QString("Tvdmon error"));
        QCOMPARE(shown.text, box);
        QCOMPARE(shown.icon, QMessageBox::Information);
        QCOMPARE(shown.buttons, QStringList{ "OK" });
        QVERIFY(!shown.hasParent);
    }
    QCOMPARE(kernelRan, outcome.startsWith("kernel"));
    if (outcome.endsWith("started"))
        QTRY_COMPARE(readAll(folder.filePath("manager-started")), QByteArray("started\n"));
    else
        QVERIFY(!QFile::exists(folder.filePath("manager-started")));
    if (outcome.startsWith("relaunch"))
        QCOMPARE(readAll(folder.dataFilePath("tvdmon.ife")), QByteArray("TVDMAN:relaunched\r\n"));
    else if (!outcome.startsWith("kernel"))
        QCOMPARE(QFile::exists(folder.dataFilePath("tvdmon.ife")), false);
}

void tst_tvdmonstartup::testModeCountsNothing()
{
    TempProgramFolder folder;
    QVERIFY(writeFile(folder.filePath("uitest.txt"), ""));
    auto &app = static_cast<Application &>(*QCoreApplication::instance());
    tvdmonStartup startup(app);
    startup.setProgramFolder(folder.path());
    QStringList counted;
    startup.setProcessCounter([&](const char *name) {
        counted << name;
        return 1;
    });
    // No manager runs here: its watch ends the test mode.
    startup.setKernelPreparation([](kernel &k) { k.setIntervals(100, 2000); });

    QCOMPARE(startup.run(), 0);
    QCOMPARE(counted, QStringList());
    QVERIFY(!QFile::exists(folder.filePath("datamon")));
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    tst_tvdmonstartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tvdmonstartup.moc"
