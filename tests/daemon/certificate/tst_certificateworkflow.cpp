#include "FileSizeLimit.h"
#include "HttpTestServer.h"
#include "KernelRig.h"
#include "SnidCodec.h"
#include "SoapDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using FailMode = CertificateServiceSimulator::FailMode;

// A certificate request driven through the event files, with the signals the
// dialog would receive.
class tst_certificateworkflow : public QObject
{
    Q_OBJECT

private slots:
    void wholeRequestAndSave();
    void leavingWithoutSavingAsks();
    void admission_data();
    void admission();
    void fourteenRequestsBetweenResets();
    void failuresReachTheDialog_data();
    void failuresReachTheDialog();
    void textDownloadFailureKeepsLocalTexts_data();
    void textDownloadFailureKeepsLocalTexts();
    void lateTextDownloadIsLeftBehind();
    void noticesNobodyAwaitsAreIgnored_data();
    void noticesNobodyAwaitsAreIgnored();
    void outcomesOfALeftRequestAreIgnored_data();
    void outcomesOfALeftRequestAreIgnored();
};

namespace {

const QString kDownloading = QString::fromUtf8("step 66 Téléchargement du certificat en cours...");
const QString kServedTransmissionOK
    = QString::fromUtf8("s'est bien déroulée ! Enregistrez maintenant votre certificat sur l'ordinateur.");

} // namespace

void tst_certificateworkflow::wholeRequestAndSave()
{
    KernelRig rig;
    QVERIFY(rig.start());
    QVERIFY(!QFileInfo::exists(rig.k.certificateFolder()));
    int seen = rig.events().size();

    QVERIFY(rig.openRequest());
    QCOMPARE(rig.eventsSince(seen),
        QStringList({ "page 4", "text 0", "text 1", "text 2", "step 0", "device Vega", "page 0" }));
    // The copy of the tools server replaces the local texts.
    QVERIFY(rig.lastText(kernel::TextID_CertifTransmissionOK).endsWith(kServedTransmissionOK));
    QCOMPARE(rig.k.certificateRequestCount(), 1);

    seen = rig.events().size();
    rig.confirm(QString::fromUtf8("Zoé d'Arc"), "jean-paul", "Zoe@Example.fr");
    QVERIFY(rig.waitFor("page 3"));
    QCOMPARE(rig.eventsSince(seen), QStringList({ kDownloading, "step 100", "step 100", "page 3" }));
    QCOMPARE(rig.k.state(), int(kernel::certificateFileReady));
    QCOMPARE(rig.progress().first(), 0);

    // One request, with the names as typed and a serial made of the cleaned ones.
    QCOMPARE(rig.simulator.requestCount(), 1);
    QCOMPARE(rig.lastRequestArgument("name"), QString::fromUtf8("Zoé d'Arc jean-paul"));
    QCOMPARE(rig.lastRequestArgument("email"), QString("Zoe@Example.fr"));
    QCOMPARE(rig.lastRequestArgument("devicetype"), QString("14"));
    SnidCodec::Fields fields;
    QVERIFY(SnidCodec::decodeSNID(rig.lastRequestArgument("identifier"), fields));
    QVERIFY(fields.checkDigitOk);
    QCOMPARE(fields.productID, 14);
    QVERIFY(SnidCodec::infosCRCMatches(
        fields, SnidCodec::cleanName(QString::fromUtf8("Zoé d'Arc")), SnidCodec::cleanName("jean-paul")));

    const QByteArray pdf = readAll(rig.k.certificateFolder() + "/Certificate.pdf");
    QVERIFY(pdf.startsWith("%PDF-"));
    QTemporaryDir saveDir;
    const QString target = saveDir.path() + "/TOLVAND-Vega-Certificat-1001.pdf";
    rig.chooseFolders({ "", saveDir.path(), saveDir.path() });
    seen = rig.events().size();
    // Cancelled chooser, saved, then refused: the file exists.
    rig.k.slot_savePDFChooseDir_pushButton_Clicked();
    rig.k.slot_savePDFChooseDir_pushButton_Clicked();
    rig.k.slot_savePDFChooseDir_pushButton_Clicked();
    QCOMPARE(rig.eventsSince(seen), QStringList({ "box 0 " + target, "box 1 " }));
    QCOMPARE(readAll(target), pdf);

    seen = rig.events().size();
    rig.k.slot_exitBecauseOK_pushButton_Clicked();
    QCOMPARE(rig.eventsSince(seen), QStringList({ "hide" }));
    QCOMPARE(rig.k.state(), int(kernel::deviceReady));
}

