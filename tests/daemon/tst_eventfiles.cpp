#include "TempProgramFolder.h"
#include "kernel.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cstdio>

class tst_eventFiles : public QObject
{
    Q_OBJECT

private slots:
    void readsLastNonEmptyLine_data();
    void readsLastNonEmptyLine();

    void startEmptiesBothFiles();
    void startFailsWithoutProgramFolder();
    void relaunchLineIsAppended();
    void relaunchWithoutDataFolderFails();

    void everyWriteIsRead_data();
    void everyWriteIsRead();
    void unwatchedWritesAreNotRead();
};

void tst_eventFiles::readsLastNonEmptyLine_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("value");

    // Each row is read after a line "TVDMAN:primed", so an ignored line leaves "primed".
    QTest::newRow("last line wins")        << true  << QByteArray("TVDDevice:Vega\r\nTVDGetCertificate:now\r\n") << int(kernel::eventTVDGetCertificate) << "now";
    QTest::newRow("two line ends at end")  << true  << QByteArray("TVDDevice:Vega\r\n\r\n")                     << int(kernel::eventTVDDevice)         << "Vega";
    QTest::newRow("second colon")          << true  << QByteArray("TVDDevice:Vega:more\r\n")                   << int(kernel::eventTVDDevice)         << "Vega";
    QTest::newRow("value as it stands")    << true  << QByteArray("TVDDevice: Vega \r\n")                      << int(kernel::eventTVDDevice)         << " Vega ";
    QTest::newRow("quit, empty value")     << true  << QByteArray("TVDmquit:\r\n")                             << int(kernel::eventTVDmquit)          << "";
    QTest::newRow("quit, no colon")        << true  << QByteArray("TVDmquit\r\n")                              << int(kernel::eventTVDmquit)          << "";
    QTest::newRow("relaunch, any value")   << true  << QByteArray("TVDMAN:whatever\r\n")                       << int(kernel::eventTVDMANWasRelaunchedByAnAnotherTvdmonInstance) << "whatever";
    QTest::newRow("bare line feeds")       << true  << QByteArray("TVDDevice:Vega\nTVDmquit:Now\n")            << int(kernel::eventTVDmquit)          << "Now";
    QTest::newRow("partial last line")     << true  << QByteArray("TVDGetCertificate:now\r\nTVDDevice:Ly")     << int(kernel::eventTVDDevice)         << "Ly";
    QTest::newRow("key in other case")     << true  << QByteArray("tvddevice:Vega\r\n")                        << int(kernel::eventUnknown)           << "primed";
    QTest::newRow("space before colon")    << true  << QByteArray("TVDDevice :Vega\r\n")                       << int(kernel::eventUnknown)           << "primed";
    QTest::newRow("unknown key last")      << true  << QByteArray("TVDDevice:Vega\r\nHello:there\r\n")         << int(kernel::eventUnknown)           << "primed";
    QTest::newRow("empty file")            << true  << QByteArray("")                                          << int(kernel::eventUnknown)           << "primed";
    QTest::newRow("blank lines only")      << true  << QByteArray("\r\n\r\n")                                  << int(kernel::eventUnknown)           << "primed";
    QTest::newRow("deleted file")          << false << QByteArray()                                            << int(kernel::eventFileUnreadable)    << "primed";
}

void tst_eventFiles::readsLastNonEmptyLine()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    QFETCH(int, kind);
    QFETCH(QString, value);

    TempProgramFolder folder;
    QVERIFY(folder.addDataFolder());
    kernel k(folder.path());
    const QString primer = folder.dataFilePath("primer");
    QVERIFY(writeFile(primer, "TVDMAN:primed\r\n"));
    QCOMPARE(k.readEventFile(primer), kernel::eventTVDMANWasRelaunchedByAnAnotherTvdmonInstance);

    const QString path = folder.dataFilePath("tvdman.ife");
    if (present)
        QVERIFY(writeFile(path, content));
    QCOMPARE(int(k.readEventFile(path)), kind);
    QCOMPARE(k.receivedEventValue(), value);
}

void tst_eventFiles::startEmptiesBothFiles()
{
    TempProgramFolder folder;
    kernel k(folder.path());
    QCOMPARE(k.dataFolder(), folder.path() + "datamon");

    QCOMPARE(k.processStep(kernel::createDataFolderAndEventFiles), 0);
    QVERIFY(QFile::exists(folder.dataFilePath("tvdman.ife")));
    QVERIFY(QFile::exists(folder.dataFilePath("tvdmon.ife")));

    // Lines written before a start are never acted upon.
    QVERIFY(writeFile(folder.dataFilePath("tvdman.ife"), "TVDDevice:Vega\r\n"));
    QVERIFY(writeFile(folder.dataFilePath("tvdmon.ife"), "TVDmquit:Now\r\n"));
    QCOMPARE(k.processStep(kernel::createDataFolderAndEventFiles), 0);
    QCOMPARE(readAll(folder.dataFilePath("tvdman.ife")), QByteArray());
    QCOMPARE(readAll(folder.dataFilePath("tvdmon.ife")), QByteArray());
}

