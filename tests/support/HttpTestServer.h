#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A local HTTP/1.1 server for tests, on 127.0.0.1 and a free port, with raw
// control of each answer. Every answer closes its connection.
class HttpTestServer : public QObject
{
    Q_OBJECT

public:
    struct Route {
        QByteArray body;
        int status = 200;
        // Chunked transfer, without Content-Length.
        bool chunked = false;
        // Answer this long after the request; -1: never answer.
        int delayMs = 0;
        // Announce the whole body, send half of it, close the connection.
        bool dropMidBody = false;
        // The first failFirst requests get failStatus and an empty body.
        int failFirst = 0;
        int failStatus = 503;
        // After the body, this many more bytes, sent as the client reads them.
        qint64 extraBytes = 0;
        // Content-Length sent instead of the body's size, when not -1.
        qint64 announcedLength = -1;
    };

    explicit HttpTestServer(QObject *parent = nullptr);

    bool listen();
    QUrl url(const QString &path) const;
    // Unknown paths answer 404.
    void setRoute(const QString &path, const Route &route);
    int requestCount(const QString &path) const;
    // Answers of that path whose connection the client closed first.
    int closedByClient(const QString &path) const;

private:
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QString &path);
    void sendExtraBytes(QTcpSocket *socket, const QString &path);

    QTcpServer _server;
    QHash<QString, Route> _routes;
    QHash<QString, int> _requestCounts;
    QHash<QString, int> _closedByClient;
};
