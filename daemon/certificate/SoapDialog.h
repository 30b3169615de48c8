#pragma once

#include "SoapHttpTransport.h"
#include "SoapResponse.h"
#include "deployment.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

// Sends "GetCertificate" to the certificate service and turns the answer into
// a certificate id with its PDF URL, a time-out, or one final error text.
class SoapDialog : public QObject
{
    Q_OBJECT

public:
    enum e_SoapDialogError {
        SDE_Unknown = 0,
        SDE_CIDZero = 1,
        SDE_CUREmpty = 2,
        SDE_SNIDCollision = 3,
        SDE_SGPFailure = 4,
        SDE_SNSFailure = 5,
    };
    Q_ENUM(e_SoapDialogError)

    // Only the host of the base URL is used; the port is the service port of
    // the deployment.
    SoapDialog(const QString &strBaseUrl, const QString &strPath, int servicePort = tvd::deployment::kServicePort);

    void setIntervals(int timeOutMs, int retryPauseMs);
    void setServicePort(int port);
    // A new request: its own arguments, a fresh count of attempts.
    void sendGetCertificate(
        const QString &strName, const QString &strLastName, const QString &strSNID, int pnID, const QString &strEmail);

    // The request in progress ends without any outcome: its exchange, its
    // time-out and its new attempts stop.
    void abandonRequest();

    static QString errorText(e_SoapDialogError error);

    // What one answer comes to: a certificate, a fault, one of our error
    // kinds, or the error block of the service.
    struct Outcome {
        enum e_Kind { e_Certificate, e_Fault, e_Error, e_ServiceError };
        e_Kind kind = e_Error;
        quint64 certificateId = 0;
        QString strPdfUrl;
        QString strFault;
        e_SoapDialogError error = SDE_Unknown;
        QString strErrorText;
        QString strErrorComment;
        QString strErrorArgs;
    };
    static Outcome evaluateResponse(const SoapResponse &response);

signals:
    void soapDialogTimeOut();
    void fromServer_certificateIDAndPDFUrl(quint64 fromServer_CertificateID, QString strPDF_url);
    void forOutside_soapDialogStrMessageError(QString strError);
    void soapResponseForServiceIsFault(QString strError);
    void soapDialogMessageError(SoapDialog::e_SoapDialogError);
    void soapResponseForServiceIsOKButMessageError(QString strErrorText, QString strErrorComment, QString strErrorArgs);

private slots:
    void slot_checkResponse();
    void slot_timerSoapDialogTimeOut();
    void slot_timerWaitForRetryTimeOut();
    void slot_soapResponseForServiceIsOKButMessageError(
        QString strErrorText, QString strErrorComment, QString strErrorArgs);
    void slot_soapDialogMessageError(SoapDialog::e_SoapDialogError error);
    void slot_soapResponseForServiceIsFault(QString strError);

private:
    void sendStoredRequest();
    // True when the failure is final; otherwise a new attempt is scheduled.
    bool countFailure();

    QUrl _serviceUrl;
    SoapHttpTransport _transport;
    QString _strPath;
    bool _waitingForResponse = false;
    QTimer *_timerSoapDialogTimeOut;
    int _retryCount = 0;
    int _maxRetry = 3;
    QTimer *_timerWaitForRetry;
    QString _strRequestName;
    QString _strRequestLastName;
    QString _strRequestSNID;
    int _requestPnID = 0;
    QString _strRequestEmail;
};
