#include "SoapMessage.h"
#include "SoapResponse.h"
#include "TempProgramFolder.h"

#include <QTest>

class tst_soapmessage : public QObject
{
    Q_OBJECT

private slots:
    void rendersTheGoldenRequest();
    void readsAnswers_data();
    void readsAnswers();
};

namespace {
// Compares line by line and shows both sides at the first difference.
bool sameText(const QByteArray &actual, const QByteArray &expected)
{
    const QList<QByteArray> actualLines = actual.split('\n');
    const QList<QByteArray> expectedLines = expected.split('\n');
    for (int i = 0; i < qMax(actualLines.size(), expectedLines.size()); ++i) {
        const QByteArray actualLine = actualLines.value(i, "<end of text>");
        const QByteArray expectedLine = expectedLines.value(i, "<end of text>");
        if (actualLine != expectedLine) {
            qWarning().noquote() << "first difference at line" << i + 1 << "\n  actual:   " << actualLine
                                 << "\n  expected: " << expectedLine;
            return false;
        }
    }
    return true;
}
} // namespace

void tst_soapmessage::rendersTheGoldenRequest()
{
    SoapMessage message;
    message.setMethod("GetCertificate", "http://127.0.0.1:8642/webservices");
    message.addMethodArgument("device_id", 0);
    message.addMethodArgument("devicetype", 14);
    message.addMethodArgument("identifier", "HBY4-3JXG-V8KK-ERJM");
    message.addMethodArgument("name", QString::fromUtf8("Zoé & <Fils> Dupont"));
    message.addMethodArgument("email", "zoe.dupont@example.fr");

    QVERIFY(sameText(message.toXmlString(2).toUtf8(), readAll(TVD_GOLDEN_DIR "/getcertificate_request.xml")));
}

void tst_soapmessage::readsAnswers_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("fault");
    QTest::addColumn<QString>("faultStart");

    const QByteArray envelope = "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                                "<SOAP-ENV:Body>%1</SOAP-ENV:Body></SOAP-ENV:Envelope>";
    QTest::newRow("answer")          << QByteArray(envelope).replace("%1", "<r><service>getcertificate</service></r>") << false << QString();
    QTest::newRow("fault")           << QByteArray(envelope).replace("%1", "<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode>"
                                                                           "<faultstring>en panne</faultstring></SOAP-ENV:Fault>") << true << "en panne";
    QTest::newRow("truncated")       << envelope.left(60)                                     << true << "XML parse error";
    QTest::newRow("empty")           << QByteArray()                                          << true << "XML parse error";
    QTest::newRow("not an envelope") << QByteArray("<html><body>Bonjour</body></html>")       << true << "XML parse error";
    QTest::newRow("SOAP 1.2")        << QByteArray(envelope).replace("schemas.xmlsoap.org/soap/envelope/",
                                                                     "www.w3.org/2003/05/soap-envelope") << true << "XML parse error";
}

void tst_soapmessage::readsAnswers()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, fault);
    QFETCH(QString, faultStart);

    SoapResponse response;
    response.setContent(xml);
    QCOMPARE(response.isFault(), fault);
    QVERIFY2(response.faultString().startsWith(faultStart), qPrintable(response.faultString()));
    if (!fault)
        QCOMPARE(response.document().elementsByTagName("service").item(0).toElement().text(), "getcertificate");
}

QTEST_GUILESS_MAIN(tst_soapmessage)
#include "tst_soapmessage.moc"
