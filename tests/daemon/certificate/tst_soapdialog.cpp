#include "CertificateServiceSimulator.h"
#include "HttpTestServer.h"
#include "SampleRequest.h"
#include "SoapDialog.h"
#include "SoapHttpTransport.h"
#include "TempProgramFolder.h"
#include "deployment.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <memory>

using FailMode = CertificateServiceSimulator::FailMode;

namespace {
const QString kPath = QStringLiteral("people/ws/r/deviceservices/TolvandCiServices");
const QString kNetworkMessage = QString::fromUtf8(") Impossible d'accéder au serveur. Merci de vérifier la connexion "
                                                  "au réseau.\nSi besoin, désactivez votre antivirus\net votre "
                                                  "pare-feu (firewall)");
const int kRetryPauseMs = 50;
} // namespace

// A SoapDialog talking to an in-process simulator, with short intervals.
struct Exchange {
    explicit Exchange(int timeOutMs = 3000, quint16 port = 0)
        // The base URL's own port is never used: the service port is.
        : dialog("http://127.0.0.1:1/people/ws/r/deviceservices", kPath, port ? port : simulator.start())
        , succeeded(&dialog, &SoapDialog::fromServer_certificateIDAndPDFUrl)
        , timedOut(&dialog, &SoapDialog::soapDialogTimeOut)
        , failed(&dialog, &SoapDialog::forOutside_soapDialogStrMessageError)
    {
        dialog.setIntervals(timeOutMs, kRetryPauseMs);
        // The dialog handles each failure before these counters see it, so a
        // final text given at the third failure finds two failures counted.
        QObject::connect(&dialog, &SoapDialog::forOutside_soapDialogStrMessageError, &dialog,
                         [this] { failuresBeforeFinalText.append(failures); });
        QObject::connect(&dialog, &SoapDialog::soapResponseForServiceIsFault, &dialog, [this] { ++failures; });
        QObject::connect(&dialog, &SoapDialog::soapDialogMessageError, &dialog, [this] { ++failures; });
        QObject::connect(&dialog, &SoapDialog::soapResponseForServiceIsOKButMessageError, &dialog,
                         [this] { ++failures; });
    }

    void send(const QString &strSerial = "HBY4-3JXG-V8KK-ERJM")
    {
        dialog.sendGetCertificate(QString::fromUtf8("Zoé & <Fils>"), "Dupont", strSerial, 14, "zoe.dupont@example.fr");
    }

    CertificateServiceSimulator simulator;
    SoapDialog dialog;
    QSignalSpy succeeded;
    QSignalSpy timedOut;
    QSignalSpy failed;
    int failures = 0;
    QList<int> failuresBeforeFinalText;
};

class tst_soapdialog : public QObject
{
    Q_OBJECT

private slots:
    void getsCertificate();
    void acceptsTheLargestId();
    void acceptsServiceNameInAnyCase_data();
    void acceptsServiceNameInAnyCase();
    void givesOneFinalTextAfterThreeAttempts_data();
    void givesOneFinalTextAfterThreeAttempts();
    void networkFailureIsFinalAfterThreeAttempts();
    void timeOutIsFinalAtOnce();
    void lateAnswerIsIgnored();
    void lateAnswerIsNotTakenForTheNextRequest();
    void unansweredRequestsDoNotBlockLaterOnes();
    void oversizedAnswerIsNotReadWhole_data();
    void oversizedAnswerIsNotReadWhole();
    void newRequestStartsAfresh();
    void requestWhileWaitingIsIgnored();
    void requestDuringPauseReplacesTheRetry();
};

void tst_soapdialog::getsCertificate()
{
    Exchange exchange;
    exchange.send();

    QTRY_COMPARE(exchange.succeeded.count(), 1);
    QCOMPARE(exchange.succeeded.first().at(0).value<quint64>(), 1001u);
    QCOMPARE(exchange.succeeded.first().at(1).toString(), exchange.simulator.pdfBaseUrl() + "1001.pdf");
    QCOMPARE(exchange.simulator.requestCount(), 1);

    // What went over the wire is the golden request, in the deployment's namespace.
    QByteArray golden = readAll(TVD_GOLDEN_DIR "/getcertificate_request.xml");
    golden.replace("http://127.0.0.1:8642/webservices", tvd::deployment::kServiceNamespace);
    QCOMPARE(exchange.simulator.lastRequestBody(), golden);
    QCOMPARE(exchange.simulator.lastRequestHeader("SOAPAction"), "POST");
    QCOMPARE(exchange.simulator.lastRequestHeader("Content-Type"), "text/xml;charset=utf-8");
    // The answer's error element is there, empty.
    QVERIFY(exchange.simulator.lastAnswerBody().contains("<error/>"));

    QTest::qWait(4 * kRetryPauseMs);
    QCOMPARE(exchange.simulator.requestCount(), 1);
    QCOMPARE(exchange.failed.count() + exchange.timedOut.count(), 0);
}

