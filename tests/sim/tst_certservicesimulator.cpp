#include "CertificateServiceSimulator.h"
#include "SoapResponse.h"
#include "TempProgramFolder.h"
#include "deployment.h"
#include "textMessagesTable.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>


using FailMode = CertificateServiceSimulator::FailMode;

class tst_certservicesimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void faultsMalformedRequests_data();
    void faultsMalformedRequests();
    void servesEveryTextId();
    void pdfFailures();
    void failsTheFirstRequestsOnly_data();
    void failsTheFirstRequestsOnly();
    void cutsPdfMidBody();
    void answersPdfLateOnPurpose();

private:
    QNetworkReply *get(const QString &strUrl);
    QNetworkReply *post(const QByteArray &body);
    static bool finished(QNetworkReply *reply, int timeoutMs = 10000);

    CertificateServiceSimulator *_simulator = nullptr;
    QNetworkAccessManager _network;
};

namespace {
QByteArray goldenRequest()
{
    QByteArray request = readAll(TVD_GOLDEN_DIR "/getcertificate_request.xml");
    return request.replace("http://127.0.0.1:8642/webservices", tvd::deployment::kServiceNamespace);
}

QByteArray without(const QByteArray &strArgument)
{
    QByteArray request = goldenRequest();
    const qsizetype start = request.indexOf("<" + strArgument + " ");
    const qsizetype end = request.indexOf("</" + strArgument + ">") + strArgument.size() + 3;
    return request.remove(start, end - start);
}
} // namespace

void tst_certservicesimulator::init()
{
    delete _simulator;
    _simulator = new CertificateServiceSimulator(this);
    QVERIFY(_simulator->start() != 0);
}

QNetworkReply *tst_certservicesimulator::get(const QString &strUrl)
{
    QNetworkReply *reply = _network.get(QNetworkRequest(QUrl(strUrl)));
    reply->setParent(this);
    return reply;
}

QNetworkReply *tst_certservicesimulator::post(const QByteArray &body)
{
    QNetworkRequest request((QUrl(_simulator->serviceUrl())));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "text/xml;charset=utf-8");
    QNetworkReply *reply = _network.post(request, body);
    reply->setParent(this);
    return reply;
}

bool tst_certservicesimulator::finished(QNetworkReply *reply, int timeoutMs)
{
    return reply->isFinished() || QSignalSpy(reply, &QNetworkReply::finished).wait(timeoutMs);
}

void tst_certservicesimulator::faultsMalformedRequests_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("faultString");

    const QByteArray golden = goldenRequest();
    QTest::newRow("not XML")              << golden.left(200)                                    << "Malformed request: ";
    QTest::newRow("SOAP 1.2 envelope")    << QByteArray(golden).replace("http://schemas.xmlsoap.org/soap/envelope/",
                                                                        "http://www.w3.org/2003/05/soap-envelope")
                                          << "Not a SOAP 1.1 envelope";
    QTest::newRow("other method")         << QByteArray(golden).replace("GetCertificate", "GetInvoice") << "Unknown method";
    QTest::newRow("other namespace")      << QByteArray(golden).replace(tvd::deployment::kServiceNamespace, "urn:other")
                                          << "Unknown method";
    QTest::newRow("no device_id")         << without("device_id")                                << "Missing argument device_id";
    QTest::newRow("no devicetype")        << without("devicetype")                               << "Missing argument devicetype";
    QTest::newRow("no identifier")        << without("identifier")                               << "Missing argument identifier";
    QTest::newRow("no name")              << without("name")                                     << "Missing argument name";
    QTest::newRow("no email")             << without("email")                                    << "Missing argument email";
    QTest::newRow("devicetype not int")   << QByteArray(golden).replace(">14<", ">quatorze<")    << "devicetype is not an int";
}

void tst_certservicesimulator::faultsMalformedRequests()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, faultString);

    QNetworkReply *reply = post(body);
    QVERIFY(finished(reply));
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 500);
    SoapResponse response;
    response.setContent(reply->readAll());
    QVERIFY(response.isFault());
    QVERIFY2(response.faultString().startsWith(faultString), qPrintable(response.faultString()));

    // The well-formed request still gets its certificate afterwards.
    reply = post(goldenRequest());
    QVERIFY(finished(reply));
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
}

