#include "CertificateRequestDialog.h"
#include "ModalAnswerer.h"
#include "TempProgramFolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>

class tst_certificaterequestdialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void formAsDrawn();
    void formTexts_data();
    void formTexts();
    void validation_data();
    void validation();
    void activityBarMovesEveryFifthNotification();
    void retryLabelOnlyOnRetry();
    void pagesAsTheKernelAsks();
    void unknownIdsAndTypesChangeNothing();
    void saveBoxes_data();
    void saveBoxes();
    void abandonQuestion_data();
    void abandonQuestion();
    void closeRequestIsRefused();
    void cancelHidesAndTellsTheKernel();

private:
    template <typename T> T *child(const char *name) const { return _dialog->findChild<T *>(name); }
    QStackedWidget *stack() const { return child<QStackedWidget>("iStepStackedWidget"); }
    QScrollBar *activityBar() const { return child<QScrollBar>("showerHttpActivity_horizontalScrollBar"); }

    TempProgramFolder *_folder = nullptr;
    kernel *_kernel = nullptr;
    CertificateRequestDialog *_dialog = nullptr;
};

void tst_certificaterequestdialog::init()
{
    // A kernel that is never started: only the calls of the dialog reach it.
    _folder = new TempProgramFolder;
    _kernel = new kernel(_folder->path());
    _dialog = new CertificateRequestDialog(_kernel);
}

void tst_certificaterequestdialog::cleanup()
{
    delete _dialog;
    delete _kernel;
    delete _folder;
}

void tst_certificaterequestdialog::formAsDrawn()
{
    QCOMPARE(_dialog->objectName(), QString("Dialog"));
    QCOMPARE(_dialog->windowTitle(), QString("Demande de certificat"));
    // Frameless, title hint, stays on top; Qt makes any widget without a parent a plain window.
    QCOMPARE(int(_dialog->windowFlags() & ~Qt::WindowType_Mask), 0x41800);
    QCOMPARE(_dialog->windowType(), Qt::Window);
    QCOMPARE(_dialog->size(), QSize(580, 410));
    QCOMPARE(_dialog->maximumSize(), QSize(580, 410));
    QVERIFY(!_dialog->isVisible());
    QCOMPARE(_dialog->font().family(), QString("Arial"));

    // The header from 7 to 64 pixels, the pages below from 70.
    const auto *header = child<QWidget>("widget");
    QCOMPARE(header->geometry().top(), 7);
    QCOMPARE(header->geometry().bottom() + 1, 64);
    QVERIFY(child<QLabel>("label_7")->styleSheet().contains("url(:/TVDMFAF.png)"));
    QVERIFY(!QPixmap(":/TVDMFAF.png").isNull());
    QCOMPARE(stack()->geometry().top(), 70);
    QCOMPARE(stack()->geometry().bottom() + 1, 410);

    const QStringList pages{ "page_EnterInfos", "page_ConfirmInfosAndSendRequest", "page_CreationSteps",
        "page_CertificateIsAvailable", "page_Init", "page_Error" };
    QCOMPARE(stack()->count(), pages.size());
    for (int i = 0; i < pages.size(); ++i)
        QCOMPARE(stack()->widget(i)->objectName(), pages.at(i));
    QCOMPARE(stack()->currentIndex(), 0);

    for (const char *name : { "iName_lineEdit", "iLastName_lineEdit", "iEmailAdress_lineEdit" })
        QCOMPARE(child<QLineEdit>(name)->maxLength(), 80);
    const auto *progress = child<QProgressBar>("iGetCertificateStep_progressBar");
    QCOMPARE(progress->value(), 24);
    QVERIFY(!progress->isTextVisible());
    QVERIFY(!activityBar()->isEnabled());
    QVERIFY(!activityBar()->hasTracking());
    QCOMPARE(activityBar()->minimum(), 0);
    QCOMPARE(activityBar()->maximum(), 99);
    QCOMPARE(activityBar()->property("DLType").toString(), QString("retry"));
    QVERIFY(activityBar()->styleSheet().contains("#00ED00"));
    QVERIFY(child<QLabel>("retryingHttp_label")->isHidden());
    QVERIFY(child<QLabel>("iPdfExplaination")->openExternalLinks());
}

