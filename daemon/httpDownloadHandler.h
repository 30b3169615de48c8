#pragma once

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

// Fetches one file with a GET and writes it whole to a local path: one
// attempt at a time under a time limit, new attempts after network errors,
// and the outcome reported through signals.
class httpDownloadHandler : public QObject
{
    Q_OBJECT

public:
    enum e_DownloadEvent {
        DL_Error = 1,
        DL_TimeOut = 2,
        DL_Finished = 4,
    };
    Q_ENUM(e_DownloadEvent)

    explicit httpDownloadHandler(QObject *parent = nullptr);

    void setDownloadUrlAndFile(const QString &strUrl, const QString &strFilePath);
    // Shorter intervals for tests; the defaults are the deployed ones.
    void setIntervals(int timeOutMs, int waitBaseMs, int waitStepMs, int announceDelayMs);
    // Largest body accepted, in bytes; a larger one fails for good.
    void setMaxBodySize(qint64 bytes);

signals:
    void fileDownloadedAndWrote();
    void downloadDLProgress(int state);
    void networkErrorOccured(QString strErr);
    void networkErrorOccured_ButTryAgainPlease();
    void received_DLError(int);
    void received_DLFinished(int);
    void httpDLTimeOut(int);
    void writeFileFailed(QString);
    void writeFileOK();

public slots:
    void launchDownload();
    void writeDownloadedFile();
    void requestDownloadProgress(qint64 received, qint64 total);
    void slot_error(QNetworkReply::NetworkError err);
    void slot_abortRequest();
    void slot_timerWaitTimeOut();
    void slot_networkErrorOccured_ButTryAgainPlease();
    void slot_timerWaitBeforeNewTryTimeOut();
    void slot_receivedEventFromTheCurrentDL(int DLeventType);

private slots:
    void slot_finished();
    void slot_timerHttpDLTimeOut();

private:
    void resetFileState();
    void dropReply();
    // Nothing of the current file may reach the owner any more.
    void stopTimers();
    // Only web URLs are fetched: the URL may come from a remote answer.
    void refuseScheme();
    // A body over the limit fails for good, whenever it is seen.
    void checkBodySize();
    // All of the body received so far, which the handler then no longer holds.
    QByteArray takeBody();

    QNetworkAccessManager _manager;
    QUrl _url;
    QNetworkReply *_reply = nullptr;
    QString _strUrl;
    QString _strFilePath;
    QString _strLastNetworkError;
    QTimer *_timerWait;
    bool _aborting = false;
    int _downloadTry = 0;
    QTimer *_timerWaitBeforeNewTry;
    int _received_Event = 0;
    const int _maxDownloadTry = 3;
    int _waitStepMs = 2700;
    bool _downloadRunning = false;
    QTimer *_timerHttpDLTimeOut;
    int _timeOutMs = 11000;
    int _waitBaseMs = 2000;
    int _announceDelayMs = 2600;
    qint64 _maxBodySize = 64 * 1024 * 1024;
    QByteArray _body;
};
