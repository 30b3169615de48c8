#include "CertificateRequestDialog.h"

#include "daemonLogging.h"
#include "ui_CertificateRequestDialog.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace {

constexpr Qt::WindowFlags kBoxFlags = Qt::WindowStaysOnTopHint | Qt::WindowTitleHint;

const QRegularExpression &emailPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("[a-z0-9!#$%&'*+/=?^_`{|}~-]+(?:\\.[a-z0-9!#$%&'*+/=?^_`{|}~-]+)*@"
                       "(?:[a-z0-9](?:[a-z0-9-]*[a-z0-9])?\\.)+[a-z0-9](?:[a-z0-9-]*[a-z0-9])?"));
    return pattern;
}

} // namespace

CertificateRequestDialog::CertificateRequestDialog(kernel *k, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog)
    , _kernel(k)
{
    qCDebug(lcDialog) << "done22";
    ui->setupUi(this);
    setWindowTitle(tr("Demande de certificat"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    hide();
    qCDebug(lcDialog) << "done37";

    connect(ui->iInfosEdited_pushButton, &QPushButton::clicked, this, &CertificateRequestDialog::slot_infosEdited);
    connect(ui->iWantToAlterEditedInfos_pushButton, &QPushButton::clicked, this,
        &CertificateRequestDialog::slot_wantToAlterEditedInfos);
    connect(ui->iCancel1_pushButton, &QPushButton::clicked, this,
        &CertificateRequestDialog::slot_cancelCertRequestedByCustomerOnInfos);
    connect(ui->iCancel2_pushButton, &QPushButton::clicked, this,
        &CertificateRequestDialog::slot_cancelCertRequestedByCustomerOnInfos);
    connect(ui->iInfosConfirmed_pushButton, &QPushButton::clicked, this, &CertificateRequestDialog::slot_getCertificate);
    if (_kernel)
        connectKernel();
    ui->retryingHttp_label->hide();

    _activityTicksPerStep = 5;
    _activityPos = 0;
    _activityDirection = 1;
}

CertificateRequestDialog::~CertificateRequestDialog()
{
    delete ui;
}

void CertificateRequestDialog::connectKernel()
{
    connect(_kernel, &kernel::httpDownloadProgressChanged, this,
        &CertificateRequestDialog::slot_httpDownloadProgressChanged);
    connect(this, &CertificateRequestDialog::cancelCertRequestedByCustomerOnInfos, _kernel,
        &kernel::slot_cancelCertRequestedByCustomerOnInfos);
    connect(_kernel, &kernel::setPnID_labels, this, &CertificateRequestDialog::slot_setPnID_labels);
    connect(_kernel, &kernel::switchCertificatePageTo, this, &CertificateRequestDialog::slot_switchCertificatePageTo);
    connect(_kernel, &kernel::setProgressMainBarStep, this, &CertificateRequestDialog::slot_setProgressMainBarStep);
    connect(_kernel, &kernel::hideWindowCertificate, this, &CertificateRequestDialog::slot_hideWindowCertificate);
    connect(ui->iSavePDFChooseDir_pushButton, &QPushButton::clicked, _kernel,
        &kernel::slot_savePDFChooseDir_pushButton_Clicked);
    connect(ui->iExitBecauseOK_pushButton, &QPushButton::clicked, _kernel,
        &kernel::slot_exitBecauseOK_pushButton_Clicked);
    connect(ui->iExitBecauseError_pushButton, &QPushButton::clicked, _kernel,
        &kernel::slot_exitBecauseError_pushButton_Clicked);
    connect(_kernel, &kernel::showMsgBoxInfos, this, &CertificateRequestDialog::slot_showMsgBoxInfos);
    connect(_kernel, &kernel::showMsgBoxYesNoChoice, this, &CertificateRequestDialog::slot_showMsgBoxYesNoChoice);
    connect(this, &CertificateRequestDialog::abandonPDF_Answer, _kernel, &kernel::slot_abandonPDF_Answer);
    connect(_kernel, &kernel::showCertErrorMessage, this, &CertificateRequestDialog::slot_showCertErrorMessage);
    connect(_kernel, &kernel::setTextForCertificate, this, &CertificateRequestDialog::slot_setTextForCertificate);
}

void CertificateRequestDialog::slot_httpDownloadProgressChanged(int state)
{
    if (state == 222) {
        ui->retryingHttp_label->show();
        return;
    }
    if (state == 0) {
        _activityPos = 0;
        _activityTick = 0;
        _activityDirection = 1;
        ui->showerHttpActivity_horizontalScrollBar->setValue(0);
        ui->showerHttpActivity_horizontalScrollBar->show();
        ui->retryingHttp_label->hide();
    }
    if (_activityTick == 0)
        ui->showerHttpActivity_horizontalScrollBar->setValue(_activityPos);
    if (++_activityTick == _activityTicksPerStep) {
        _activityTick = 0;
        _activityPos += 10 * _activityDirection;
        if (_activityPos < 1 || _activityPos > 99)
            _activityDirection = -_activityDirection;
    }
}

void CertificateRequestDialog::slot_switchCertificatePageTo(int page, bool visible)
{
    qCDebug(lcDialog) << "slot_switchCertificatePageTo" << page << visible;
    if (visible) {
        ui->iStepStackedWidget->setCurrentIndex(page);
        show();
    } else {
        hide();
        ui->iStepStackedWidget->setCurrentIndex(page);
    }
}

void CertificateRequestDialog::slot_setPnID_labels(const QString &strPnID)
{
    ui->iProductName_label->setText(strPnID);
    ui->iConfirm_ProductName_label->setText(strPnID);
}

void CertificateRequestDialog::slot_setProgressMainBarStep(const QString &strTextStep, int percentStep)
{
    ui->iGetCertificateStep_label->setText(strTextStep);
    ui->iGetCertificateStep_progressBar->setValue(percentStep);
}

void CertificateRequestDialog::slot_setTextForCertificate(const QString &strText, kernel::e_TextID certTextID)
{
    QLabel *label = nullptr;
    switch (certTextID) {
    case kernel::TextID_CertifPresentation:
        label = ui->iExplicProcedureLabel;
        break;
    case kernel::TextID_CertifPdfExplanation:
        label = ui->iPdfExplaination;
        break;
    case kernel::TextID_CertifTransmissionOK:
        label = ui->iGetCertOK_label;
        break;
    }
    if (!label)
        return;
    label->setText(strText);
    label->repaint();
}

void CertificateRequestDialog::warn(const QString &strMessage)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("TOLVAND MANAGER 3.9"), strMessage, QMessageBox::Ok, this,
        kBoxFlags);
    box.exec();
}