void tst_certificaterequestdialog::formTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("presentation") << "iExplicProcedureLabel" << QString::fromUtf8(
        "L'appareil connecté contient une base de données et un logiciel interne certifiés conformes aux exigences "
        "gouvernementales telles que stipulées dans le protocole daté du 28 juillet 2011. Vous pouvez obtenir un "
        "certificat de mise en conformité pour cet appareil en remplissant vos coordonnées ci-dessous et en cliquant "
        "sur le bouton &quot;Demander un certificat&quot;.<b> Attention, ce certificat n'est valable que pour cet "
        "appareil, la présente mise en conformité et les futures mises à jour exclusivement mises à disposition par "
        "TOLVAND.</b>");
    QTest::newRow("reader") << "iPdfExplaination" << QString::fromUtf8(
        "( Le format de fichier .pdf est lisible et imprimable avec le logiciel<br/>Acrobat Reader <a "
        "href=\"https://get.adobe.com/fr/reader/\">téléchargeable gratuitement en cliquant ici</a> )");
    QTest::newRow("device")          << "label_5"  << QString::fromUtf8("Appareil connecté:");
    QTest::newRow("name")            << "label_1"  << "Nom:";
    QTest::newRow("first name")      << "label_2"  << QString::fromUtf8("Prénom:");
    QTest::newRow("address")         << "label_3"  << QString::fromUtf8("Adresse électronique:");
    QTest::newRow("cancel")          << "iCancel1_pushButton"     << "Annuler";
    QTest::newRow("ask")             << "iInfosEdited_pushButton" << "Demander un certificat";
    QTest::newRow("confirm heading") << "label_8" << QString::fromUtf8(
        "Voici les informations qui seront utilisées pour<br/> la création du certificat de mise en conformité de "
        "l'appareil:");
    QTest::newRow("confirm device")  << "label_13" << QString::fromUtf8("Appareil connecté:");
    QTest::newRow("confirm name")    << "label_11" << "Nom:";
    QTest::newRow("confirm first")   << "label_9"  << QString::fromUtf8("Prénom:");
    QTest::newRow("confirm address") << "label_12" << QString::fromUtf8("Adresse électronique:");
    QTest::newRow("check note")      << "label"    << QString::fromUtf8(
        "* Merci de vérifier et corriger si besoin vos coordonnées avant de demander le certificat.");
    QTest::newRow("correct")         << "iWantToAlterEditedInfos_pushButton" << QString::fromUtf8("Corriger les coordonnées");
    QTest::newRow("request")         << "iInfosConfirmed_pushButton"          << "Demander le certificat";
    QTest::newRow("cancel again")    << "iCancel2_pushButton"                 << "Annuler";
    QTest::newRow("creating")        << "iMainStatus_label" << QString::fromUtf8(
        "Le certificat de mise en conformité est en cours de création.<br/>Merci de patienter...");
    QTest::newRow("step")            << "iGetCertificateStep_label" << "step";
    QTest::newRow("success")         << "iGetCertOK_label" << QString::fromUtf8(
        "La transmission des informations permettant de générer le certificat de mise en conformité s'est bien "
        "déroulée !");
    QTest::newRow("save")            << "iSavePDFChooseDir_pushButton" << "Enregistrer le certificat sur l'ordinateur au format .pdf";
    QTest::newRow("leave")           << "iExitBecauseOK_pushButton"    << "Quitter";
    QTest::newRow("init")            << "iInit_label" << "Initialisation en cours...<br/>Veuillez patienter";
    QTest::newRow("failed")          << "iGetCertHasFailed_label" << QString::fromUtf8("La demande de certificat a échoué.");
    QTest::newRow("retry later")     << "iPleaseReTryLater_label" << QString::fromUtf8("Merci de réessayer plus tard.");
    QTest::newRow("details")         << "iErrorDetails_label"     << "()";
    QTest::newRow("leave on error")  << "iExitBecauseError_pushButton" << "Quitter";
}

void tst_certificaterequestdialog::formTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    QWidget *widget = _dialog->findChild<QWidget *>(name);
    QVERIFY(widget);
    const QString shown = qobject_cast<QLabel *>(widget) ? qobject_cast<QLabel *>(widget)->text()
                                                          : qobject_cast<QPushButton *>(widget)->text();
    QCOMPARE(shown, text);
    QCOMPARE(widget->font().family(), QString("Arial"));
}

