#include "FileSizeLimit.h"
#include "HttpTestServer.h"
#include "TempProgramFolder.h"
#include "httpDownloadHandler.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using Route = HttpTestServer::Route;

// A handler and what it tells its owner, in order, with the time of each
// event. Intervals keep the deployed ratios (limit 11000, waits n x 2700 +
// 2000, announce after 2600): as deployed, divided by 10, or by 100 where only
// the order of events matters.
class Download : public QObject
{
public:
    enum Intervals { Deployed, Short, Shortest };

    explicit Download(Intervals intervals = Short)
    {
        if (intervals == Short)
            handler.setIntervals(1100, 200, 270, 260);
        if (intervals == Shortest)
            handler.setIntervals(1100, 20, 27, 26);
        _clock.start();
        connect(&handler, &httpDownloadHandler::downloadDLProgress, this,
            [this](int state) { add("progress " + QString::number(state)); });
        connect(&handler, &httpDownloadHandler::networkErrorOccured, this, [this](const QString &text) { add(text); });
        connect(&handler, &httpDownloadHandler::writeFileOK, this, [this] { add("writeFileOK"); });
        connect(&handler, &httpDownloadHandler::writeFileFailed, this, [this](const QString &text) {
            failedWriteText = text;
            add("writeFileFailed");
        });
        connect(&handler, &httpDownloadHandler::fileDownloadedAndWrote, this, [this] { add("fileDownloadedAndWrote"); });
    }

    void start(const QString &url, const QString &path)
    {
        handler.setDownloadUrlAndFile(url, path);
        handler.launchDownload();
    }

    // The events without the progress of arriving data (1) and without
    // repeats: how often progress comes depends on the network stack.
    QStringList outline() const
    {
        QStringList events;
        for (const QString &event : _events) {
            if (event != "progress 1" && (events.isEmpty() || events.last() != event))
                events << event;
        }
        return events;
    }
    QStringList events() const { return _events; }
    qint64 timeOf(const QString &event, int occurrence) const
    {
        int seen = 0;
        for (int i = 0; i < _events.size(); ++i) {
            if (_events.at(i) == event && seen++ == occurrence)
                return _times.at(i);
        }
        return -1;
    }
    bool waitFor(const QString &event, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return _events.contains(event); }, timeoutMs);
    }

    httpDownloadHandler handler;
    QString failedWriteText;

private:
    void add(const QString &event)
    {
        _events << event;
        _times << _clock.elapsed();
    }

    QElapsedTimer _clock;
    QStringList _events;
    QList<qint64> _times;
};

class tst_httpDownloadHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void retriesThenSucceeds_data();
    void retriesThenSucceeds();
    void failsForGood_data();
    void failsForGood();
    void timeOutEndsWithoutNewAttempt();
    void lateFinishedRepeatsTimeOutText();
    void launchWhileRunningChangesNothing();
    void writesWhatArrives_data();
    void writesWhatArrives();
    void failedWriteKeepsThePreviousCopy_data();
    void failedWriteKeepsThePreviousCopy();
    void unwritableDestinationFailsAtOnce();
    void bodyOverTheLimitFailsForGood_data();
    void bodyOverTheLimitFailsForGood();
    void newParametersEndThePreviousFile_data();
    void newParametersEndThePreviousFile();
    void abortEmitsNothing_data();
    void abortEmitsNothing();
    void attemptCountSurvivesLaunchesOnly_data();
    void attemptCountSurvivesLaunchesOnly();
    void refusesSchemesOtherThanWeb_data();
    void refusesSchemesOtherThanWeb();

private:
    QString routeUrl() const { return _server.url(_route).toString(); }
    QString destination() const { return _dir.filePath("tvdmon.ift"); }

    HttpTestServer _server;
    QTemporaryDir _dir;
    int _path = 0;
    QString _route;
};

void tst_httpDownloadHandler::initTestCase()
{
    QVERIFY(_server.listen());
}

void tst_httpDownloadHandler::init()
{
    // A fresh path per test: request counts start at 0.
    _route = QString("/file%1").arg(++_path);
}

void tst_httpDownloadHandler::cleanup()
{
    QFile::remove(destination());
}

