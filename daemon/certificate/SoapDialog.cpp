#include "SoapDialog.h"

#include "SoapMessage.h"
#include "certificateLogging.h"

#include <QDomDocument>

namespace {
const QString kNetworkMessage = QStringLiteral(") Impossible d'accéder au serveur. Merci de vérifier la connexion au "
                                               "réseau.\nSi besoin, désactivez votre antivirus\net votre pare-feu "
                                               "(firewall)");

// The text of the first child node of the first element of that name.
QString firstValue(const QDomDocument &document, const QString &strTagName)
{
    return document.elementsByTagName(strTagName).item(0).firstChild().nodeValue();
}
} // namespace

SoapDialog::SoapDialog(const QString &strBaseUrl, const QString &strPath, int servicePort)
    : _serviceUrl(strBaseUrl)
    , _strPath(strPath)
    , _timerSoapDialogTimeOut(new QTimer(this))
    , _timerWaitForRetry(new QTimer(this))
{
    _timerSoapDialogTimeOut->setSingleShot(true);
    _timerSoapDialogTimeOut->setInterval(11000);
    _timerWaitForRetry->setSingleShot(true);
    _timerWaitForRetry->setInterval(2700);
    connect(_timerWaitForRetry, &QTimer::timeout, this, &SoapDialog::slot_timerWaitForRetryTimeOut);
    connect(_timerSoapDialogTimeOut, &QTimer::timeout, this, &SoapDialog::slot_timerSoapDialogTimeOut);

    setServicePort(servicePort);
    connect(&_transport, &SoapHttpTransport::responseReady, this, &SoapDialog::slot_checkResponse);
    connect(this, &SoapDialog::soapResponseForServiceIsOKButMessageError, this,
        &SoapDialog::slot_soapResponseForServiceIsOKButMessageError);
    connect(this, &SoapDialog::soapDialogMessageError, this, &SoapDialog::slot_soapDialogMessageError);
    connect(this, &SoapDialog::soapResponseForServiceIsFault, this, &SoapDialog::slot_soapResponseForServiceIsFault);
}

void SoapDialog::setIntervals(int timeOutMs, int retryPauseMs)
{
    _timerSoapDialogTimeOut->setInterval(timeOutMs);
    _timerWaitForRetry->setInterval(retryPauseMs);
}

void SoapDialog::setServicePort(int port)
{
    _serviceUrl.setPort(port);
    _transport.setHost(_serviceUrl.host(), false, _serviceUrl.port());
}

void SoapDialog::abandonRequest()
{
    _timerSoapDialogTimeOut->stop();
    _timerWaitForRetry->stop();
    _waitingForResponse = false;
    _transport.abort();
}

void SoapDialog::sendGetCertificate(
    const QString &strName, const QString &strLastName, const QString &strSNID, int pnID, const QString &strEmail)
{
    if (_waitingForResponse)
        return;
    // A request pausing between attempts gives way to the new one.
    _timerWaitForRetry->stop();
    _retryCount = 0;
    _strRequestName = strName;
    _strRequestLastName = strLastName;
    _strRequestSNID = strSNID;
    _requestPnID = pnID;
    _strRequestEmail = strEmail;
    sendStoredRequest();
}

QString SoapDialog::errorText(e_SoapDialogError error)
{
    switch (error) {
    case SDE_Unknown:
        return QStringLiteral("Inconnue");
    case SDE_CIDZero:
        return QStringLiteral("CID zero!");
    case SDE_CUREmpty:
        return QStringLiteral("CUR empty!");
    case SDE_SNIDCollision:
        return QStringLiteral("SNID collision");
    case SDE_SGPFailure:
        return QStringLiteral("SGP failure");
    case SDE_SNSFailure:
        return QStringLiteral("SNS failure");
    }
    return QStringLiteral("Unknown");
}

void SoapDialog::sendStoredRequest()
{
    if (_waitingForResponse)
        return;
    _timerSoapDialogTimeOut->stop();

    SoapMessage message;
    message.setMethod(QStringLiteral("GetCertificate"), QString::fromUtf8(tvd::deployment::kServiceNamespace));
    message.addMethodArgument(QStringLiteral("device_id"), 0);
    message.addMethodArgument(QStringLiteral("devicetype"), _requestPnID);
    message.addMethodArgument(QStringLiteral("identifier"), _strRequestSNID);
    message.addMethodArgument(QStringLiteral("name"), _strRequestName + ' ' + _strRequestLastName);
    message.addMethodArgument(QStringLiteral("email"), _strRequestEmail);

    _transport.setAction(QStringLiteral("POST"));
    _timerSoapDialogTimeOut->start();
    _waitingForResponse = true;
    _transport.submitRequest(message, _strPath);
    qCDebug(lcSoap) << "messXml=" << message.toXmlString(2);
}

