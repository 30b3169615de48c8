#pragma once

#include "SoapResponse.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkReply;
class SoapMessage;

// Posts SOAP requests over HTTP and hands back their answers. Only the answer
// of the latest request is reported: an earlier exchange still in flight is
// dropped when a new request is submitted, so that it can neither be taken
// for the newer answer nor hold a connection forever.
class SoapHttpTransport : public QObject
{
    Q_OBJECT

public:
    explicit SoapHttpTransport(QObject *parent = nullptr);

    void setHost(const QString &strHost, bool useSecureHTTP, int port);
    void setAction(const QString &strAction);
    void submitRequest(const SoapMessage &request, const QString &strPath);
    // Ends the exchange in flight without an answer.
    void abort();
    const SoapResponse &getResponse() const;

    // Larger answers are dropped as a failed exchange.
    static constexpr qint64 kMaxAnswerSize = 1024 * 1024;

signals:
    void responseReady();

private:
    void readReply(QNetworkReply *reply);
    // Moves what has come of the answer out of the reply; refuses it once it
    // is, or is announced, over the limit.
    void takeAnswerPart(QNetworkReply *reply);
    void refuseTooLarge(QNetworkReply *reply, qint64 bytes);

    QNetworkAccessManager _networkAccess;
    QString _strHost;
    bool _useSecureHTTP = false;
    int _port = 80;
    QString _strAction;
    QPointer<QNetworkReply> _currentReply;
    // What has come of the current exchange's answer.
    QByteArray _answer;
    SoapResponse _response;
};
