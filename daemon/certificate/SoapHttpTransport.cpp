#include "SoapHttpTransport.h"

#include "SoapMessage.h"
#include "certificateLogging.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {
constexpr qint64 kReadAheadBytes = 64 * 1024;
} // namespace

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
    // The answer is taken out of the reply as it comes, a little at a time:
    // Qt reads no further ahead, so no more than the limit is ever held.
    reply->setReadBufferSize(kReadAheadBytes);
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { takeAnswerPart(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { takeAnswerPart(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { readReply(reply); });
    // An exchange that never ended would hold one of the few connections to
    // the host for good; its answer could no longer be used anyway.
    QPointer<QNetworkReply> earlierReply = _currentReply;
    _currentReply = reply;
    _answer.clear();
    if (earlierReply && earlierReply->isRunning())
        earlierReply->abort();
}

void SoapHttpTransport::abort()
{
    QPointer<QNetworkReply> reply = _currentReply;
    _currentReply = nullptr;
    _answer.clear();
    if (reply && reply->isRunning())
        reply->abort();
}

const SoapResponse &SoapHttpTransport::getResponse() const { return _response; }

void SoapHttpTransport::takeAnswerPart(QNetworkReply *reply)
{
    // Earlier exchanges are aborted: nothing of theirs is kept.
    if (reply != _currentReply)
        return;
    _answer += reply->readAll();
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    const qint64 bytes = qMax(announced, qint64(_answer.size()));
    if (bytes > kMaxAnswerSize)
        refuseTooLarge(reply, bytes);
}

void SoapHttpTransport::refuseTooLarge(QNetworkReply *reply, qint64 bytes)
{
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    _currentReply = nullptr;
    _answer.clear();
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
    const QByteArray body = _answer + reply->readAll();
    _answer.clear();
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
