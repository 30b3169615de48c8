// The kernel's side of a certificate request: from the customer's request to
// the PDF saved in a folder of the customer's choice.

#include "kernel.h"

#include "SoapDialog.h"
#include "daemonLogging.h"

#include <QDir>
#include <QFile>
#include <QTimer>

void kernel::startCertificateRequest()
{
    _certificateID = 0;
    _pdfSaved = false;
    emit switchCertificatePageTo(4, true);
    if (_textMessagesFileDownloaded) {
        runStep(checkDeviceAndOpenCertificateRequest);
        return;
    }
    _textMessagesFileDownloaded = true;
    _state = preparingTextMessagesDownload;
    _httpDownloadHandler.setDownloadUrlAndFile(
        _strToolsWebUrl + _textMessages.textOf(QStringLiteral("LocalizationWebDir")) + QLatin1Char('/')
            + _strTextMessagesFileName,
        textMessagesFilePath(_strDataFolder));
    _state = waitingTextMessagesFileFromHttp;
    _awaitedDownload = awaitsTextFile;
    _httpDownloadHandler.launchDownload();
}

void kernel::receiveTextMessagesFile()
{
    qCDebug(lcKernel) << "receivedTextMessagesFileFromHttp";
    if (!_textMessagesDownloadFailed) {
        const QString downloaded = textMessagesFilePath(_strDataFolder);
        qCDebug(lcKernel) << "try load from http getted file" << downloaded;
        const int report = _textMessages.loadFromFile(downloaded);
        if (report != 0) {
            qCDebug(lcKernel) << "err loading, err_report=" << report;
            _textMessages.loadFromFile(textMessagesFilePath(_strApplicationDir));
        }
    }
    sendCertificateTexts();
    _textMessagesDownloadFailed = false;
    runStep(checkDeviceAndOpenCertificateRequest);
}

void kernel::checkDeviceAndOpenRequest()
{
    const int id = _e6bitsCurrentPnID;
    if (id == 0 || id == 1 || id == 2 || id == 11 || id == 12) {
        _strErrorDetail = QStringLiteral("IPnID: ") + _snidCodec.deviceTypeName(id)
            + QStringLiteral(" : ce type d'appareil n'est pas certifiable");
        runStep(certificateError);
        return;
    }
    ++_certificateRequestCount;
    if (_certificateRequestCount > kMaxCertificateRequests) {
        _strErrorDetail = QStringLiteral("CMaxR: ") + _textMessages.textOf(QStringLiteral("CertifMaxReqReach"));
        runStep(certificateError);
        return;
    }
    emit setProgressMainBarStep(QString(), 0);
    emit setPnID_labels(_snidCodec.deviceTypeName(id));
    emit switchCertificatePageTo(0, true);
    _state = waitingCertificateFileFromHttp;
}

void kernel::showErrorStep(int step)
{
    QString message;
    if (step == certificateNetworkError) {
        message = _textMessages.textOf(QStringLiteral("NetworkError")) + QStringLiteral(" 23-") + _strNetworkErrorDetail;
        _strNetworkErrorDetail.clear();
    } else if (step == readEventFileError) {
        message = _textMessages.textOf(QStringLiteral("REEF-Error")) + QStringLiteral(" 24");
    } else {
        message = _textMessages.textOf(QStringLiteral("Error")) + QStringLiteral(" 25-") + _strErrorDetail;
        _strErrorDetail.clear();
    }
    endRunningExchanges();
    emit showCertErrorMessage(message);
    lightcleanVarState();
    _state = deviceReady;
}

void kernel::setCustomerInfos(const QString &strName, const QString &strLastName, const QString &strEmail)
{
    _strNameForCertificate = strName;
    _strLastNameForCertificate = strLastName;
    _strEmailForCertificate = strEmail;
}