void tst_certificateworkflow::leavingWithoutSavingAsks()
{
    KernelRig rig;
    QVERIFY(rig.start());
    QVERIFY(rig.openRequest("OrionDraco"));
    rig.confirm();
    QVERIFY(rig.waitFor("page 3"));

    int seen = rig.events().size();
    rig.k.slot_exitBecauseOK_pushButton_Clicked();
    rig.k.slot_abandonPDF_Answer(kernel::MsgBoxAnswer_No);
    QCOMPARE(rig.eventsSince(seen), QStringList({ "question 2 0 1" }));
    QCOMPARE(rig.k.state(), int(kernel::certificateFileReady));

    // Still on the save page: the name tells the device type.
    QTemporaryDir saveDir;
    rig.chooseFolders({ saveDir.path() });
    rig.k.slot_savePDFChooseDir_pushButton_Clicked();
    QVERIFY(QFileInfo::exists(saveDir.path() + "/TOLVAND-Orion_ou_Draco-Certificat-1001.pdf"));

    // A new request of the same device, left without saving: read, and
    // ignored while the save page is open.
    QVERIFY(rig.appendEvent("TVDGetCertificate:later\r\n"));
    QTRY_COMPARE(rig.k.receivedEventValue(), QString("later"));
    QCOMPARE(rig.k.state(), int(kernel::certificateFileReady));
    rig.k.slot_exitBecauseOK_pushButton_Clicked();
    QVERIFY(rig.waitForState(kernel::deviceReady));
    QVERIFY(rig.appendEvent("TVDGetCertificate:again\r\n"));
    QTRY_COMPARE(rig.k.state(), int(kernel::waitingCertificateFileFromHttp));
    seen = rig.events().size();
    rig.confirm("Martin", "Paul");
    QVERIFY(rig.waitFor("page 3", seen));
    rig.k.slot_exitBecauseOK_pushButton_Clicked();
    rig.k.slot_abandonPDF_Answer(kernel::MsgBoxAnswer_Yes);
    QCOMPARE(rig.eventsSince(seen), QStringList({ kDownloading, "step 100", "step 100", "page 3", "question 2 0 1", "hide" }));
    QCOMPARE(rig.k.state(), int(kernel::deviceReady));
}

void tst_certificateworkflow::admission_data()
{
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("admitted");

    // No model at all: an unreadable event file leaves the device unknown.
    QTest::newRow("no device (0)") << QByteArray()          << "Inconnu" << false;
    QTest::newRow("Altair (1)")    << QByteArray("Altair")   << "Altair"  << false;
    QTest::newRow("Rigel (2)")     << QByteArray("Rigel")    << "Rigel"   << false;
    QTest::newRow("Capella (11)")  << QByteArray("Capella")  << "Capella" << false;
    QTest::newRow("Antares (12)")  << QByteArray("Antares")  << "Antares" << false;
    QTest::newRow("AntaresA (13)") << QByteArray("AntaresA") << "Antares" << true;
    QTest::newRow("Lyraos (7)")    << QByteArray("Lyraos")   << "Lyra ou similaire" << true;
}