void tst_certificaterequestdialog::validation_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("address");
    // The warning shown, or none when the entry is taken.
    QTest::addColumn<QString>("warning");

    const QString badAddress = QString::fromUtf8(
        "L'adresse e-mail que vous avez indiqué présente une erreur.\nCorrigez la ou indiquez une autre adresse e-mail.");
    QTest::newRow("all there")            << "Dupont" << "Jean" << "jean.dupont@example.fr"  << QString();
    QTest::newRow("no name")              << ""       << "Jean" << "jean.dupont@example.fr"  << "Vous devez mentionner un nom.";
    QTest::newRow("no first name")        << "Dupont" << ""     << "jean.dupont@example.fr"  << QString::fromUtf8("Vous devez mentionner un prénom.");
    QTest::newRow("no address")           << "Dupont" << "Jean" << ""                        << "Vous devez mentionner une adresse email.";
    QTest::newRow("nothing at all")       << ""       << ""     << ""                        << "Vous devez mentionner un nom.";
    QTest::newRow("name of one blank")    << " "      << "Jean" << "jean.dupont@example.fr"  << QString();
    QTest::newRow("upper case address")   << "Dupont" << "Jean" << "Jean.DUPONT@Example.FR"  << QString();
    QTest::newRow("words after address")  << "Dupont" << "Jean" << "jean@example.fr et moi" << QString();
    QTest::newRow("@ in front")           << "Dupont" << "Jean" << "@jean@example.fr"        << badAddress;
    QTest::newRow("second @ in domain")   << "Dupont" << "Jean" << "jean@example@fr.fr"      << badAddress;
    QTest::newRow("nothing before @")     << "Dupont" << "Jean" << "@example.fr"             << badAddress;
    QTest::newRow("no domain")            << "Dupont" << "Jean" << "jean@"                   << badAddress;
    QTest::newRow("no dot in domain")     << "Dupont" << "Jean" << "jean@example"            << badAddress;
}