void CertificateRequestDialog::slot_infosEdited()
{
    // As typed: a name of one blank is a name.
    const QString strEnteredName = ui->iName_lineEdit->text();
    const QString strEnteredlastName = ui->iLastName_lineEdit->text();
    const QString strEnteredEmailAdress = ui->iEmailAdress_lineEdit->text();
    if (strEnteredName.isEmpty()) {
        qCDebug(lcDialog) << "strEnteredName.isEmpty()";
        warn(QStringLiteral("Vous devez mentionner un nom."));
        return;
    }
    if (strEnteredlastName.isEmpty()) {
        qCDebug(lcDialog) << "strEnteredlastName.isEmpty()";
        warn(QStringLiteral("Vous devez mentionner un prénom."));
        return;
    }
    if (strEnteredEmailAdress.isEmpty()) {
        qCDebug(lcDialog) << "strEnteredEmailAdress.isEmpty()";
        warn(QStringLiteral("Vous devez mentionner une adresse email."));
        return;
    }
    if (!checkEmailAddress(strEnteredEmailAdress)) {
        warn(QStringLiteral("L'adresse e-mail que vous avez indiqué présente une erreur.\n"
                            "Corrigez la ou indiquez une autre adresse e-mail."));
        return;
    }
    qCDebug(lcDialog).noquote() << '"' + strEnteredName + "\" , \"" + strEnteredlastName + "\" , \""
            + strEnteredEmailAdress + "\" are ok";
    if (!_kernel)
        return;
    _kernel->setCustomerInfos(strEnteredName, strEnteredlastName, strEnteredEmailAdress);
    ui->iConfirm_Name_label->setText(strEnteredName);
    ui->iConfirm_LastName_label->setText(strEnteredlastName);
    ui->iConfirm_EmailAdress_label->setText(strEnteredEmailAdress);
    ui->iStepStackedWidget->setCurrentIndex(1);
}