void tst_soapdialog::acceptsTheLargestId()
{
    Exchange exchange;
    exchange.simulator.setNextCertificateId(2147483647);
    exchange.send();

    QTRY_COMPARE(exchange.succeeded.count(), 1);
    QCOMPARE(exchange.succeeded.first().at(0).value<quint64>(), 2147483647u);
}

void tst_soapdialog::acceptsServiceNameInAnyCase_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("lower")           << "getcertificate"  << true;
    QTest::newRow("upper")           << "GETCERTIFICATE"  << true;
    QTest::newRow("mixed")           << "GetCertificate"  << true;
    QTest::newRow("other service")   << "GetCertificates" << false;
    QTest::newRow("empty")           << ""                << false;
}

void tst_soapdialog::acceptsServiceNameInAnyCase()
{
    QFETCH(QString, service);
    QFETCH(bool, accepted);

    Exchange exchange;
    QSignalSpy kinds(&exchange.dialog, &SoapDialog::soapDialogMessageError);
    exchange.simulator.setServiceName(service);
    exchange.send();

    if (accepted) {
        QTRY_COMPARE(exchange.succeeded.count(), 1);
        QCOMPARE(kinds.count(), 0);
    } else {
        // The service issued a certificate all the same: the new attempts
        // then meet a used serial number.
        QTRY_COMPARE(exchange.failed.count(), 1);
        QCOMPARE(kinds.first().at(0).value<SoapDialog::e_SoapDialogError>(), SoapDialog::SDE_SNSFailure);
        QCOMPARE(exchange.succeeded.count(), 0);
    }
}

void tst_soapdialog::givesOneFinalTextAfterThreeAttempts_data()
{
    QTest::addColumn<FailMode>("mode");
    QTest::addColumn<QString>("text");

    QTest::newRow("SOAP fault")       << FailMode::Fault    << "(SiF-678) Service en maintenance";
    QTest::newRow("code 201")         << FailMode::Code201  << "(SiF-679) SNID collision";
    QTest::newRow("code 202")         << FailMode::Code202  << "(SiF-679) SGP failure";
    QTest::newRow("other code")       << FailMode::Other    << QString::fromUtf8("(SIOB) Adresse refusée:\nLe domaine n'accepte pas de courrier\n[HBY4-3JXG-V8KK-ERJM]");
    QTest::newRow("wrong service")    << FailMode::Service  << "(SiF-679) SNS failure";
    QTest::newRow("id 0")             << FailMode::Id0        << "(SiF-679) CID zero!";
    QTest::newRow("id above 32 bits") << FailMode::IdBig      << "(SiF-679) CID zero!";
    QTest::newRow("id not a number")  << FailMode::IdText     << "(SiF-679) CID zero!";
    QTest::newRow("negative id")      << FailMode::IdNegative << "(SiF-679) CID zero!";
    QTest::newRow("no id")            << FailMode::NoId       << "(SiF-679) CID zero!";
    QTest::newRow("no PDF URL")       << FailMode::NoUrl      << "(SiF-679) CUR empty!";
    QTest::newRow("error as text")    << FailMode::ErrorText  << "(SIOB) :\n\n[]";
    QTest::newRow("fault with 200")   << FailMode::Fault200   << "(SiF-678) Service en maintenance";
    QTest::newRow("unreadable XML")   << FailMode::BadXml     << "(SiF-XPa" + kNetworkMessage;
    QTest::newRow("HTTP 500")         << FailMode::Http500    << "(SiF-NeT" + kNetworkMessage;
    QTest::newRow("over 1 MiB")       << FailMode::Huge       << "(SiF-NeT" + kNetworkMessage;
}

