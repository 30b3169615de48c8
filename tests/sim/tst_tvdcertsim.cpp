#include "SampleRequest.h"
#include "SoapResponse.h"
#include "TempProgramFolder.h"
#include "deployment.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <signal.h>

class tst_tvdcertsim : public QObject
{
    Q_OBJECT

private slots:
    void refusesBadCommandLines_data();
    void refusesBadCommandLines();
    void servesAndStopsOnSignal_data();
    void servesAndStopsOnSignal();
    void failsTheFirstRequestsOnly();

private:
    QByteArray get(const QString &strUrl, int *status = nullptr);
    QByteArray post(const QString &strUrl, const QByteArray &body);

    QNetworkAccessManager _network;
};

namespace {
quint16 freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

QByteArray request(const QString &strSerial)
{
    return sampleGetCertificateRequest(strSerial).toXmlString(2).toUtf8();
}

QString firstValue(const SoapResponse &response, const QString &strTagName)
{
    return response.document().elementsByTagName(strTagName).item(0).toElement().text();
}
} // namespace

QByteArray tst_tvdcertsim::get(const QString &strUrl, int *status)
{
    QNetworkReply *reply = _network.get(QNetworkRequest(QUrl(strUrl)));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    finished.wait(10000);
    reply->deleteLater();
    if (status)
        *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->readAll();
}

QByteArray tst_tvdcertsim::post(const QString &strUrl, const QByteArray &body)
{
    QNetworkRequest httpRequest((QUrl(strUrl)));
    httpRequest.setHeader(QNetworkRequest::ContentTypeHeader, "text/xml;charset=utf-8");
    QNetworkReply *reply = _network.post(httpRequest, body);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    finished.wait(10000);
    reply->deleteLater();
    return reply->readAll();
}

void tst_tvdcertsim::refusesBadCommandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("unknown mode")     << QStringList({ "--fail", "sometimes" }) << QByteArray("unknown fail mode sometimes");
    QTest::newRow("mode in capitals") << QStringList({ "--fail", "FAULT" })     << QByteArray("unknown fail mode FAULT");
    QTest::newRow("count of zero")    << QStringList({ "--fail", "202:0" })     << QByteArray("bad count in 202:0");
    QTest::newRow("count not a number") << QStringList({ "--fail", "202:two" }) << QByteArray("bad count in 202:two");
    QTest::newRow("port not a number")<< QStringList({ "--port", "eighty" })    << QByteArray("bad port eighty");
    QTest::newRow("port too big")     << QStringList({ "--port", "65536" })     << QByteArray("bad port 65536");
    QTest::newRow("unknown option")   << QStringList({ "--verbose" })           << QByteArray("verbose");
    QTest::newRow("stray argument")   << QStringList({ "fault" })               << QByteArray("unexpected argument fault");
}

void tst_tvdcertsim::refusesBadCommandLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);

    QProcess simulator;
    simulator.start(TempProgramFolder::builtProgram("tvdcertsim"), arguments);
    QVERIFY(simulator.waitForFinished(10000));
    QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(simulator.exitCode(), 2);
    const QList<QByteArray> lines = simulator.readAllStandardError().trimmed().split('\n');
    QVERIFY2(lines.last().startsWith("tvdcertsim: ") && lines.last().contains(message), lines.last());
    QVERIFY(simulator.readAllStandardOutput().isEmpty());
}

void tst_tvdcertsim::servesAndStopsOnSignal_data()
{
    QTest::addColumn<int>("signalNumber");

    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT")  << int(SIGINT);
}

void tst_tvdcertsim::servesAndStopsOnSignal()
{
    QFETCH(int, signalNumber);

    const QString strBase = QStringLiteral("http://127.0.0.1:%1").arg(freePort());
    QProcess simulator;
    simulator.start(TempProgramFolder::builtProgram("tvdcertsim"), { "--port", strBase.section(':', -1) });
    QVERIFY(simulator.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(simulator.peek(4096).count('\n'), 3, 10000);
    QCOMPARE(simulator.readAllStandardOutput(),
             QString("service %1/people/ws/r/deviceservices/TolvandCiServices\ntools %1/tools/\npdf %1/certificates/\n")
                 .arg(strBase)
                 .toUtf8());

    int status = 0;
    const QByteArray texts = get(strBase + "/tools/fr/tvdmon.ift", &status);
    QCOMPARE(status, 200);
    QVERIFY(texts.contains("LocalizationWebDir="));
    QVERIFY(texts.endsWith("\r\n"));

    SoapResponse answer;
    answer.setContent(post(strBase + "/people/ws/r/deviceservices/TolvandCiServices", request("HBY4-3JXG-V8KK-ERJM")));
    QVERIFY2(!answer.isFault(), qPrintable(answer.faultString()));
    QCOMPARE(firstValue(answer, "service").toLower(), "getcertificate");
    QCOMPARE(firstValue(answer, "certificat_id"), "1001");
    QCOMPARE(firstValue(answer, "pdf_url"), strBase + "/certificates/1001.pdf");

    const QByteArray pdf = get(strBase + "/certificates/1001.pdf", &status);
    QCOMPARE(status, 200);
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.contains("/Count 1"));
    get(strBase + "/certificates/1002.pdf", &status);
    QCOMPARE(status, 404);

    // The same serial number a second time is refused with code 201.
    answer.setContent(post(strBase + "/people/ws/r/deviceservices/TolvandCiServices", request("HBY4-3JXG-V8KK-ERJM")));
    QCOMPARE(firstValue(answer, "error"), "201");

    // A request without its five arguments is a SOAP fault.
    answer.setContent(post(strBase + "/people/ws/r/deviceservices/TolvandCiServices",
                           request("AAAA-AAAA-AAAA-AAAA").replace("identifier", "ident")));
    QVERIFY(answer.isFault());
    QCOMPARE(answer.faultString(), "Missing argument identifier");

    QCOMPARE(::kill(pid_t(simulator.processId()), signalNumber), 0);
    QVERIFY(simulator.waitForFinished(5000));
    QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(simulator.exitCode(), 0);
}

void tst_tvdcertsim::failsTheFirstRequestsOnly()
{
    const QString strPort = QString::number(freePort());
    QProcess simulator;
    simulator.start(TempProgramFolder::builtProgram("tvdcertsim"), { "--port", strPort, "--fail", "notools:1" });
    QVERIFY(simulator.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(simulator.peek(4096).count('\n'), 3, 10000);

    int status = 0;
    const QString strUrl = "http://127.0.0.1:" + strPort + "/tools/fr/tvdmon.ift";
    get(strUrl, &status);
    QCOMPARE(status, 404);
    get(strUrl, &status);
    QCOMPARE(status, 200);

    simulator.terminate();
    QVERIFY(simulator.waitForFinished(5000));
}

QTEST_GUILESS_MAIN(tst_tvdcertsim)
#include "tst_tvdcertsim.moc"