void tst_certificateworkflow::admission()
{
    QFETCH(QByteArray, model);
    QFETCH(QString, name);
    QFETCH(bool, admitted);

    KernelRig rig;
    QVERIFY(rig.start());
    if (model.isEmpty()) {
        QVERIFY(QFile::remove(rig.folder.dataFilePath("tvdman.ife")));
        QVERIFY(rig.waitForState(kernel::deviceReady));
    } else {
        QVERIFY(rig.appendEvent("TVDDevice:" + model + "\r\n"));
        QVERIFY(rig.waitForState(kernel::deviceReady));
    }
    const int seen = rig.events().size();
    QVERIFY(rig.appendEvent("TVDGetCertificate:now\r\n"));

    if (admitted) {
        QVERIFY(rig.waitFor("page 0"));
        QVERIFY(rig.eventsSince(seen).contains("device " + name));
        QCOMPARE(rig.k.certificateRequestCount(), 1);
    } else {
        const QString error = "error Erreur 25-IPnID: " + name + " : ce type d'appareil n'est pas certifiable";
        QVERIFY(rig.waitFor(error));
        QCOMPARE(rig.k.state(), int(kernel::deviceReady));
        QCOMPARE(rig.k.certificateRequestCount(), 0);
        QVERIFY(!rig.eventsSince(seen).contains("page 0"));
    }
}

void tst_certificateworkflow::fourteenRequestsBetweenResets()
{
    KernelRig rig;
    QVERIFY(rig.start());
    QVERIFY(rig.openRequest());
    rig.k.slot_cancelCertRequestedByCustomerOnInfos();
    for (int request = 2; request <= 16; ++request) {
        const int seen = rig.events().size();
        QVERIFY(rig.appendEvent("TVDGetCertificate:now\r\n"));
        QTRY_VERIFY(rig.eventsSince(seen).size() >= 2);
        if (request <= 14) {
            QCOMPARE(rig.eventsSince(seen).last(), QString("page 0"));
            rig.k.slot_cancelCertRequestedByCustomerOnInfos();
        } else {
            QCOMPARE(rig.eventsSince(seen),
                QStringList({ "page 4", "error Erreur 25-CMaxR: le nombre maximal de demandes de certificat est "
                                        "atteint. Veuillez redémarrer TOLVAND MANAGER avant une nouvelle demande." }));
        }
        QCOMPARE(rig.k.state(), int(kernel::deviceReady));
    }

    // A reset gives fourteen more.
    QVERIFY(rig.appendEvent("TVDMAN:relaunched\r\n", "tvdmon.ife"));
    QVERIFY(rig.waitForState(kernel::waitingForDevice));
    QVERIFY(rig.openRequest());
    QCOMPARE(rig.k.certificateRequestCount(), 1);
}

void tst_certificateworkflow::failuresReachTheDialog_data()
{
    QTest::addColumn<FailMode>("mode");
    QTest::addColumn<QString>("error");
    // Ends the request at once (an error step), or waits for the customer.
    QTest::addColumn<bool>("endsRequest");

    QTest::newRow("service time-out")   << FailMode::Hang   << QString::fromUtf8("Le serveur de délivrance des certificats semble indisponible") << false;
    QTest::newRow("service error")      << FailMode::Code202 << "(SiF-679) SGP failure"                                        << false;
    QTest::newRow("service fault")      << FailMode::Fault  << "(SiF-678) Service en maintenance"                              << false;
    QTest::newRow("PDF not found")      << FailMode::NoPdf  << QString::fromUtf8("Erreur de communication réseau 23-HDL-Error:203") << true;
    QTest::newRow("PDF cut off")        << FailMode::CutPdf << QString::fromUtf8("Erreur de communication réseau 23-HDL-Error:2")   << true;
    QTest::newRow("PDF not written")    << FailMode::None   << "Erreur 25-1000 of "                                            << true;
}