void tst_soapdialog::givesOneFinalTextAfterThreeAttempts()
{
    QFETCH(FailMode, mode);
    QFETCH(QString, text);

    Exchange exchange;
    exchange.simulator.setFailMode(mode);
    exchange.send();

    QTRY_COMPARE(exchange.failed.count(), 1);
    QCOMPARE(exchange.failed.first().at(0).toString(), text);
    QCOMPARE(exchange.failuresBeforeFinalText, QList<int>({ 2 }));

    QTest::qWait(4 * kRetryPauseMs);
    QCOMPARE(exchange.simulator.requestCount(), 3);
    QCOMPARE(exchange.failures, 3);
    QCOMPARE(exchange.failed.count(), 1);
    QCOMPARE(exchange.succeeded.count() + exchange.timedOut.count(), 0);
}

void tst_soapdialog::networkFailureIsFinalAfterThreeAttempts()
{
    // A port where nobody listens.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();

    Exchange exchange(3000, port);
    exchange.send();

    QTRY_COMPARE(exchange.failed.count(), 1);
    QCOMPARE(exchange.failed.first().at(0).toString(), "(SiF-NeT" + kNetworkMessage);
    QCOMPARE(exchange.failuresBeforeFinalText, QList<int>({ 2 }));
    QTest::qWait(4 * kRetryPauseMs);
    QCOMPARE(exchange.failures, 3);
    QCOMPARE(exchange.failed.count(), 1);
}

void tst_soapdialog::timeOutIsFinalAtOnce()
{
    Exchange exchange(1000);
    exchange.simulator.setFailMode(FailMode::Hang);
    exchange.send();

    QTRY_COMPARE(exchange.simulator.hungConnections(), 1);
    QTRY_COMPARE(exchange.timedOut.count(), 1);
    // Nothing of the exchange stays behind.
    QTRY_COMPARE(exchange.simulator.hungConnections(), 0);
    QTest::qWait(300 + 4 * kRetryPauseMs);
    QCOMPARE(exchange.timedOut.count(), 1);
    QCOMPARE(exchange.simulator.requestCount(), 1);
    QCOMPARE(exchange.failed.count() + exchange.succeeded.count(), 0);
}

void tst_soapdialog::lateAnswerIsIgnored()
{
    Exchange exchange(200);
    exchange.simulator.setAnswerDelay(500);
    exchange.send();

    QTRY_COMPARE(exchange.timedOut.count(), 1);
    QTest::qWait(800);
    QCOMPARE(exchange.timedOut.count(), 1);
    QCOMPARE(exchange.failed.count() + exchange.succeeded.count(), 0);
}

void tst_soapdialog::lateAnswerIsNotTakenForTheNextRequest()
{
    Exchange exchange(200);
    exchange.simulator.setAnswerDelay(500);
    exchange.send("AAAA-AAAA-AAAA-AAAA");
    QTRY_COMPARE(exchange.timedOut.count(), 1);

    // The first answer arrives while the second request waits for its own.
    exchange.dialog.setIntervals(3000, kRetryPauseMs);
    exchange.simulator.setAnswerDelay(600);
    exchange.send("BBBB-BBBB-BBBB-BBBB");
    QTRY_COMPARE(exchange.succeeded.count(), 1);
    QTest::qWait(300);

    // Only the second request's own certificate is reported.
    QCOMPARE(exchange.succeeded.count(), 1);
    QCOMPARE(exchange.succeeded.first().at(0).value<quint64>(), 1002u);
    QCOMPARE(exchange.failed.count(), 0);
}

void tst_soapdialog::unansweredRequestsDoNotBlockLaterOnes()
{
    // More unanswered exchanges than connections to one host: each request
    // drops the one before it.
    CertificateServiceSimulator simulator;
    SoapHttpTransport transport;
    transport.setHost("127.0.0.1", false, simulator.start());
    QSignalSpy answered(&transport, &SoapHttpTransport::responseReady);
    simulator.setFailMode(FailMode::Hang);
    for (int i = 1; i <= 8; ++i) {
        transport.submitRequest(sampleGetCertificateRequest(QString("AAAA-AAAA-AAAA-AAA%1").arg(i)), kPath);
        QTRY_COMPARE(simulator.requestCount(), i);
        QTRY_COMPARE(simulator.hungConnections(), 1);
    }
    simulator.setFailMode(FailMode::None);
    transport.submitRequest(sampleGetCertificateRequest("BBBB-BBBB-BBBB-BBBB"), kPath);
    QTRY_COMPARE(answered.count(), 1);
    QVERIFY(!transport.getResponse().isFault());
    QCOMPARE(simulator.hungConnections(), 0);
}