void tst_httpDownloadHandler::retriesThenSucceeds_data()
{
    QTest::addColumn<bool>("defaults");
    QTest::newRow("short intervals") << false;
    QTest::newRow("deployed intervals") << true;
}

void tst_httpDownloadHandler::retriesThenSucceeds()
{
    QFETCH(bool, defaults);
    const QByteArray body(200000, 'p');
    _server.setRoute(_route, Route{body, 200, false, 0, false, 3});
    Download download(defaults ? Download::Deployed : Download::Short);
    download.start(routeUrl(), destination());

    QVERIFY(download.waitFor("fileDownloadedAndWrote", defaults ? 35000 : 10000));
    QCOMPARE(download.outline().join(", "), QStringList({"progress 0", "progress 222", "progress 0", "progress 222", "progress 0",
                                     "progress 222", "progress 0", "progress 100", "writeFileOK",
                                     "fileDownloadedAndWrote"}).join(", "));
    QCOMPARE(readAll(destination()), body);
    QCOMPARE(_server.requestCount(_route), 4);

    // Waits of n x 2700 + 2000 ms, then 2600 ms before the notice. Qt's
    // coarse timers may fire up to 5% early. A loaded machine makes any
    // timer late, so only the deployed waits, 2700 ms apart, are bounded
    // from above as well.
    const double scale = defaults ? 1 : 0.1;
    const auto near = [scale, defaults](qint64 measured, int deployed) {
        return measured >= deployed * scale * 0.94 && (!defaults || measured <= deployed * 1.06 + 1000);
    };
    for (int n = 0; n < 3; ++n) {
        const qint64 wait = download.timeOf("progress 0", n + 1) - download.timeOf("progress 222", n);
        QVERIFY2(near(wait, (n + 1) * 2700 + 2000), qPrintable(QString("wait %1: %2 ms").arg(n + 1).arg(wait)));
    }
    const qint64 announce = download.timeOf("fileDownloadedAndWrote", 0) - download.timeOf("writeFileOK", 0);
    QVERIFY2(near(announce, 2600), qPrintable(QString("announce: %1 ms").arg(announce)));
}

void tst_httpDownloadHandler::failsForGood_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<Route>("route");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("attemptLimitMs");

    Route always503;
    always503.failFirst = 1000;
    Route dropped{QByteArray(100000, 'd')};
    dropped.dropMidBody = true;

    // A resolver may take seconds to say that a host does not exist: the
    // attempts of that row are given all the time they need.
    QTest::newRow("fourth failure")   << QString()                          << always503      << "HDL-Error:403" << 4 << 1100;
    QTest::newRow("not found")        << QString()                          << Route{{}, 404} << "HDL-Error:203" << 4 << 1100;
    QTest::newRow("dropped mid-body") << QString()                          << dropped        << "HDL-Error:2"   << 4 << 1100;
    QTest::newRow("host not found")   << "http://tvd-no-such-host.invalid/" << Route{}        << "HDL-Error:3"   << 0 << 60000;
}

void tst_httpDownloadHandler::failsForGood()
{
    QFETCH(QString, url);
    QFETCH(Route, route);
    QFETCH(QString, text);
    QFETCH(int, requests);
    QFETCH(int, attemptLimitMs);

    _server.setRoute(_route, route);
    Download download(Download::Shortest);
    download.handler.setIntervals(attemptLimitMs, 20, 27, 26);
    download.start(url.isEmpty() ? routeUrl() : url, destination());

    QVERIFY(download.waitFor(text, 4 * attemptLimitMs + 10000));
    QTest::qWait(300);
    QCOMPARE(download.outline().join(", "), QStringList({"progress 0", "progress 222", "progress 0", "progress 222", "progress 0",
                                     "progress 222", "progress 0", text}).join(", "));
    QCOMPARE(_server.requestCount(_route), requests);
    QVERIFY(!QFile::exists(destination()));
}

void tst_httpDownloadHandler::timeOutEndsWithoutNewAttempt()
{
    _server.setRoute(_route, Route{"late", 200, false, -1});
    Download download;
    download.start(routeUrl(), destination());

    QVERIFY(download.waitFor("HDL-TimeOut:677"));
    QVERIFY(download.timeOf("HDL-TimeOut:677", 0) >= 1100 * 0.94);
    QTest::qWait(700);
    QCOMPARE(download.events().join(", "), QString("progress 0, HDL-TimeOut:677"));
    QCOMPARE(_server.requestCount(_route), 1);
}