SoapDialog::Outcome SoapDialog::evaluateResponse(const SoapResponse &response)
{
    Outcome outcome;
    if (response.isFault()) {
        qCDebug(lcSoap) << "SoapResponse.isFault: " << response.faultString();
        outcome.kind = Outcome::e_Fault;
        outcome.strFault = response.faultString();
        return outcome;
    }

    qCDebug(lcSoap) << "soap response received:" << response.toXmlString();
    const QDomDocument &document = response.document();
    const QDomNodeList errorBlock = document.elementsByTagName(QStringLiteral("error")).item(0).childNodes();
    const QString strService = firstValue(document, QStringLiteral("service"));

    if (!errorBlock.isEmpty()) {
        const QString strErrorCode = errorBlock.item(0).firstChild().nodeValue();
        if (strErrorCode == QLatin1String("201")) {
            qCDebug(lcSoap) << "SoapDialog: strErrorCode 201";
            outcome.error = SDE_SNIDCollision;
        } else if (strErrorCode == QLatin1String("202")) {
            qCDebug(lcSoap) << "SoapDialog: strErrorCode 202";
            outcome.error = SDE_SGPFailure;
        } else {
            outcome.kind = Outcome::e_ServiceError;
            outcome.strErrorText = errorBlock.item(1).firstChild().nodeValue();
            outcome.strErrorComment = errorBlock.item(2).firstChild().nodeValue();
            outcome.strErrorArgs = errorBlock.item(3).firstChild().nodeValue();
            qCDebug(lcSoap) << "SoapDialogError:" << outcome.strErrorText << outcome.strErrorComment
                            << outcome.strErrorArgs;
        }
        return outcome;
    }

    qCDebug(lcSoap) << "strService=" << strService;
    if (strService.toLower() != QLatin1String("getcertificate")) {
        qCDebug(lcSoap) << "response about not a GetCertificate";
        outcome.error = SDE_SNSFailure;
        return outcome;
    }

    // Ids are 1 to 2147483647: anything else, above 32 bits, negative or no
    // number at all, counts as 0.
    bool idIsNumber = false;
    const qint32 certificateId = firstValue(document, QStringLiteral("certificat_id")).toInt(&idIsNumber);
    const QString strPdfUrl = firstValue(document, QStringLiteral("pdf_url"));
    if (!idIsNumber || certificateId <= 0) {
        qCDebug(lcSoap) << "int64_certificat_id is zero";
        outcome.error = SDE_CIDZero;
    } else if (strPdfUrl.isEmpty()) {
        qCDebug(lcSoap) << "int64_certificat_id strPDF_url.isEmpty()";
        outcome.error = SDE_CUREmpty;
    } else {
        outcome.kind = Outcome::e_Certificate;
        outcome.certificateId = quint64(qint64(certificateId));
        outcome.strPdfUrl = strPdfUrl;
    }
    return outcome;
}

void SoapDialog::slot_checkResponse()
{
    const SoapResponse &response = _transport.getResponse();
    qCDebug(lcSoap) << "enter slot_checkResponse()";
    if (!_waitingForResponse)
        return;
    _timerSoapDialogTimeOut->stop();
    _waitingForResponse = false;

    const Outcome outcome = evaluateResponse(response);
    switch (outcome.kind) {
    case Outcome::e_Certificate:
        emit fromServer_certificateIDAndPDFUrl(outcome.certificateId, outcome.strPdfUrl);
        break;
    case Outcome::e_Fault:
        emit soapResponseForServiceIsFault(outcome.strFault);
        break;
    case Outcome::e_Error:
        emit soapDialogMessageError(outcome.error);
        break;
    case Outcome::e_ServiceError:
        emit soapResponseForServiceIsOKButMessageError(
            outcome.strErrorText, outcome.strErrorComment, outcome.strErrorArgs);
        break;
    }
}

void SoapDialog::slot_timerSoapDialogTimeOut()
{
    if (!_waitingForResponse)
        return;
    _waitingForResponse = false;
    // The time-out is final: a hung service keeps no connection of ours.
    _transport.abort();
    emit soapDialogTimeOut();
}

void SoapDialog::slot_timerWaitForRetryTimeOut() { sendStoredRequest(); }

void SoapDialog::slot_soapResponseForServiceIsOKButMessageError(
    QString strErrorText, QString strErrorComment, QString strErrorArgs)
{
    if (countFailure())
        emit forOutside_soapDialogStrMessageError(
            "(SIOB) " + strErrorText + ":\n" + strErrorComment + "\n[" + strErrorArgs + "]");
}

void SoapDialog::slot_soapDialogMessageError(SoapDialog::e_SoapDialogError error)
{
    if (countFailure())
        emit forOutside_soapDialogStrMessageError("(SiF-679) " + errorText(error));
}

void SoapDialog::slot_soapResponseForServiceIsFault(QString strError)
{
    if (!countFailure())
        return;
    if (strError.contains(QLatin1String("Network transport Error"), Qt::CaseInsensitive))
        emit forOutside_soapDialogStrMessageError("(SiF-NeT" + kNetworkMessage);
    else if (strError.contains(QLatin1String("Xml parse error"), Qt::CaseInsensitive))
        emit forOutside_soapDialogStrMessageError("(SiF-XPa" + kNetworkMessage);
    else
        emit forOutside_soapDialogStrMessageError("(SiF-678) " + strError);
}

bool SoapDialog::countFailure()
{
    ++_retryCount;
    if (_retryCount < _maxRetry) {
        _timerWaitForRetry->start();
        return false;
    }
    _retryCount = _maxRetry + 1;
    return true;
}