void kernel::generateSNCertificateNumberAndSendWebRequest()
{
    const QString strNameCleaned = SnidCodec::cleanName(_strNameForCertificate);
    const QString strLastNameCleaned = SnidCodec::cleanName(_strLastNameForCertificate);
    const QString result = _snidCodec.makeSNID(strNameCleaned, strLastNameCleaned, _e6bitsCurrentPnID);
    const QString strSNID = result.section(QLatin1Char('['), 0, 0);
    qCDebug(lcKernel) << "strSNID=" << strSNID;
    qCDebug(lcKernel) << "NameForCertificate=" << _strNameForCertificate
                      << "LastNameForCertificate=" << _strLastNameForCertificate
                      << "_e6bitsCurrentPnID=" << _e6bitsCurrentPnID;
    qCDebug(lcKernel) << "strNameCleaned=" << strNameCleaned << "strLastNameCleaned=" << strLastNameCleaned
                      << "strEmail=" << _strEmailForCertificate;
    _certificateAnswerAwaited = true;
    _soapDialog->sendGetCertificate(
        _strNameForCertificate, _strLastNameForCertificate, strSNID, _e6bitsCurrentPnID, _strEmailForCertificate);
}

void kernel::slot_generateSNCertificateNumberAndSendWebRequest()
{
    generateSNCertificateNumberAndSendWebRequest();
}

void kernel::slot_soapDialogTimeOutReceived()
{
    qCDebug(lcKernel) << "slot_soapDialogTimeOutReceived";
    if (!_certificateAnswerAwaited)
        return;
    _certificateAnswerAwaited = false;
    emit showCertErrorMessage(QStringLiteral("Le serveur de délivrance des certificats semble indisponible"));
}

void kernel::slot_soapDialogStrMessageError(const QString &strError)
{
    qCDebug(lcKernel) << "slot_soapDialogStrMessageError";
    if (!_certificateAnswerAwaited)
        return;
    _certificateAnswerAwaited = false;
    emit showCertErrorMessage(strError);
}

void kernel::slot_fromServer_certificateIDAndPDFUrl(quint64 fromServerCertificateID, const QString &strPDFUrl)
{
    qCDebug(lcKernel) << "fromServerCertificateID=" << fromServerCertificateID;
    qCDebug(lcKernel) << "strPDFUrl=" << strPDFUrl;
    if (!_certificateAnswerAwaited) {
        qCDebug(lcKernel) << "no request waits for this certificate: ignored";
        return;
    }
    _certificateAnswerAwaited = false;
    emit setProgressMainBarStep(QStringLiteral("Téléchargement du certificat en cours..."), 66);
    // Without its folder, the PDF could never be written.
    if (!QDir(_strCertificateFolder).exists() && !QDir().mkdir(_strCertificateFolder))
        qCDebug(lcKernel) << "cannot create" << _strCertificateFolder;
    _httpDownloadHandler.setDownloadUrlAndFile(strPDFUrl, downloadedPdfPath());
    _state = waitingCertificateFileFromHttp;
    _certificateID = fromServerCertificateID;
    _timerDelayerForPDFDownload->start();
}

void kernel::slot_timerDelayerForPDFDownload_TimeOut()
{
    _awaitedDownload = awaitsPdf;
    _httpDownloadHandler.launchDownload();
}

kernel::e_AwaitedDownload kernel::awaitedDownload() const
{
    if (_awaitedDownload == awaitsTextFile && _state == waitingTextMessagesFileFromHttp)
        return awaitsTextFile;
    if (_awaitedDownload == awaitsPdf && _state == waitingCertificateFileFromHttp)
        return awaitsPdf;
    return awaitsNothing;
}

void kernel::abortAwaitedDownload()
{
    _awaitedDownload = awaitsNothing;
    emit DownloadAbortRequest();
}

void kernel::endRunningExchanges()
{
    _certificateAnswerAwaited = false;
    _soapDialog->abandonRequest();
    _timerDelayerForPDFDownload->stop();
    if (_awaitedDownload != awaitsNothing)
        abortAwaitedDownload();
}

void kernel::slot_httpDownloadProgressChanged(int state)
{
    if (awaitedDownload() == awaitsNothing) {
        qCDebug(lcKernel) << "slot_httpDownloadProgressChanged" << state << "of no awaited download: ignored";
        return;
    }
    emit httpDownloadProgressChanged(state);
}

void kernel::slot_fileDownloadedAndWrote()
{
    switch (awaitedDownload()) {
    case awaitsTextFile:
        qCDebug(lcKernel) << "slot_fileDownloadedAndWrote" << "waitingTextMessagesFileFromHttp";
        _awaitedDownload = awaitsNothing;
        runStep(receivedTextMessagesFileFromHttp);
        break;
    case awaitsPdf:
        qCDebug(lcKernel) << "slot_fileDownloadedAndWrote" << "waitingCertificateFileFromHttp";
        _awaitedDownload = awaitsNothing;
        runStep(receivedCertificateFile);
        break;
    case awaitsNothing:
        qCDebug(lcKernel) << "slot_fileDownloadedAndWrote of no awaited download: ignored, state" << _state;
        break;
    }
}