void tst_httpDownloadHandler::lateFinishedRepeatsTimeOutText()
{
    _server.setRoute(_route, Route{"late", 200, false, 1500});
    Download download;
    download.start(routeUrl(), destination());

    QVERIFY(QTest::qWaitFor([&] { return download.events().count("HDL-TimeOut:677") == 2; }, 5000));
    QTest::qWait(300);
    QCOMPARE(download.outline().join(", "), QStringList({"progress 0", "HDL-TimeOut:677", "progress 100", "HDL-TimeOut:677"}).join(", "));
    QCOMPARE(_server.requestCount(_route), 1);
    QVERIFY(!QFile::exists(destination()));
}

void tst_httpDownloadHandler::launchWhileRunningChangesNothing()
{
    _server.setRoute(_route, Route{"body", 200, false, 300});
    Download download;
    download.start(routeUrl(), destination());
    download.handler.launchDownload();
    QCOMPARE(download.events(), QStringList{"progress 0"});

    QVERIFY(download.waitFor("fileDownloadedAndWrote"));
    QCOMPARE(download.events().count("progress 0"), 1);
    QCOMPARE(download.outline().join(", "), QStringList({"progress 0", "progress 100", "writeFileOK", "fileDownloadedAndWrote"}).join(", "));
    QCOMPARE(_server.requestCount(_route), 1);
}

void tst_httpDownloadHandler::writesWhatArrives_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QStringList>("outline");

    const QStringList written{"progress 0", "progress 100", "writeFileOK", "fileDownloadedAndWrote"};
    QTest::newRow("empty body") << Route{} << QStringList{"progress 0", "writeFileOK", "fileDownloadedAndWrote"};
    QTest::newRow("with length") << Route{QByteArray(300000, 'c')} << written;
    // Without a length, arriving data never reads as complete.
    QTest::newRow("chunked") << Route{QByteArray(300000, 'c'), 200, true}
                             << QStringList{"progress 0", "writeFileOK", "fileDownloadedAndWrote"};
}

void tst_httpDownloadHandler::writesWhatArrives()
{
    QFETCH(Route, route);
    QFETCH(QStringList, outline);

    _server.setRoute(_route, route);
    QVERIFY(writeFile(destination(), "an earlier copy"));
    Download download;
    download.start(routeUrl(), destination());

    QVERIFY(download.waitFor("fileDownloadedAndWrote"));
    QCOMPARE(download.outline().join(", "), outline.join(", "));
    if (route.chunked)
        QVERIFY(download.events().contains("progress 1"));
    QCOMPARE(readAll(destination()), route.body);
    QCOMPARE(QDir(_dir.path()).entryList(QDir::Files), QStringList{"tvdmon.ift"});
}

void tst_httpDownloadHandler::failedWriteKeepsThePreviousCopy_data()
{
    QTest::addColumn<int>("bodySize");
    QTest::addColumn<int>("diskSpace");

    QTest::newRow("large body")  << 300000 << 100000;
    // Smaller than a file's write buffer: the failure comes when it is flushed.
    QTest::newRow("small body")  << 10000  << 1000;
}

void tst_httpDownloadHandler::failedWriteKeepsThePreviousCopy()
{
    QFETCH(int, bodySize);
    QFETCH(int, diskSpace);

    _server.setRoute(_route, Route{QByteArray(bodySize, 'n')});
    QVERIFY(writeFile(destination(), "the previous good copy"));
    Download download;
    {
        // The disk fills up part-way through the body.
        FileSizeLimit limit(diskSpace);
        QVERIFY(limit.isActive());
        download.start(routeUrl(), destination());
        QVERIFY(download.waitFor("writeFileFailed"));
    }

    QVERIFY2(!download.failedWriteText.isEmpty(), "the failure says why");
    QCOMPARE(readAll(destination()), QByteArray("the previous good copy"));
    QCOMPARE(QDir(_dir.path()).entryList(QDir::Files), QStringList{"tvdmon.ift"});
    // The owner is still told when the attempt is over.
    QVERIFY(download.waitFor("fileDownloadedAndWrote"));
    QCOMPARE(download.outline().join(", "), QStringList({"progress 0", "progress 100", "writeFileFailed", "fileDownloadedAndWrote"}).join(", "));
}