void tst_certservicesimulator::servesEveryTextId()
{
    QNetworkReply *reply = get(_simulator->toolsUrl() + "fr/tvdmon.ift");
    QVERIFY(finished(reply));
    QCOMPARE(reply->error(), QNetworkReply::NoError);

    // Read back by the daemon's own table, as the daemon reads the download.
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("tvdmon.ift"), reply->readAll()));
    textMessagesTable texts;
    QCOMPARE(texts.loadFromFile(dir.filePath("tvdmon.ift")), 0);
    for (const char *id : { "CertifPresentation", "CertifPdfExplanation", "CertifTransmissionOK", "CertifMaxReqReach",
                            "NetworkError", "REEF-Error", "Error", "LocalizationWebDir" })
        QVERIFY2(!texts.textOf(id).startsWith("Missing value for <"), id);
    QCOMPARE(texts.textOf("LocalizationWebDir"), QString("fr"));
}

void tst_certservicesimulator::pdfFailures()
{
    QNetworkReply *reply = post(goldenRequest());
    QVERIFY(finished(reply));
    const QString strPdfUrl = _simulator->pdfBaseUrl() + "1001.pdf";

    _simulator->setFailMode(FailMode::NoPdf);
    reply = get(strPdfUrl);
    QVERIFY(finished(reply));
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);

    _simulator->setFailMode(FailMode::None);
    reply = get(_simulator->pdfBaseUrl() + "1002.pdf");
    QVERIFY(finished(reply));
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);

    reply = get(strPdfUrl);
    QVERIFY(finished(reply));
    QVERIFY(reply->readAll().startsWith("%PDF-"));
}

void tst_certservicesimulator::failsTheFirstRequestsOnly_data()
{
    QTest::addColumn<FailMode>("mode");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("count");

    QTest::newRow("text file") << FailMode::NoTools << "tools" << 1;
    QTest::newRow("PDF")       << FailMode::NoPdf   << "pdf"   << 2;
    QTest::newRow("service")   << FailMode::Code202 << "soap"  << 2;
}

void tst_certservicesimulator::failsTheFirstRequestsOnly()
{
    QFETCH(FailMode, mode);
    QFETCH(QString, target);
    QFETCH(int, count);

    // Requests of other kinds pass the mode by without counting.
    QVERIFY(finished(post(goldenRequest())));
    _simulator->setFailMode(mode, count);
    QVERIFY(finished(get(_simulator->toolsUrl() + (target == "tools" ? "x/other.ift" : "fr/tvdmon.ift"))));
    const auto failedNow = [&] {
        QNetworkReply *reply = target == "tools" ? get(_simulator->toolsUrl() + "fr/tvdmon.ift")
                             : target == "pdf"   ? get(_simulator->pdfBaseUrl() + "1001.pdf")
                                                 : post(QByteArray(goldenRequest()).replace("HBY4", "AAAA"));
        if (!finished(reply))
            return true;
        const QByteArray body = reply->readAll();
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 404 || body.contains(">202<");
    };
    for (int i = 0; i < count; ++i)
        QVERIFY2(failedNow(), qPrintable(QString("request %1").arg(i + 1)));
    QVERIFY(!failedNow());
}

void tst_certservicesimulator::cutsPdfMidBody()
{
    QVERIFY(finished(post(goldenRequest())));
    _simulator->setFailMode(FailMode::CutPdf, 1);

    QNetworkReply *reply = get(_simulator->pdfBaseUrl() + "1001.pdf");
    QVERIFY(finished(reply));
    QCOMPARE(reply->error(), QNetworkReply::RemoteHostClosedError);
    reply = get(_simulator->pdfBaseUrl() + "1001.pdf");
    QVERIFY(finished(reply));
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QVERIFY(reply->readAll().startsWith("%PDF-"));
}

void tst_certservicesimulator::answersPdfLateOnPurpose()
{
    QNetworkReply *reply = post(goldenRequest());
    QVERIFY(finished(reply));

    _simulator->setFailMode(FailMode::SlowPdf);
    _simulator->setSlowPdfDelay(600);
    reply = get(_simulator->pdfBaseUrl() + "1001.pdf");
    QVERIFY(!finished(reply, 300));
    QVERIFY(finished(reply));
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QVERIFY(reply->readAll().startsWith("%PDF-"));
}

QTEST_MAIN(tst_certservicesimulator)
#include "tst_certservicesimulator.moc"