void tst_soapdialog::oversizedAnswerIsNotReadWhole_data()
{
    QTest::addColumn<bool>("announced");
    QTest::newRow("announced size") << true;
    QTest::newRow("unannounced size") << false;
}

void tst_soapdialog::oversizedAnswerIsNotReadWhole()
{
    QFETCH(bool, announced);

    // Many times the limit, so that a transport that takes it all has the
    // server see it read to the end.
    constexpr qint64 kFar = 16 * 1024 * 1024;
    HttpTestServer server;
    QVERIFY(server.listen());
    HttpTestServer::Route endless{QByteArray(1000, ' '), 200, !announced};
    endless.extraBytes = kFar;
    if (announced)
        endless.announcedLength = kFar + 1000;
    server.setRoute('/' + kPath, endless);

    SoapHttpTransport transport;
    transport.setHost("127.0.0.1", false, server.url("/").port());
    QSignalSpy answered(&transport, &SoapHttpTransport::responseReady);
    transport.submitRequest(sampleGetCertificateRequest("AAAA-AAAA-AAAA-AAAA"), kPath);

    QTRY_COMPARE(answered.count(), 1);
    QVERIFY2(transport.getResponse().faultString().startsWith("Network transport error"),
             qPrintable(transport.getResponse().faultString()));
    QTRY_COMPARE(server.closedByClient('/' + kPath), 1);
}

void tst_soapdialog::newRequestStartsAfresh()
{
    Exchange exchange;
    exchange.simulator.setFailMode(FailMode::Code202);
    exchange.send("AAAA-AAAA-AAAA-AAAA");
    QTRY_COMPARE(exchange.failed.count(), 1);

    // After a final failure the next request gets its own three attempts,
    // with its own arguments: one more failure, then the certificate.
    exchange.simulator.setFailMode(FailMode::Code202, 1);
    exchange.send("BBBB-BBBB-BBBB-BBBB");
    QTRY_COMPARE(exchange.succeeded.count(), 1);
    QCOMPARE(exchange.simulator.requestCount(), 5);
    QCOMPARE(exchange.failed.count(), 1);
    QVERIFY(exchange.simulator.lastRequestBody().contains("BBBB-BBBB-BBBB-BBBB"));
}

void tst_soapdialog::requestWhileWaitingIsIgnored()
{
    Exchange exchange;
    exchange.simulator.setAnswerDelay(200);
    exchange.send("AAAA-AAAA-AAAA-AAAA");
    exchange.send("BBBB-BBBB-BBBB-BBBB");

    QTRY_COMPARE(exchange.succeeded.count(), 1);
    QTest::qWait(400);
    QCOMPARE(exchange.succeeded.count(), 1);
    QCOMPARE(exchange.simulator.requestCount(), 1);
    QVERIFY(exchange.simulator.lastRequestBody().contains("AAAA-AAAA-AAAA-AAAA"));
}

void tst_soapdialog::requestDuringPauseReplacesTheRetry()
{
    // A pause long enough for the test to act in, even on a loaded machine.
    const int pauseMs = 2000;
    Exchange exchange;
    exchange.dialog.setIntervals(3000, pauseMs);
    exchange.simulator.setFailMode(FailMode::Code202, 1);
    exchange.send("AAAA-AAAA-AAAA-AAAA");
    QTRY_COMPARE(exchange.failures, 1);

    exchange.send("BBBB-BBBB-BBBB-BBBB");
    QTRY_COMPARE(exchange.succeeded.count(), 1);
    QTest::qWait(pauseMs + 500);
    QCOMPARE(exchange.simulator.requestCount(), 2);
    QVERIFY(exchange.simulator.lastRequestBody().contains("BBBB-BBBB-BBBB-BBBB"));
    QCOMPARE(exchange.succeeded.count(), 1);
    QCOMPARE(exchange.failed.count(), 0);
}

QTEST_GUILESS_MAIN(tst_soapdialog)
#include "tst_soapdialog.moc"
