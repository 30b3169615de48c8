#include "httpDownloadHandler.h"

#include "daemonLogging.h"

#include <QNetworkRequest>
#include <QSaveFile>

namespace {
// Failure texts handed to the owner.
constexpr int kTimeOutTag = 677;
constexpr int kWriteFileTag = 676;
constexpr int kTooLargeTag = 680;
constexpr qint64 kReadAheadBytes = 64 * 1024;
} // namespace

httpDownloadHandler::httpDownloadHandler(QObject *parent)
    : QObject(parent)
    , _manager(this)
    , _timerWait(new QTimer(this))
    , _timerWaitBeforeNewTry(new QTimer(this))
    , _timerHttpDLTimeOut(new QTimer(this))
{
    for (QTimer *timer : { _timerWait, _timerWaitBeforeNewTry, _timerHttpDLTimeOut })
        timer->setSingleShot(true);
    connect(_timerHttpDLTimeOut, &QTimer::timeout, this, &httpDownloadHandler::slot_timerHttpDLTimeOut);
    connect(_timerWait, &QTimer::timeout, this, &httpDownloadHandler::slot_timerWaitTimeOut);
    connect(this, &httpDownloadHandler::networkErrorOccured_ButTryAgainPlease, this,
        &httpDownloadHandler::slot_networkErrorOccured_ButTryAgainPlease);
    connect(_timerWaitBeforeNewTry, &QTimer::timeout, this, &httpDownloadHandler::slot_timerWaitBeforeNewTryTimeOut);
    connect(this, &httpDownloadHandler::received_DLError, this,
        &httpDownloadHandler::slot_receivedEventFromTheCurrentDL);
    connect(this, &httpDownloadHandler::received_DLFinished, this,
        &httpDownloadHandler::slot_receivedEventFromTheCurrentDL);
    connect(this, &httpDownloadHandler::httpDLTimeOut, this,
        &httpDownloadHandler::slot_receivedEventFromTheCurrentDL);
}

void httpDownloadHandler::setDownloadUrlAndFile(const QString &strUrl, const QString &strFilePath)
{
    resetFileState();
    stopTimers();
    dropReply();
    _strFilePath = strFilePath;
    _strUrl = strUrl;
    _url.setUrl(strUrl);
}

void httpDownloadHandler::setIntervals(int timeOutMs, int waitBaseMs, int waitStepMs, int announceDelayMs)
{
    _timeOutMs = timeOutMs;
    _waitBaseMs = waitBaseMs;
    _waitStepMs = waitStepMs;
    _announceDelayMs = announceDelayMs;
}

void httpDownloadHandler::setMaxBodySize(qint64 bytes)
{
    _maxBodySize = bytes;
}

void httpDownloadHandler::launchDownload()
{
    if (_downloadRunning)
        return;
    _timerHttpDLTimeOut->stop();
    const QString scheme = _url.scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        refuseScheme();
        return;
    }
    emit downloadDLProgress(0);
    dropReply();
    qCDebug(lcDownload) << _strUrl;
    qCDebug(lcDownload) << _strFilePath;
    _received_Event = 0;
    _reply = _manager.get(QNetworkRequest(_url));
    // The body is taken out of the reply as it comes, a little at a time:
    // Qt reads no further ahead, so no more than the limit is ever held.
    _reply->setReadBufferSize(kReadAheadBytes);
    connect(_reply, &QNetworkReply::metaDataChanged, this, &httpDownloadHandler::checkBodySize);
    connect(_reply, &QNetworkReply::readyRead, this, &httpDownloadHandler::checkBodySize);
    connect(_reply, &QNetworkReply::finished, this, &httpDownloadHandler::slot_finished);
    connect(_reply, &QNetworkReply::downloadProgress, this, &httpDownloadHandler::requestDownloadProgress);
    connect(_reply, &QNetworkReply::errorOccurred, this, &httpDownloadHandler::slot_error);
    _timerHttpDLTimeOut->start(_timeOutMs);
    _downloadRunning = true;
}

void httpDownloadHandler::refuseScheme()
{
    _strLastNetworkError = QString::number(QNetworkReply::ProtocolUnknownError);
    _downloadTry = _maxDownloadTry + 20;
    qCDebug(lcDownload) << "launchDownload: refused scheme" << _url.scheme() << "of" << _strUrl;
    emit networkErrorOccured(QLatin1String("HDL-Error:") + _strLastNetworkError);
}

void httpDownloadHandler::checkBodySize()
{
    _body += _reply->readAll();
    const qint64 announced = _reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    const qint64 bytes = qMax(announced, qint64(_body.size()));
    if (bytes <= _maxBodySize)
        return;
    _body.clear();
    qCDebug(lcDownload) << "checkBodySize: body of" << bytes << "bytes or more, over" << _maxBodySize;
    // After a time-out the failure is already known: the late reply only has
    // to stop growing.
    const bool alreadyFailed = !_downloadRunning;
    QNetworkReply *reply = _reply;
    dropReply();
    reply->abort();
    stopTimers();
    _downloadTry = _maxDownloadTry + 20;
    if (!alreadyFailed)
        emit networkErrorOccured(QLatin1String("HDL-TooLarge:") + QString::number(kTooLargeTag));
}