void tst_certificateworkflow::failuresReachTheDialog()
{
    QFETCH(FailMode, mode);
    QFETCH(QString, error);
    QFETCH(bool, endsRequest);

    KernelRig rig;
    rig.k.soapDialog().setIntervals(500, 50);
    QVERIFY(rig.start());
    QVERIFY(rig.openRequest());
    rig.simulator.setFailMode(mode);
    std::optional<FileSizeLimit> limit;
    if (mode == FailMode::None)
        limit.emplace(1000);
    rig.confirm();
    QVERIFY2(rig.waitForPrefix("error " + error), qPrintable(rig.events().join('\n')));

    QVERIFY(!rig.events().contains("page 3"));
    QCOMPARE(rig.events().contains("abort"), endsRequest);
    if (endsRequest) {
        QCOMPARE(rig.k.state(), int(kernel::deviceReady));
    } else {
        QCOMPARE(rig.k.state(), int(kernel::waitingCertificateFileFromHttp));
        rig.k.slot_exitBecauseError_pushButton_Clicked();
        QCOMPARE(rig.events().last(), QString("hide"));
        QCOMPARE(rig.k.state(), int(kernel::deviceReady));
    }
    // Nothing more of the failed request comes later.
    const int seen = rig.events().size();
    QTest::qWait(300);
    QCOMPARE(rig.eventsSince(seen), QStringList());
}

void tst_certificateworkflow::textDownloadFailureKeepsLocalTexts_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("not on the server") << false;
    QTest::newRow("not written")       << true;
}

void tst_certificateworkflow::textDownloadFailureKeepsLocalTexts()
{
    QFETCH(bool, fullDisk);

    KernelRig rig;
    QVERIFY(rig.start());
    if (!fullDisk)
        rig.simulator.setFailMode(FailMode::NoTools);
    {
        std::optional<FileSizeLimit> limit;
        if (fullDisk)
            limit.emplace(1000);
        QVERIFY(rig.openRequest());
    }
    QVERIFY(rig.lastText(kernel::TextID_CertifTransmissionOK).endsWith(QString::fromUtf8("s'est bien déroulée !")));

    // The request goes on; no later notice of the text file shows the save page.
    QTest::qWait(300);
    QCOMPARE(rig.k.state(), int(kernel::waitingCertificateFileFromHttp));
    QVERIFY(!rig.events().contains("page 3"));
    rig.simulator.setFailMode(FailMode::None);
    rig.confirm();
    QVERIFY(rig.waitFor("page 3"));
}

void tst_certificateworkflow::lateTextDownloadIsLeftBehind()
{
    // The text file comes after the download's time limit.
    HttpTestServer tools;
    QVERIFY(tools.listen());
    tools.setRoute("/tools/fr/tvdmon.ift", HttpTestServer::Route{ "LocalizationWebDir=late\r\n", 200, false, 2500 });
    KernelRig rig;
    QVERIFY(rig.start());
    rig.k.setServers(tools.url("/tools/").toString(), rig.simulator.port());
    QSignalSpy notices(&rig.k.downloadHandler(), &httpDownloadHandler::networkErrorOccured);

    QVERIFY(rig.openRequest());
    QCOMPARE(notices.count(), 1);
    QVERIFY(rig.events().contains("abort"));
    // The late reply, aborted, repeats nothing.
    QTest::qWait(1000);
    QCOMPARE(notices.count(), 1);
    QVERIFY(!rig.events().join('\n').contains("error"));
    QCOMPARE(rig.k.state(), int(kernel::waitingCertificateFileFromHttp));
}

void tst_certificateworkflow::noticesNobodyAwaitsAreIgnored_data()
{
    QTest::addColumn<QString>("moment");
    QTest::addColumn<QString>("notice");

    for (const char *moment : { "waiting for the device", "request open", "request left" }) {
        for (const char *notice : { "failed", "time-out again", "written", "write failed", "progress" })
            QTest::addRow("%s, %s", notice, moment) << moment << notice;
    }
}

