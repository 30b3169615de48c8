#include "HttpTestServer.h"
#include "KernelRig.h"
#include "StandInProcess.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

// The kernel's event dispatch, its resets and the manager watch.
class tst_kernel : public QObject
{
    Q_OBJECT

private slots:
    void startEmptiesAndWatchesBothFiles();
    void startFailsWithoutDataFolder();
    void testModeStartsNothing();
    void eventsActOnlyInTheirState_data();
    void eventsActOnlyInTheirState();
    void unreadableEventFileIsReported();
    void quitOrderEndsTheKernelOnce_data();
    void quitOrderEndsTheKernelOnce();
    void relaunchDuringTextDownloadResets();
    void managerWatch_data();
    void managerWatch();
};

void tst_kernel::startEmptiesAndWatchesBothFiles()
{
    KernelRig rig;
    QVERIFY(rig.folder.addDataFolder());
    // Lines written before a start are never acted upon.
    QVERIFY(rig.appendEvent("TVDDevice:Vega\r\n"));
    QVERIFY(rig.appendEvent("TVDmquit:Now\r\n", "tvdmon.ife"));

    QVERIFY(rig.start());
    QCOMPARE(rig.k.state(), int(kernel::waitingForDevice));
    QCOMPARE(readAll(rig.folder.dataFilePath("tvdman.ife")), QByteArray());
    QCOMPARE(readAll(rig.folder.dataFilePath("tvdmon.ife")), QByteArray());
    QVERIFY(rig.k.watchedPaths().contains(rig.folder.dataFilePath("tvdman.ife")));
    QVERIFY(rig.k.watchedPaths().contains(rig.folder.dataFilePath("tvdmon.ife")));
    // The local texts reached the dialog.
    QCOMPARE(rig.events(), QStringList({ "text 0", "text 1", "text 2" }));
    QVERIFY(rig.lastText(kernel::TextID_CertifTransmissionOK).endsWith("s'est bien déroulée !"));
}

void tst_kernel::startFailsWithoutDataFolder()
{
    TempProgramFolder folder;
    kernel k(folder.filePath("missing") + "/");
    QCOMPARE(k.start(), -1);
    QCOMPARE(k.state(), int(kernel::createDataFolderAndEventFiles));
    QCOMPARE(k.watchedPaths(), QStringList());
}

void tst_kernel::testModeStartsNothing()
{
    TempProgramFolder folder;
    kernel k(folder.path());
    k.setTestMode(true);
    QCOMPARE(k.start(), 0);
    QVERIFY(!QFile::exists(k.dataFolder()));
    QCOMPARE(k.watchedPaths(), QStringList());
}

void tst_kernel::eventsActOnlyInTheirState_data()
{
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<int>("state");

    // Values are never the same twice in a row, so that a test can tell that a line was read.
    QTest::newRow("device")                     << QByteArrayList{"TVDDevice:Vega"}                  << int(kernel::deviceReady);
    QTest::newRow("certificate before device")  << QByteArrayList{"TVDGetCertificate:now"}           << int(kernel::waitingForDevice);
    QTest::newRow("second device ignored")      << QByteArrayList{"TVDDevice:Vega", "TVDDevice:Lyraos",
                                                                  "TVDGetCertificate:now"}           << int(kernel::waitingCertificateFileFromHttp);
    QTest::newRow("unknown model deafens")      << QByteArrayList{"TVDDevice:Andromeda", "TVDDevice:Vega",
                                                                  "TVDGetCertificate:now"}           << int(kernel::deviceReceived);
    QTest::newRow("model in other case")        << QByteArrayList{"TVDDevice:vega"}                  << int(kernel::deviceReceived);
    QTest::newRow("certificate while open")     << QByteArrayList{"TVDDevice:Vega", "TVDGetCertificate:now",
                                                                  "TVDGetCertificate:again"}         << int(kernel::waitingCertificateFileFromHttp);
    QTest::newRow("unknown key")                << QByteArrayList{"TVDDevice:Vega", "TVDHello:now"}  << int(kernel::deviceReady);
}

void tst_kernel::eventsActOnlyInTheirState()
{
    QFETCH(QByteArrayList, lines);
    QFETCH(int, state);

    KernelRig rig;
    QVERIFY(rig.start());
    for (const QByteArray &line : lines) {
        QVERIFY(rig.appendEvent(line + "\r\n"));
        // Read and acted upon before the next line comes; an unknown key
        // leaves the value as it was.
        if (!line.startsWith("TVDHello"))
            QTRY_COMPARE(rig.k.receivedEventValue(), QString::fromLatin1(line.mid(line.indexOf(':') + 1)));
        QTRY_VERIFY(rig.k.state() != kernel::waitingTextMessagesFileFromHttp);
    }
    QTest::qWait(100);
    QCOMPARE(rig.k.state(), state);
    QCOMPARE(rig.events().count("page 0"), state == kernel::waitingCertificateFileFromHttp ? 1 : 0);
}

