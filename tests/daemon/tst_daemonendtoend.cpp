#include "Application.h"
#include "CertificateRequestDialog.h"
#include "KernelRig.h"
#include "ModalAnswerer.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

// The daemon's application, kernel and dialog in this process, with the
// certificate service, driven as the manager and the customer would.
class tst_daemonendtoend : public QObject
{
    Q_OBJECT

private slots:
    void customerGetsAndSavesTheCertificate();
};

namespace {

// Typed key by key, accented letters included.
void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

void tst_daemonendtoend::customerGetsAndSavesTheCertificate()
{
    auto &app = static_cast<Application &>(*QCoreApplication::instance());
    KernelRig rig;
    QVERIFY(rig.prepare());
    QCOMPARE(app.attachKernel(&rig.k), 0);
    CertificateRequestDialog *dialog = app.certificateRequestDialog();
    auto *pages = dialog->findChild<QStackedWidget *>("iStepStackedWidget");
    const auto button = [dialog](const char *name) { return dialog->findChild<QPushButton *>(name); };
    const auto field = [dialog](const char *name) { return dialog->findChild<QLineEdit *>(name); };
    QVERIFY(!dialog->isVisible());

    QVERIFY(rig.appendEvent("TVDDevice:Vega\r\n"));
    QVERIFY(rig.waitForState(kernel::deviceReady));
    QVERIFY(rig.appendEvent("TVDGetCertificate:now\r\n"));
    QTRY_VERIFY(dialog->isVisible() && pages->currentIndex() == 0);
    QCOMPARE(dialog->findChild<QLabel *>("iProductName_label")->text(), QString("Vega"));

    type(field("iName_lineEdit"), QString::fromUtf8("Lefèvre"));
    type(field("iLastName_lineEdit"), QString::fromUtf8("Anaïs"));
    type(field("iEmailAdress_lineEdit"), "Anais.Lefevre@Example.fr");
    QTest::mouseClick(button("iInfosEdited_pushButton"), Qt::LeftButton);
    QCOMPARE(pages->currentIndex(), 1);
    QTest::mouseClick(button("iInfosConfirmed_pushButton"), Qt::LeftButton);
    QCOMPARE(pages->currentIndex(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(pages->currentIndex(), 3, 10000);

    QCOMPARE(rig.lastRequestArgument("name"), QString::fromUtf8("Lefèvre Anaïs"));
    QCOMPARE(rig.lastRequestArgument("email"), QString("Anais.Lefevre@Example.fr"));

    QTemporaryDir saveDir;
    rig.chooseFolders({ saveDir.path() });
    ModalAnswerer answerer;
    answerer.answer({ "OK" });
    QTest::mouseClick(button("iSavePDFChooseDir_pushButton"), Qt::LeftButton);
    const QString saved = saveDir.path() + "/TOLVAND-Vega-Certificat-1001.pdf";
    QCOMPARE(answerer.boxes().size(), 1);
    QCOMPARE(answerer.boxes().first().text, QString::fromUtf8("Le certificat a été enregistré avec succès dans\n") + saved);
    const QByteArray pdf = readAll(saved);
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(pdf, rig.simulator.lastPdfBody());

    QTest::mouseClick(button("iExitBecauseOK_pushButton"), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.k.state(), int(kernel::deviceReady));
    // The entries stay for the next request.
    QCOMPARE(field("iName_lineEdit")->text(), QString::fromUtf8("Lefèvre"));
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    tst_daemonendtoend test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_daemonendtoend.moc"