void tst_eventFiles::startFailsWithoutProgramFolder()
{
    TempProgramFolder folder;
    // The data folder is made one level deep only.
    kernel k(folder.filePath("missing") + QDir::separator());
    QCOMPARE(k.processStep(kernel::createDataFolderAndEventFiles), -1);
    QCOMPARE(k.createEventFile("tvdman.ife"), int(QFileDevice::OpenError));
    QVERIFY(!QFile::exists(folder.filePath("missing")));
}

void tst_eventFiles::relaunchLineIsAppended()
{
    TempProgramFolder folder;
    QVERIFY(folder.addDataFolder());
    QVERIFY(writeFile(folder.dataFilePath("tvdmon.ife"), "TVDmquit:Now"));

    kernel k(folder.path());
    QCOMPARE(k.informTvdmonThatTVDMANWasRelaunched(), 0);
    QCOMPARE(readAll(folder.dataFilePath("tvdmon.ife")), QByteArray("TVDmquit:NowTVDMAN:relaunched\r\n"));
}

void tst_eventFiles::relaunchWithoutDataFolderFails()
{
    TempProgramFolder folder;
    kernel k(folder.path());
    QCOMPARE(k.informTvdmonThatTVDMANWasRelaunched(), int(QFileDevice::OpenError));
    QVERIFY(!QFile::exists(k.dataFolder()));
}

void tst_eventFiles::everyWriteIsRead_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("change");

    QTest::newRow("manager file, append")  << "tvdman.ife" << "append";
    QTest::newRow("daemon file, append")   << "tvdmon.ife" << "append";
    QTest::newRow("manager file, delete")  << "tvdman.ife" << "delete";
    QTest::newRow("daemon file, delete")   << "tvdmon.ife" << "delete";
    QTest::newRow("manager file, replace") << "tvdman.ife" << "replace";
}

void tst_eventFiles::everyWriteIsRead()
{
    QFETCH(QString, fileName);
    QFETCH(QString, change);

    TempProgramFolder folder;
    kernel k(folder.path());
    QCOMPARE(k.processStep(kernel::createDataFolderAndEventFiles), 0);
    k.watchEventFiles();

    const QString path = folder.dataFilePath(fileName);
    auto append = [&](const QByteArray &line) { QVERIFY(appendFile(path, line)); };

    append("TVDDevice:first\r\n");
    QTRY_COMPARE(k.receivedEventValue(), QString("first"));

    if (change == "delete") {
        QVERIFY(QFile::remove(path));
        append("TVDDevice:recreated\r\n");
    } else if (change == "replace") {
        const QString temporary = folder.dataFilePath("new.tmp");
        QVERIFY(writeFile(temporary, "TVDDevice:recreated\r\n"));
        QVERIFY(std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) == 0);
    } else {
        append("TVDDevice:recreated\r\n");
    }
    QTRY_COMPARE(k.receivedEventValue(), QString("recreated"));

    // The watch is back for the writes that follow.
    append("TVDDevice:later\r\n");
    QTRY_COMPARE(k.receivedEventValue(), QString("later"));
}

void tst_eventFiles::unwatchedWritesAreNotRead()
{
    TempProgramFolder folder;
    kernel k(folder.path());
    QCOMPARE(k.processStep(kernel::createDataFolderAndEventFiles), 0);
    k.watchEventFiles();
    QVERIFY(k.watchedPaths().contains(folder.dataFilePath("tvdman.ife")));
    k.unwatchEventFiles();
    QCOMPARE(k.watchedPaths(), QStringList());

    QVERIFY(writeFile(folder.dataFilePath("tvdman.ife"), "TVDDevice:Vega\r\n"));
    QFile::remove(folder.dataFilePath("tvdmon.ife"));
    QVERIFY(writeFile(folder.dataFilePath("tvdmon.ife"), "TVDmquit:Now\r\n"));
    QTest::qWait(300);
    QCOMPARE(k.receivedEventValue(), QString());
}

QTEST_GUILESS_MAIN(tst_eventFiles)
#include "tst_eventfiles.moc"
