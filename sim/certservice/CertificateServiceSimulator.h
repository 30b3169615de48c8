#pragma once

#include "CertificatePdf.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class QTcpSocket;

// Plays the web servers of a deployment on 127.0.0.1: the certificate
// service, the tools server with "tvdmon.ift" and the PDF server. Each
// failure the daemon must survive can be asked for on purpose.
class CertificateServiceSimulator : public QAbstractHttpServer
{
    Q_OBJECT

public:
    enum class FailMode {
        None,
        Fault,
        Code201,
        Code202,
        Other,
        Service,
        Id0,
        IdBig,
        NoUrl,
        BadXml,
        Hang,
        Http500,
        SlowPdf,
        NoPdf
    };
    Q_ENUM(FailMode)

    static std::optional<FailMode> failModeFromName(const QString &strName);
    static QStringList failModeNames();

    explicit CertificateServiceSimulator(QObject *parent = nullptr);

    // 0 picks a free port. Returns the port listened on, 0 on failure.
    quint16 start(quint16 port = 0);
    quint16 port() const;
    QString serviceUrl() const;
    QString toolsUrl() const;
    QString pdfBaseUrl() const;

    void setFailMode(FailMode mode);
    void setServiceName(const QString &strServiceName);
    void setAnswerDelay(int ms);
    void setSlowPdfDelay(int ms);

    int requestCount() const;
    QByteArray lastRequestBody() const;
    QByteArray lastRequestHeader(const QByteArray &name) const;
    QByteArray lastAnswerBody() const;

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Reply {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
    };

    void answerSoap(const QHttpServerRequest &request, QTcpSocket *socket);
    Reply soapReply(const QByteArray &body);
    Reply certificateReply(const QString &strSerial, const QString &strName, int deviceType);
    void answerPdf(const QString &strPath, QTcpSocket *socket);
    void sendLater(QTcpSocket *socket, const Reply &reply, int delayMs);
    static void send(QTcpSocket *socket, const Reply &reply);

    quint16 _port = 0;
    FailMode _failMode = FailMode::None;
    QString _strServiceName = QStringLiteral("GetCertificate");
    int _answerDelayMs = 0;
    int _slowPdfDelayMs = 20000;
    int _requestCount = 0;
    QByteArray _lastRequestBody;
    QList<QPair<QByteArray, QByteArray>> _lastRequestHeaders;
    QByteArray _lastAnswerBody;
    qint64 _nextCertificateId = 1001;
    QSet<QString> _seenSerials;
    QHash<qint64, CertificatePdf> _certificates;
};
