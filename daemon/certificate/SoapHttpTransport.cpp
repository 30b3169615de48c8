#include "SoapHttpTransport.h"

#include "SoapMessage.h"
#include "certificateLogging.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

SoapHttpTransport::SoapHttpTransport(QObject *parent)
    : QObject(parent)
{
}

void SoapHttpTransport::setHost(const QString &strHost, bool useSecureHTTP, int port)
{
    _strHost = strHost;
    _useSecureHTTP = useSecureHTTP;
    _port = port;
}

void SoapHttpTransport::setAction(const QString &strAction) { _strAction = strAction; }

void SoapHttpTransport::submitRequest(const SoapMessage &request, const QString &strPath)
{
    QUrl url;
    url.setScheme(_useSecureHTTP ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(_strHost);
    url.setPort(_port);
    url.setPath(strPath.startsWith('/') ? strPath : '/' + strPath);

    QNetworkRequest httpRequest(url);
    httpRequest.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/xml;charset=utf-8"));
    httpRequest.setRawHeader(QByteArrayLiteral("SOAPAction"), _strAction.toUtf8());

    QNetworkReply *reply = _networkAccess.post(httpRequest, request.toXmlString(2).toUtf8());
    connect(reply, &QNetworkReply::finished, this, [this, reply] { readReply(reply); });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64 total) {
        if (received > kMaxAnswerSize || total > kMaxAnswerSize)
            refuseTooLarge(reply, qMax(received, total));
    });
    // An exchange that never ended would hold one of the few connections to
    // the host for good; its answer could no longer be used anyway.
    QPointer<QNetworkReply> earlierReply = _currentReply;
    _currentReply = reply;
    if (earlierReply && earlierReply->isRunning())
        earlierReply->abort();
}

void SoapHttpTransport::abort()
{
    QPointer<QNetworkReply> reply = _currentReply;
    _currentReply = nullptr;
    if (reply && reply->isRunning())
        reply->abort();
}

const SoapResponse &SoapHttpTransport::getResponse() const { return _response; }

void SoapHttpTransport::refuseTooLarge(QNetworkReply *reply, qint64 bytes)
{
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    if (reply != _currentReply)
        return;
    _currentReply = nullptr;
    qCDebug(lcSoap) << "answer of" << bytes << "bytes or more dropped, over" << kMaxAnswerSize;
    _response.setFault(QStringLiteral("Network transport error: answer larger than %1 bytes").arg(kMaxAnswerSize));
    emit responseReady();
}

void SoapHttpTransport::readReply(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != _currentReply) {
        qCDebug(lcSoap) << "answer of an earlier request dropped";
        return;
    }
    const QByteArray body = reply->readAll();
    if (reply->error() == QNetworkReply::NoError) {
        _response.setContent(body);
    } else {
        // SOAP 1.1 services send their faults with an HTTP error status.
        _response.setContent(body);
        if (!_response.isFault() || _response.faultString().startsWith(QLatin1String("XML parse error")))
            _response.setFault(
                QStringLiteral("Network transport error (%1): %2").arg(int(reply->error())).arg(reply->errorString()));
    }
    emit responseReady();
}