void tst_httpDownloadHandler::unwritableDestinationFailsAtOnce()
{
    _server.setRoute(_route, Route{"body"});
    Download download;
    const QString path = _dir.filePath("absent/tvdmon.ift");
    download.start(routeUrl(), path);

    const QString text = "WFE:" + path + ": 676";
    QVERIFY(download.waitFor(text));
    QTest::qWait(600);
    QCOMPARE(download.outline().join(", "), QStringList({"progress 0", "progress 100", text}).join(", "));
    QCOMPARE(_server.requestCount(_route), 1);
}

void tst_httpDownloadHandler::bodyOverTheLimitFailsForGood_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QStringList>("events");

    // Many times the limit of these rows, so that a handler without one
    // takes it all and the server sees it read to the end.
    constexpr qint64 kFar = 16 * 1024 * 1024;
    Route announced{QByteArray(1000, 'a')};
    announced.announcedLength = kFar + 1000;
    announced.extraBytes = kFar;
    Route endless{{}, 200, true};
    endless.extraBytes = kFar;
    Route late = endless;
    late.delayMs = 1500;

    const QStringList tooLarge{"progress 0", "HDL-TooLarge:680"};
    QTest::newRow("announced size") << announced << tooLarge;
    QTest::newRow("unannounced body") << endless << tooLarge;
    // The failure was already told; the late reply must stop all the same.
    QTest::newRow("after the time-out") << late << QStringList{"progress 0", "HDL-TimeOut:677"};
}

void tst_httpDownloadHandler::bodyOverTheLimitFailsForGood()
{
    QFETCH(Route, route);
    QFETCH(QStringList, events);

    _server.setRoute(_route, route);
    QVERIFY(writeFile(destination(), "the previous good copy"));
    Download download(Download::Shortest);
    download.handler.setMaxBodySize(1024 * 1024);
    download.start(routeUrl(), destination());

    QTRY_COMPARE_WITH_TIMEOUT(_server.closedByClient(_route), 1, 10000);
    QTest::qWait(300);
    QCOMPARE(download.outline().join(", "), events.join(", "));
    QCOMPARE(_server.requestCount(_route), 1);
    QCOMPARE(readAll(destination()), QByteArray("the previous good copy"));
}

void tst_httpDownloadHandler::newParametersEndThePreviousFile_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QString>("setAfter");

    Route failing;
    failing.failFirst = 1000;
    QTest::newRow("time limit")          << Route{"x", 200, false, -1} << "progress 0";
    QTest::newRow("wait before new try") << failing                    << "progress 222";
    QTest::newRow("announcement")        << Route{"first file"}        << "writeFileOK";
}

void tst_httpDownloadHandler::newParametersEndThePreviousFile()
{
    QFETCH(Route, route);
    QFETCH(QString, setAfter);

    _server.setRoute(_route, route);
    const QString secondRoute = _route + "-second";
    _server.setRoute(secondRoute, Route{"second file"});
    const QString secondFile = _dir.filePath("Certificate.pdf");
    Download download;
    download.start(routeUrl(), destination());
    QVERIFY(download.waitFor(setAfter));
    QTRY_COMPARE(_server.requestCount(_route), 1);

    download.handler.setDownloadUrlAndFile(_server.url(secondRoute).toString(), secondFile);
    const int seen = download.events().size();
    // Longer than the time limit, the wait and the announcement of the first file.
    QTest::qWait(1500);
    QCOMPARE(download.events().mid(seen), QStringList());
    QCOMPARE(_server.requestCount(_route), 1);
    QCOMPARE(_server.requestCount(secondRoute), 0);

    download.handler.launchDownload();
    QVERIFY(QTest::qWaitFor([&] { return download.events().mid(seen).contains("fileDownloadedAndWrote"); }, 10000));
    QCOMPARE(download.events().mid(seen).count("fileDownloadedAndWrote"), 1);
    QCOMPARE(readAll(secondFile), QByteArray("second file"));
    QFile::remove(secondFile);
}