void tst_kernel::unreadableEventFileIsReported()
{
    KernelRig rig;
    QVERIFY(rig.start());
    QVERIFY(rig.appendEvent("TVDDevice:Vega\r\n"));
    QVERIFY(rig.waitForState(kernel::deviceReady));

    QVERIFY(QFile::remove(rig.folder.dataFilePath("tvdman.ife")));
    QVERIFY(rig.waitFor(QString::fromUtf8("error Erreur de lecture des événements de TOLVAND MANAGER 24")));
    QCOMPARE(rig.k.state(), int(kernel::deviceReady));
    // Written again, the file is watched again.
    QVERIFY(rig.appendEvent("TVDGetCertificate:now\r\n"));
    QVERIFY(rig.waitFor("page 0"));
}

void tst_kernel::quitOrderEndsTheKernelOnce_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("daemon file")  << "tvdmon.ife";
    QTest::newRow("manager file") << "tvdman.ife";
}

void tst_kernel::quitOrderEndsTheKernelOnce()
{
    QFETCH(QString, fileName);

    KernelRig rig;
    QVERIFY(rig.start());
    QSignalSpy quit(&rig.k, &kernel::QuitAppRequest);
    QVERIFY(rig.appendEvent("TVDmquit:Now\r\n", fileName));
    QVERIFY(quit.wait());
    QCOMPARE(rig.k.state(), int(kernel::idle));
    QCOMPARE(rig.k.watchedPaths(), QStringList());

    QVERIFY(rig.appendEvent("TVDmquit:Now\r\n", fileName));
    QTest::qWait(200);
    QCOMPARE(quit.count(), 1);
}

void tst_kernel::relaunchDuringTextDownloadResets()
{
    HttpTestServer tools;
    QVERIFY(tools.listen());
    tools.setRoute("/tools/fr/tvdmon.ift", HttpTestServer::Route{ "x", 200, false, -1 });
    KernelRig rig;
    QVERIFY(rig.start());
    rig.k.setServers(tools.url("/tools/").toString(), rig.simulator.port());
    QVERIFY(rig.appendEvent("TVDDevice:Vega\r\n"));
    QVERIFY(rig.waitForState(kernel::deviceReady));
    QVERIFY(rig.appendEvent("TVDGetCertificate:now\r\n"));
    QVERIFY(rig.waitForState(kernel::waitingTextMessagesFileFromHttp));
    QTRY_COMPARE(tools.requestCount("/tools/fr/tvdmon.ift"), 1);

    const int seen = rig.events().size();
    QVERIFY(rig.appendEvent("TVDMAN:relaunched\r\n", "tvdmon.ife"));
    QVERIFY(rig.waitForState(kernel::waitingForDevice));
    QCOMPARE(rig.eventsSince(seen), QStringList({ "hide", "abort", "text 0", "text 1", "text 2" }));
    QCOMPARE(readAll(rig.folder.dataFilePath("tvdman.ife")), QByteArray());
    QCOMPARE(readAll(rig.folder.dataFilePath("tvdmon.ife")), QByteArray());
    // The aborted download tells nothing, even after its time limit.
    QTest::qWait(2500);
    QCOMPARE(rig.eventsSince(seen).size(), 5);
    QCOMPARE(rig.k.state(), int(kernel::waitingForDevice));

    // The texts are not fetched again in this run.
    QVERIFY(rig.openRequest());
    QCOMPARE(tools.requestCount("/tools/fr/tvdmon.ift"), 1);
}

void tst_kernel::managerWatch_data()
{
    QTest::addColumn<bool>("managerRuns");
    QTest::newRow("manager gone")    << false;
    QTest::newRow("manager running") << true;
}

void tst_kernel::managerWatch()
{
    QFETCH(bool, managerRuns);

    KernelRig rig;
    StandInProcess manager(rig.folder, "TVDMAN.exe");
    if (managerRuns)
        QVERIFY(manager.start());
    QVERIFY(rig.start());
    QSignalSpy quit(&rig.k, &kernel::QuitAppRequest);
    rig.k.setIntervals(200, 50);

    if (managerRuns) {
        QTest::qWait(1000);
        QCOMPARE(quit.count(), 0);
        QCOMPARE(rig.k.state(), int(kernel::waitingForDevice));
        manager.stop();
    }
    QVERIFY(quit.wait());
    QCOMPARE(quit.count(), 1);
    QCOMPARE(rig.k.watchedPaths(), QStringList());
}

QTEST_GUILESS_MAIN(tst_kernel)
#include "tst_kernel.moc"
