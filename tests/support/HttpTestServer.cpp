#include "HttpTestServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace {
constexpr qsizetype kChunkSize = 16384;

QByteArray statusLine(int status)
{
    return "HTTP/1.1 " + QByteArray::number(status) + (status < 400 ? " OK" : " Failed") + "\r\n";
}
} // namespace

HttpTestServer::HttpTestServer(QObject *parent)
    : QObject(parent)
{
    connect(&_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = _server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        }
    });
}

bool HttpTestServer::listen()
{
    return _server.listen(QHostAddress::LocalHost);
}

QUrl HttpTestServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(_server.serverPort()).arg(path));
}

void HttpTestServer::setRoute(const QString &path, const Route &route)
{
    _routes.insert(path, route);
}

int HttpTestServer::requestCount(const QString &path) const
{
    return _requestCounts.value(path);
}

int HttpTestServer::closedByClient(const QString &path) const
{
    return _closedByClient.value(path);
}

void HttpTestServer::onReadyRead(QTcpSocket *socket)
{
    // The requests of these tests carry no body: the head is the request.
    if (socket->property("answered").toBool() || !socket->peek(65536).contains("\r\n\r\n"))
        return;
    socket->setProperty("answered", true);
    const QList<QByteArray> requestLine = socket->readLine().trimmed().split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine.at(1)) : QString();
    ++_requestCounts[path];

    const int delayMs = _routes.value(path).delayMs;
    if (delayMs < 0)
        return;
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(delayMs, this, [this, guarded, path] {
        if (guarded)
            answer(guarded, path);
    });
}

void HttpTestServer::answer(QTcpSocket *socket, const QString &path)
{
    if (!_routes.contains(path)) {
        socket->write(statusLine(404) + "Content-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    const Route &route = _routes[path];
    if (_requestCounts.value(path) <= route.failFirst) {
        socket->write(statusLine(route.failStatus) + "Content-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }

    QByteArray head = statusLine(route.status) + "Content-Type: application/octet-stream\r\nConnection: close\r\n";
    const qint64 length = route.announcedLength >= 0 ? route.announcedLength : route.body.size();
    if (route.chunked) {
        socket->write(head + "Transfer-Encoding: chunked\r\n\r\n");
        for (qsizetype at = 0; at < route.body.size(); at += kChunkSize) {
            const QByteArray chunk = route.body.mid(at, kChunkSize);
            socket->write(QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n");
        }
    } else {
        socket->write(head + "Content-Length: " + QByteArray::number(length) + "\r\n\r\n");
        socket->write(route.dropMidBody ? route.body.left(route.body.size() / 2) : route.body);
    }
    if (route.extraBytes > 0) {
        sendExtraBytes(socket, path);
        return;
    }
    if (route.chunked)
        socket->write("0\r\n\r\n");
    socket->disconnectFromHost();
}

void HttpTestServer::sendExtraBytes(QTcpSocket *socket, const QString &path)
{
    const bool chunked = _routes[path].chunked;
    const QByteArray piece(kChunkSize, 'e');
    const QByteArray framed = chunked ? QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n" : piece;
    auto left = std::make_shared<qint64>(_routes[path].extraBytes);
    // A little ahead of the client, never the whole of it in memory.
    auto refill = [socket, framed, chunked, left] {
        while (*left > 0 && socket->state() == QAbstractSocket::ConnectedState
               && socket->bytesToWrite() < 4 * kChunkSize) {
            socket->write(framed);
            *left -= kChunkSize;
        }
        if (*left <= 0 && socket->bytesToWrite() == 0) {
            if (chunked)
                socket->write("0\r\n\r\n");
            socket->disconnectFromHost();
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, refill);
    connect(socket, &QTcpSocket::disconnected, this, [this, path, left] {
        if (*left > 0)
            ++_closedByClient[path];
    });
    refill();
}