void httpDownloadHandler::writeDownloadedFile()
{
    if (!_reply)
        return;
    // The destination changes only once every byte is written and committed,
    // so a failed write leaves the previous copy as it was. Unbuffered: a
    // buffered write would report a short write at commit as a success.
    QSaveFile file(_strFilePath);
    const QByteArray body = takeBody();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qCDebug(lcDownload) << "writeDownloadedFile : !file.open(QIODevice::WriteOnly)";
        emit networkErrorOccured(QLatin1String("WFE:") + _strFilePath + QLatin1String(": ")
            + QString::number(kWriteFileTag));
        return;
    }
    const qint64 written = file.write(body);
    const bool whole = written == body.size();
    const QString strWriteError = file.error() != QFileDevice::NoError
        ? file.errorString()
        : QStringLiteral("%1 of %2 bytes written").arg(qMax(written, qint64(0))).arg(body.size());
    const bool committed = whole && file.commit();
    // Armed first, so that an owner who aborts on the outcome stops it too.
    _timerWait->start(_announceDelayMs);
    if (committed)
        emit writeFileOK();
    else
        emit writeFileFailed(whole ? file.errorString() : strWriteError);
}

void httpDownloadHandler::requestDownloadProgress(qint64 received, qint64 total)
{
    if (received == 0 && total == 0)
        return;
    // Qt reports the size as known when a reply without Content-Length ends:
    // only a size the server announced can be complete.
    const bool announced = _reply && _reply->header(QNetworkRequest::ContentLengthHeader).isValid();
    emit downloadDLProgress(announced && received != 0 && received == total ? 100 : 1);
}

void httpDownloadHandler::slot_error(QNetworkReply::NetworkError err)
{
    _strLastNetworkError = QString::number(err);
    emit received_DLError(DL_Error);
}

void httpDownloadHandler::slot_abortRequest()
{
    _aborting = true;
    if (_reply) {
        // Delivers the reply's error and finished() now, while _aborting
        // keeps them from scheduling or announcing anything.
        _reply->abort();
        dropReply();
    }
    stopTimers();
    resetFileState();
}

void httpDownloadHandler::slot_timerWaitTimeOut()
{
    if (!_aborting)
        emit fileDownloadedAndWrote();
}

void httpDownloadHandler::slot_networkErrorOccured_ButTryAgainPlease()
{
    if (_aborting)
        return;
    emit downloadDLProgress(222);
    _timerWaitBeforeNewTry->start(_downloadTry * _waitStepMs + _waitBaseMs);
}

void httpDownloadHandler::slot_timerWaitBeforeNewTryTimeOut()
{
    launchDownload();
}

void httpDownloadHandler::slot_receivedEventFromTheCurrentDL(int DLeventType)
{
    qCDebug(lcDownload) << "@@@ slot_receivedEventFromTheCurrentDL(DLeventType=" << DLeventType;
    _received_Event |= DLeventType;
    if (DLeventType & DL_TimeOut) {
        qCDebug(lcDownload) << "  @ slot_receivedEventFromTheCurrentDL : DLeventType recu is DL_TimeOut";
        _downloadTry = _maxDownloadTry + 10;
    } else if (_received_Event == DL_Error) {
        _timerHttpDLTimeOut->stop();
        _downloadRunning = false;
        qCDebug(lcDownload) << "  @ slot_receivedEventFromTheCurrentDL : _received_Event == DL_Error";
        return;
    } else if (_received_Event == DL_Finished) {
        if (_downloadRunning) {
            _timerHttpDLTimeOut->stop();
            _downloadRunning = false;
            writeDownloadedFile();
            qCDebug(lcDownload) << "  @ slot_receivedEventFromTheCurrentDL : _received_Event == DL_Finished";
        } else if (_reply) {
            takeBody();
        }
        return;
    }

    qCDebug(lcDownload) << "  @ slot_receivedEventFromTheCurrentDL : _downloadTry++";
    _timerHttpDLTimeOut->stop();
    _downloadRunning = false;
    ++_downloadTry;
    if (_downloadTry <= _maxDownloadTry) {
        qCDebug(lcDownload) << "  @ slot_receivedEventFromTheCurrentDL : _downloadTry=" << _downloadTry;
        qCDebug(lcDownload) << "now emit networkErrorOccured_ButTryAgainPlease()";
        emit networkErrorOccured_ButTryAgainPlease();
        return;
    }
    _downloadTry = _maxDownloadTry + 20;
    if (_aborting)
        return;
    qCDebug(lcDownload) << "now emit networkErrorOccured()";
    if (_received_Event & DL_TimeOut)
        emit networkErrorOccured(QLatin1String("HDL-TimeOut:") + QString::number(kTimeOutTag));
    else
        emit networkErrorOccured(QLatin1String("HDL-Error:") + _strLastNetworkError);
}

void httpDownloadHandler::slot_finished()
{
    emit received_DLFinished(DL_Finished);
}

void httpDownloadHandler::slot_timerHttpDLTimeOut()
{
    if (!_downloadRunning)
        return;
    _downloadRunning = false;
    emit httpDLTimeOut(DL_TimeOut);
}

void httpDownloadHandler::resetFileState()
{
    _strLastNetworkError.clear();
    _aborting = false;
    _downloadTry = 0;
    _received_Event = 0;
}

void httpDownloadHandler::stopTimers()
{
    _timerHttpDLTimeOut->stop();
    _downloadRunning = false;
    _timerWait->stop();
    _timerWaitBeforeNewTry->stop();
}

QByteArray httpDownloadHandler::takeBody()
{
    QByteArray body = _body + _reply->readAll();
    _body.clear();
    return body;
}

void httpDownloadHandler::dropReply()
{
    _body.clear();
    if (!_reply)
        return;
    _reply->disconnect(this);
    _reply->deleteLater();
    _reply = nullptr;
}