void tst_certificateworkflow::noticesNobodyAwaitsAreIgnored()
{
    QFETCH(QString, moment);
    QFETCH(QString, notice);

    KernelRig rig;
    QVERIFY(rig.start());
    if (moment != "waiting for the device")
        QVERIFY(rig.openRequest());
    if (moment == "request left")
        rig.k.slot_cancelCertRequestedByCustomerOnInfos();
    const int state = rig.k.state();
    const int seen = rig.events().size();
    const int progressSeen = rig.progress().size();

    httpDownloadHandler &handler = rig.k.downloadHandler();
    if (notice == "failed")
        emit handler.networkErrorOccured("HDL-Error:203");
    else if (notice == "time-out again")
        emit handler.networkErrorOccured("HDL-TimeOut:677");
    else if (notice == "written")
        emit handler.fileDownloadedAndWrote();
    else if (notice == "write failed")
        emit handler.writeFileFailed("No space left on device");
    else
        emit handler.downloadDLProgress(1);

    QCOMPARE(rig.eventsSince(seen), QStringList());
    QCOMPARE(rig.k.state(), state);
    QCOMPARE(rig.progress().mid(progressSeen), QList<int>());
}

void tst_certificateworkflow::outcomesOfALeftRequestAreIgnored_data()
{
    QTest::addColumn<FailMode>("mode");
    QTest::addColumn<QString>("leaveAfter");
    QTest::addColumn<QString>("leaveBy");

    QTest::newRow("PDF late, cancelled")     << FailMode::SlowPdf << "PDF launched" << "cancel";
    QTest::newRow("PDF late, error exit")    << FailMode::SlowPdf << "PDF launched" << "error exit";
    QTest::newRow("PDF failing, cancelled")  << FailMode::NoPdf   << "PDF launched" << "cancel";
    QTest::newRow("PDF delay, cancelled")    << FailMode::None    << "answer"       << "cancel";
    QTest::newRow("answer late, cancelled")  << FailMode::None    << "request"      << "cancel";
    QTest::newRow("relaunch during PDF")     << FailMode::SlowPdf << "PDF launched" << "relaunch";
}

void tst_certificateworkflow::outcomesOfALeftRequestAreIgnored()
{
    QFETCH(FailMode, mode);
    QFETCH(QString, leaveAfter);
    QFETCH(QString, leaveBy);

    KernelRig rig;
    QVERIFY(rig.start());
    // Failed attempts wait long enough for the customer to leave in between.
    rig.k.downloadHandler().setIntervals(2000, 2000, 27, 26);
    rig.simulator.setSlowPdfDelay(800);
    rig.simulator.setFailMode(mode);
    if (leaveAfter == "request")
        rig.simulator.setAnswerDelay(800);
    rig.k.setIntervals(3600 * 1000, leaveAfter == "answer" ? 800 : 50);
    QVERIFY(rig.openRequest());
    const int progressSeen = rig.progress().size();
    rig.confirm();
    if (leaveAfter == "PDF launched")
        QTRY_VERIFY(rig.progress().mid(progressSeen).contains(0));
    if (leaveAfter == "answer")
        QVERIFY(rig.waitFor(kDownloading));

    const int seen = rig.events().size();
    if (leaveBy == "cancel")
        rig.k.slot_cancelCertRequestedByCustomerOnInfos();
    else if (leaveBy == "error exit")
        rig.k.slot_exitBecauseError_pushButton_Clicked();
    else
        QVERIFY(rig.appendEvent("TVDMAN:relaunched\r\n", "tvdmon.ife"));
    const int leftState = leaveBy == "relaunch" ? kernel::waitingForDevice : kernel::deviceReady;
    QVERIFY(rig.waitForState(leftState));
    const QStringList left = rig.eventsSince(seen);
    QCOMPARE(left.first(), QString("hide"));
    QCOMPARE(left.contains("abort"), leaveAfter == "PDF launched");

    // Longer than the late answers and the retries of the left request.
    QTest::qWait(1500);
    QCOMPARE(rig.eventsSince(seen), left);
    QCOMPARE(rig.k.state(), leftState);
    QVERIFY(!QFileInfo::exists(rig.k.certificateFolder() + "/Certificate.pdf"));
}

QTEST_MAIN(tst_certificateworkflow)
#include "tst_certificateworkflow.moc"