bool CertificateRequestDialog::checkEmailAddress(const QString &strEmailAddress) const
{
    const QString address = strEmailAddress.toLower();
    // Searched, not matched whole: the "@" checks below judge the whole text.
    if (!emailPattern().match(address).hasMatch()) {
        qCDebug(lcDialog) << address << "is RegExp not ok!";
        return false;
    }
    qCDebug(lcDialog) << address << "is RegExp ok!";
    const QString before = address.section(QLatin1Char('@'), 0, 0);
    const QString after = address.section(QLatin1Char('@'), 1);
    if (before.isEmpty()) {
        qCDebug(lcDialog) << address << ": before is empty!";
        return false;
    }
    if (after.isEmpty()) {
        qCDebug(lcDialog) << address << ": after is empty!";
        return false;
    }
    if (after.contains(QLatin1Char('@'))) {
        qCDebug(lcDialog) << after << ":after cotains @ !";
        return false;
    }
    qCDebug(lcDialog) << before << after;
    return true;
}

void CertificateRequestDialog::slot_wantToAlterEditedInfos()
{
    ui->iStepStackedWidget->setCurrentIndex(0);
}

void CertificateRequestDialog::slot_cancelCertRequestedByCustomerOnInfos()
{
    emit cancelCertRequestedByCustomerOnInfos();
    hide();
}

void CertificateRequestDialog::slot_getCertificate()
{
    if (!_kernel)
        return;
    _kernel->generateSNCertificateNumberAndSendWebRequest();
    slot_setProgressMainBarStep(QStringLiteral("Contact du serveur en cours..."), 33);
    ui->iStepStackedWidget->setCurrentIndex(2);
}

void CertificateRequestDialog::slot_hideWindowCertificate()
{
    hide();
}

void CertificateRequestDialog::slot_showMsgBoxInfos(kernel::e_MsgBoxType msgBoxType, const QString &strDetails)
{
    QString text;
    if (msgBoxType == kernel::MsgBox_SaveOK)
        text = QStringLiteral("Le certificat a été enregistré avec succès dans\n") + strDetails;
    else if (msgBoxType == kernel::MsgBox_SaveError)
        text = QStringLiteral("Erreur lors de l'enregistrement du certificat\n"
                              "Essayez à nouveau en choissisant un autre dossier de destination.");
    else
        return;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Enregistrement du certificat"), text, QMessageBox::Ok,
        nullptr, kBoxFlags);
    box.exec();
}

void CertificateRequestDialog::slot_showMsgBoxYesNoChoice(
    kernel::e_MsgBoxType msgBoxType, kernel::e_MsgBoxAnswer replyForYes, kernel::e_MsgBoxAnswer replyForNo)
{
    if (msgBoxType != kernel::MsgBox_AbandonPDF)
        return;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Certificat disponible mais non enregistré sur l'ordinateur"),
        QStringLiteral("Pour pouvoir lire et imprimer le certificat, vous devez l'enregistrer maintenant sur votre "
                       "ordinateur."),
        QMessageBox::NoButton, nullptr, kBoxFlags);
    box.setInformativeText(QStringLiteral("Etes-vous sûr de vouloir abandonner ce certificat ?"));
    QPushButton *yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.exec();
    emit abandonPDF_Answer(box.clickedButton() == yes ? replyForYes : replyForNo);
}

void CertificateRequestDialog::slot_showCertErrorMessage(const QString &strError)
{
    ui->iErrorDetails_label->setText(strError);
    slot_switchCertificatePageTo(5, true);
}

void CertificateRequestDialog::closeEvent(QCloseEvent *event)
{
    event->ignore();
}
