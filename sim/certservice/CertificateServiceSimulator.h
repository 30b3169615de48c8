#pragma once

#include "CertificatePdf.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTcpSocket>

#include <optional>

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
        IdText,
        IdNegative,
        NoId,
        NoUrl,
        BadXml,
        ErrorText,
        Fault200,
        Huge,
        Hang,
        Http500,
        NoTools,
        SlowPdf,
        NoPdf,
        CutPdf
    };
    Q_ENUM(FailMode)

    // Answers larger than the daemon takes.
    static constexpr int kHugeAnswerSize = 2 * 1024 * 1024;

    static std::optional<FailMode> failModeFromName(const QString &strName);
    static QStringList failModeNames();

    explicit CertificateServiceSimulator(QObject *parent = nullptr);

    // 0 picks a free port. Returns the port listened on, 0 on failure.
    quint16 start(quint16 port = 0);
    quint16 port() const;
    QString serviceUrl() const;
    QString toolsUrl() const;
    QString pdfBaseUrl() const;

    // The mode holds for the next count requests it concerns (SOAP, text
    // file or PDF), or for all of them when count is -1; then all is well.
    void setFailMode(FailMode mode, int count = -1);
    void setNextCertificateId(qint64 id);
    void setServiceName(const QString &strServiceName);
    void setAnswerDelay(int ms);
    void setSlowPdfDelay(int ms);

    int requestCount() const;
    // Requests left unanswered on purpose whose client is still connected.
    int hungConnections() const;
    QByteArray lastRequestBody() const;
    QByteArray lastRequestHeader(const QByteArray &name) const;
    QByteArray lastAnswerBody() const;
    QByteArray lastPdfBody() const;

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Reply {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
    };

    enum class Target { Soap, Tools, Pdf };

    static Target targetOf(FailMode mode);
    // The mode that applies to this request, counting it.
    FailMode takeFailMode(Target target);
    void answerSoap(const QHttpServerRequest &request, QTcpSocket *socket);
    Reply soapReply(const QByteArray &body, FailMode mode);
    Reply certificateReply(const QString &strSerial, const QString &strName, int deviceType, FailMode mode);
    void answerTools(QTcpSocket *socket);
    void answerPdf(const QString &strPath, QTcpSocket *socket);
    void sendLater(QTcpSocket *socket, const Reply &reply, int delayMs);
    // The whole body, or only its first bodyBytes.
    static void send(QTcpSocket *socket, const Reply &reply, qsizetype bodyBytes = -1);

    quint16 _port = 0;
    FailMode _failMode = FailMode::None;
    int _failCount = -1;
    QList<QPointer<QTcpSocket>> _hungSockets;
    QString _strServiceName = QStringLiteral("GetCertificate");
    int _answerDelayMs = 0;
    int _slowPdfDelayMs = 20000;
    int _requestCount = 0;
    QByteArray _lastRequestBody;
    QList<QPair<QByteArray, QByteArray>> _lastRequestHeaders;
    QByteArray _lastAnswerBody;
    QByteArray _lastPdfBody;
    qint64 _nextCertificateId = 1001;
    QSet<QString> _seenSerials;
    QHash<qint64, CertificatePdf> _certificates;
};