void tst_certificaterequestdialog::validation()
{
    QFETCH(QString, name);
    QFETCH(QString, firstName);
    QFETCH(QString, address);
    QFETCH(QString, warning);

    // Fields keep what was typed before, as between two requests.
    child<QLineEdit>("iName_lineEdit")->setText(name);
    child<QLineEdit>("iLastName_lineEdit")->setText(firstName);
    child<QLineEdit>("iEmailAdress_lineEdit")->setText(address);
    _dialog->slot_switchCertificatePageTo(0, true);

    ModalAnswerer answerer;
    answerer.answer({ "OK" });
    QTest::mouseClick(child<QPushButton>("iInfosEdited_pushButton"), Qt::LeftButton);

    if (warning.isEmpty()) {
        QCOMPARE(answerer.boxes().size(), 0);
        QCOMPARE(stack()->currentIndex(), 1);
        QCOMPARE(child<QLabel>("iConfirm_Name_label")->text(), name);
        QCOMPARE(child<QLabel>("iConfirm_LastName_label")->text(), firstName);
        QCOMPARE(child<QLabel>("iConfirm_EmailAdress_label")->text(), address);
        // Back to the entries, as typed.
        QTest::mouseClick(child<QPushButton>("iWantToAlterEditedInfos_pushButton"), Qt::LeftButton);
        QCOMPARE(stack()->currentIndex(), 0);
        QCOMPARE(child<QLineEdit>("iEmailAdress_lineEdit")->text(), address);
    } else {
        QCOMPARE(answerer.boxes().size(), 1);
        const ModalAnswerer::Box box = answerer.boxes().first();
        QCOMPARE(box.text, warning);
        QCOMPARE(box.title, QString("TOLVAND MANAGER 3.9"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons, QStringList{ "OK" });
        QVERIFY(box.hasParent);
        QVERIFY(box.flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(stack()->currentIndex(), 0);
    }
}

void tst_certificaterequestdialog::activityBarMovesEveryFifthNotification()
{
    _dialog->slot_httpDownloadProgressChanged(0);
    QCOMPARE(activityBar()->value(), 0);
    QVERIFY(!activityBar()->isHidden());

    QList<int> values{ activityBar()->value() };
    for (int i = 1; i < 150; ++i) {
        _dialog->slot_httpDownloadProgressChanged(i == 149 ? 100 : 1);
        values << activityBar()->value();
    }
    // It moves by 10 at every fifth notification only.
    for (int i = 1; i < values.size(); ++i) {
        if (i % 5 == 0)
            QCOMPARE(qAbs(values.at(i) - values.at(i - 1)), values.at(i) == 99 || values.at(i - 1) == 99 ? 9 : 10);
        else
            QCOMPARE(values.at(i), values.at(i - 1));
    }
    // Up to the end of the bar, back to its start, and up again.
    QCOMPARE(values.at(50), 99);
    QCOMPARE(values.at(55), 90);
    QCOMPARE(values.at(100), 0);
    QCOMPARE(values.at(105), 10);

    // A new attempt starts from 0.
    _dialog->slot_httpDownloadProgressChanged(0);
    QCOMPARE(activityBar()->value(), 0);
}

void tst_certificaterequestdialog::retryLabelOnlyOnRetry()
{
    auto *retry = child<QLabel>("retryingHttp_label");
    _dialog->slot_httpDownloadProgressChanged(0);
    for (int i = 0; i < 7; ++i)
        _dialog->slot_httpDownloadProgressChanged(1);
    const int value = activityBar()->value();
    QVERIFY(retry->isHidden());

    for (int i = 0; i < 6; ++i)
        _dialog->slot_httpDownloadProgressChanged(222);
    QVERIFY(!retry->isHidden());
    QCOMPARE(activityBar()->value(), value);
    // The counting goes on where it stood.
    _dialog->slot_httpDownloadProgressChanged(1);
    _dialog->slot_httpDownloadProgressChanged(1);
    QCOMPARE(activityBar()->value(), 10);

    _dialog->slot_httpDownloadProgressChanged(0);
    QVERIFY(retry->isHidden());
    QCOMPARE(activityBar()->value(), 0);
}

void tst_certificaterequestdialog::pagesAsTheKernelAsks()
{
    _dialog->slot_switchCertificatePageTo(4, true);
    QVERIFY(_dialog->isVisible());
    QCOMPARE(stack()->currentIndex(), 4);

    _dialog->slot_setPnID_labels("Orion ou Draco");
    QCOMPARE(child<QLabel>("iProductName_label")->text(), QString("Orion ou Draco"));
    QCOMPARE(child<QLabel>("iConfirm_ProductName_label")->text(), QString("Orion ou Draco"));
    _dialog->slot_setProgressMainBarStep(QString::fromUtf8("Téléchargement du certificat en cours..."), 66);
    QCOMPARE(child<QLabel>("iGetCertificateStep_label")->text(), QString::fromUtf8("Téléchargement du certificat en cours..."));
    QCOMPARE(child<QProgressBar>("iGetCertificateStep_progressBar")->value(), 66);
    _dialog->slot_setTextForCertificate("Tout est en ordre.", kernel::TextID_CertifTransmissionOK);
    QCOMPARE(child<QLabel>("iGetCertOK_label")->text(), QString("Tout est en ordre."));

    _dialog->slot_showCertErrorMessage("Erreur 25-CMaxR: trop");
    QVERIFY(_dialog->isVisible());
    QCOMPARE(stack()->currentIndex(), 5);
    QCOMPARE(child<QLabel>("iErrorDetails_label")->text(), QString("Erreur 25-CMaxR: trop"));

    _dialog->slot_switchCertificatePageTo(3, false);
    QVERIFY(!_dialog->isVisible());
    QCOMPARE(stack()->currentIndex(), 3);
    _dialog->slot_switchCertificatePageTo(1, true);
    _dialog->slot_hideWindowCertificate();
    QVERIFY(!_dialog->isVisible());
}

void tst_certificaterequestdialog::unknownIdsAndTypesChangeNothing()
{
    QSignalSpy answers(_dialog, &CertificateRequestDialog::abandonPDF_Answer);
    const QString presentation = child<QLabel>("iExplicProcedureLabel")->text();
    _dialog->slot_setTextForCertificate("autre", kernel::e_TextID(3));
    _dialog->slot_setTextForCertificate("autre", kernel::e_TextID(-1));
    QCOMPARE(child<QLabel>("iExplicProcedureLabel")->text(), presentation);
    QCOMPARE(child<QLabel>("iPdfExplaination")->text().contains("Acrobat Reader"), true);
    QVERIFY(child<QLabel>("iGetCertOK_label")->text().endsWith(QString::fromUtf8("déroulée !")));

    ModalAnswerer answerer;
    answerer.answer({ "OK", "Oui", "Oui" });
    _dialog->slot_showMsgBoxInfos(kernel::MsgBox_AbandonPDF, "x");
    _dialog->slot_showMsgBoxYesNoChoice(kernel::MsgBox_SaveOK, kernel::MsgBoxAnswer_Yes, kernel::MsgBoxAnswer_No);
    _dialog->slot_showMsgBoxYesNoChoice(kernel::MsgBox_SaveError, kernel::MsgBoxAnswer_Yes, kernel::MsgBoxAnswer_No);
    QTest::qWait(50);
    QCOMPARE(answerer.boxes().size(), 0);
    QCOMPARE(answers.count(), 0);
}

void tst_certificaterequestdialog::saveBoxes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");

    QTest::newRow("saved")     << int(kernel::MsgBox_SaveOK)
                               << QString::fromUtf8("Le certificat a été enregistré avec succès dans\n/home/ana/TOLVAND-Vega-Certificat-7.pdf");
    QTest::newRow("not saved") << int(kernel::MsgBox_SaveError)
                               << QString::fromUtf8("Erreur lors de l'enregistrement du certificat\nEssayez à nouveau en choissisant un autre dossier de destination.");
}

void tst_certificaterequestdialog::saveBoxes()
{
    QFETCH(int, type);
    QFETCH(QString, text);

    ModalAnswerer answerer;
    answerer.answer({ "OK" });
    _dialog->slot_showMsgBoxInfos(kernel::e_MsgBoxType(type), "/home/ana/TOLVAND-Vega-Certificat-7.pdf");
    QCOMPARE(answerer.boxes().size(), 1);
    const ModalAnswerer::Box box = answerer.boxes().first();
    QCOMPARE(box.title, QString("Enregistrement du certificat"));
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QStringList{ "OK" });
    QVERIFY(!box.hasParent);
    QVERIFY(box.flags.testFlag(Qt::WindowStaysOnTopHint));
}