void tst_httpDownloadHandler::abortEmitsNothing_data()
{
    QTest::addColumn<Route>("route");
    // The last event before the abort, and how often it has come.
    QTest::addColumn<QString>("abortAfter");
    QTest::addColumn<int>("occurrence");
    // Requests the server has seen when the abort comes.
    QTest::addColumn<int>("requests");

    Route failing;
    failing.failFirst = 1000;
    Route slowFailing = failing;
    slowFailing.delayMs = 400;

    QTest::newRow("running attempt")       << Route{"x", 200, false, -1}   << "progress 0"      << 0 << 1;
    QTest::newRow("wait before new try")   << failing                      << "progress 222"    << 0 << 1;
    QTest::newRow("fourth attempt")        << slowFailing                  << "progress 0"      << 3 << 4;
    QTest::newRow("after the time-out")    << Route{"x", 200, false, -1}   << "HDL-TimeOut:677" << 0 << 1;
    QTest::newRow("announce delay")        << Route{"x"}                   << "writeFileOK"     << 0 << 1;
}

void tst_httpDownloadHandler::abortEmitsNothing()
{
    QFETCH(Route, route);
    QFETCH(QString, abortAfter);
    QFETCH(int, occurrence);
    QFETCH(int, requests);

    _server.setRoute(_route, route);
    Download download;
    download.start(routeUrl(), destination());
    QVERIFY(QTest::qWaitFor([&] { return download.events().count(abortAfter) > occurrence; }, 10000));
    QTRY_COMPARE(_server.requestCount(_route), requests);
    const QStringList before = download.events();

    download.handler.slot_abortRequest();
    QTest::qWait(1200);
    QCOMPARE(download.events().join(", "), before.join(", "));
    QCOMPARE(_server.requestCount(_route), requests);
}

void tst_httpDownloadHandler::attemptCountSurvivesLaunchesOnly_data()
{
    QTest::addColumn<QString>("restart");
    QTest::addColumn<QStringList>("outline");

    QTest::newRow("launch again") << "launch" << QStringList{"progress 0", "HDL-Error:403"};
    QTest::newRow("new parameters") << "parameters" << QStringList{"progress 0", "progress 222"};
    QTest::newRow("abort") << "abort" << QStringList{"progress 0", "progress 222"};
}

void tst_httpDownloadHandler::attemptCountSurvivesLaunchesOnly()
{
    QFETCH(QString, restart);
    QFETCH(QStringList, outline);

    Route failing;
    failing.failFirst = 1000;
    _server.setRoute(_route, failing);
    Download download(Download::Shortest);
    const QString url = routeUrl();
    download.start(url, destination());
    QVERIFY(download.waitFor("HDL-Error:403"));

    if (restart == "parameters")
        download.handler.setDownloadUrlAndFile(url, destination());
    if (restart == "abort")
        download.handler.slot_abortRequest();
    const int seen = download.events().size();
    download.handler.launchDownload();
    QVERIFY(QTest::qWaitFor([&] { return download.events().size() >= seen + 2; }, 5000));
    download.handler.slot_abortRequest();
    QCOMPARE(download.events().mid(seen, 2).join(", "), outline.join(", "));
}

void tst_httpDownloadHandler::refusesSchemesOtherThanWeb_data()
{
    QTest::addColumn<QString>("url");
    const QString existing = QFINDTESTDATA("tst_httpdownloadhandler.cpp");
    QTest::newRow("file") << QUrl::fromLocalFile(existing).toString();
    QTest::newRow("ftp") << "ftp://127.0.0.1/tvdmon.ift";
    QTest::newRow("data") << "data:text/plain,TVD=1";
    QTest::newRow("qrc") << "qrc:/tvdmon.ift";
    QTest::newRow("no scheme") << "tvdmon.ift";
}

void tst_httpDownloadHandler::refusesSchemesOtherThanWeb()
{
    QFETCH(QString, url);
    Download download;
    download.start(url, destination());

    QCOMPARE(download.events(), QStringList{"HDL-Error:301"});
    QTest::qWait(600);
    QCOMPARE(download.events(), QStringList{"HDL-Error:301"});
    QVERIFY(!QFile::exists(destination()));
}

QTEST_GUILESS_MAIN(tst_httpDownloadHandler)
#include "tst_httpdownloadhandler.moc"