void kernel::slot_httpDownloadWriteFileFailed(const QString &strError)
{
    if (awaitedDownload() == awaitsNothing) {
        qCDebug(lcKernel) << "slot_httpDownloadWriteFileFailed of no awaited download: ignored" << strError;
        return;
    }
    awaitedDownloadFailed(_strErrorDetail, strError, certificateError);
}

void kernel::slot_httpDownloadWriteFileOK()
{
    if (awaitedDownload() == awaitsPdf)
        emit setProgressMainBarStep(QString(), 100);
}

void kernel::slot_networkErrorOccured(const QString &strErr)
{
    qCDebug(lcKernel) << "slot_networkErrorOccured" << strErr;
    if (awaitedDownload() == awaitsNothing) {
        qCDebug(lcKernel) << "slot_networkErrorOccured of no awaited download: ignored";
        return;
    }
    awaitedDownloadFailed(_strNetworkErrorDetail, strErr, certificateNetworkError);
}

// After a failure for good the handler keeps no reply and announces nothing
// more of that file. A request goes on without its texts; without its PDF it
// ends in the error step.
void kernel::awaitedDownloadFailed(QString &strPdfErrorDetail, const QString &strError, int pdfErrorStep)
{
    const e_AwaitedDownload failed = awaitedDownload();
    abortAwaitedDownload();
    if (failed == awaitsTextFile) {
        _textMessagesDownloadFailed = true;
        runStep(receivedTextMessagesFileFromHttp);
    } else {
        strPdfErrorDetail = strError;
        runStep(pdfErrorStep);
    }
}

void kernel::slot_cancelCertRequestedByCustomerOnInfos()
{
    emit hideWindowCertificate();
    runStep(certificateAbandoned);
}

void kernel::slot_savePDFChooseDir_pushButton_Clicked()
{
    const QString device = _snidCodec.deviceTypeName(_e6bitsCurrentPnID).replace(QLatin1Char(' '), QLatin1Char('_'));
    const QString strDirectoryForPDFSave = _chooseFolder();
    qCDebug(lcKernel) << "strDirectoryForPDFSave=" << strDirectoryForPDFSave;
    if (strDirectoryForPDFSave.isEmpty())
        return;
    const QString target = strDirectoryForPDFSave + QDir::separator() + QStringLiteral("TOLVAND-") + device
        + QStringLiteral("-Certificat-") + QString::number(_certificateID) + QStringLiteral(".pdf");
    qCDebug(lcKernel) << "will save here:" << target;
    // A copy never replaces an existing file.
    if (!QFile::copy(downloadedPdfPath(), target)) {
        emit showMsgBoxInfos(MsgBox_SaveError, QString());
        return;
    }
    _pdfSaved = true;
    emit showMsgBoxInfos(MsgBox_SaveOK, target);
}

void kernel::slot_exitBecauseOK_pushButton_Clicked()
{
    qCDebug(lcKernel) << "slot_exitBecauseOK_pushButton_Clicked";
    if (_pdfSaved) {
        runStep(receivedCertificateExitByTheCustomer);
        emit hideWindowCertificate();
        return;
    }
    emit showMsgBoxYesNoChoice(MsgBox_AbandonPDF, MsgBoxAnswer_Yes, MsgBoxAnswer_No);
}

void kernel::slot_exitBecauseError_pushButton_Clicked()
{
    qCDebug(lcKernel) << "slot_exitBecauseError_pushButton_Clicked";
    emit hideWindowCertificate();
    runStep(certificateAbandoned);
}

void kernel::slot_abandonPDF_Answer(kernel::e_MsgBoxAnswer reply)
{
    if (reply != MsgBoxAnswer_Yes)
        return;
    emit hideWindowCertificate();
    runStep(receivedCertificateExitByTheCustomer);
}

QString kernel::downloadedPdfPath() const
{
    return _strCertificateFolder + QDir::separator() + QStringLiteral("Certificate.pdf");
}