void tst_certificaterequestdialog::abandonQuestion_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("reply");

    QTest::newRow("yes")       << "Oui"    << int(kernel::MsgBoxAnswer_Yes);
    QTest::newRow("no")        << "Non"    << int(kernel::MsgBoxAnswer_No);
    QTest::newRow("dismissed") << "Escape" << int(kernel::MsgBoxAnswer_No);
}

void tst_certificaterequestdialog::abandonQuestion()
{
    QFETCH(QString, answer);
    QFETCH(int, reply);

    QSignalSpy answers(_dialog, &CertificateRequestDialog::abandonPDF_Answer);
    ModalAnswerer answerer;
    answerer.answer({ answer });
    _dialog->slot_showMsgBoxYesNoChoice(kernel::MsgBox_AbandonPDF, kernel::MsgBoxAnswer_Yes, kernel::MsgBoxAnswer_No);

    QCOMPARE(answerer.boxes().size(), 1);
    const ModalAnswerer::Box box = answerer.boxes().first();
    QCOMPARE(box.title, QString::fromUtf8("Certificat disponible mais non enregistré sur l'ordinateur"));
    QCOMPARE(box.text, QString::fromUtf8(
        "Pour pouvoir lire et imprimer le certificat, vous devez l'enregistrer maintenant sur votre ordinateur."));
    QCOMPARE(box.informativeText, QString::fromUtf8("Etes-vous sûr de vouloir abandonner ce certificat ?"));
    QCOMPARE(box.buttons.size(), 2);
    QVERIFY(box.buttons.contains("Oui") && box.buttons.contains("Non"));
    QCOMPARE(box.defaultButton, QString("Non"));
    QVERIFY(!box.hasParent);
    QCOMPARE(answers.count(), 1);
    QCOMPARE(int(answers.first().at(0).value<kernel::e_MsgBoxAnswer>()), reply);
}

void tst_certificaterequestdialog::closeRequestIsRefused()
{
    _dialog->slot_switchCertificatePageTo(3, true);
    QVERIFY(!_dialog->close());
    QVERIFY(_dialog->isVisible());
    QCOMPARE(stack()->currentIndex(), 3);
}

void tst_certificaterequestdialog::cancelHidesAndTellsTheKernel()
{
    QSignalSpy cancelled(_dialog, &CertificateRequestDialog::cancelCertRequestedByCustomerOnInfos);
    _dialog->slot_switchCertificatePageTo(1, true);
    QTest::mouseClick(child<QPushButton>("iCancel2_pushButton"), Qt::LeftButton);
    QCOMPARE(cancelled.count(), 1);
    QVERIFY(!_dialog->isVisible());
}

QTEST_MAIN(tst_certificaterequestdialog)
#include "tst_certificaterequestdialog.moc"
