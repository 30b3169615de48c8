#include "CertificateServiceSimulator.h"

#include "GetCertificateRequest.h"
#include "SoapAnswerWriter.h"
#include "deployment.h"
#include "simLogging.h"

#include <QFile>
#include <QGuiApplication>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QMetaEnum>
#include <QTimer>
#include <QUrl>

#include <algorithm>

// Resources of a static library are registered by hand, outside any namespace.
static void initResources() { Q_INIT_RESOURCE(certservice); }

namespace {
const QString kPdfPath = QStringLiteral("/certificates/");

QString servicePath()
{
    return QUrl(QString::fromUtf8(tvd::deployment::kServiceUrl)).path() + QStringLiteral("/TolvandCiServices");
}

QString toolsPath() { return QUrl(QString::fromUtf8(tvd::deployment::kToolsWebUrl)).path(); }

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    default:
        return "Internal Server Error";
    }
}
} // namespace

std::optional<CertificateServiceSimulator::FailMode> CertificateServiceSimulator::failModeFromName(
    const QString &strName)
{
    const int index = failModeNames().indexOf(strName);
    if (index < 0)
        return std::nullopt;
    return FailMode(index + int(FailMode::Fault));
}

QStringList CertificateServiceSimulator::failModeNames()
{
    // In the order of FailMode, from Fault on.
    return { "fault", "201", "202", "other", "service", "id0", "idbig", "idtext", "idneg", "noid", "nourl", "badxml",
        "errortext", "fault200", "huge", "hang", "http500", "notools", "slowpdf", "nopdf", "cutpdf" };
}

CertificateServiceSimulator::Target CertificateServiceSimulator::targetOf(FailMode mode)
{
    switch (mode) {
    case FailMode::NoTools:
        return Target::Tools;
    case FailMode::SlowPdf:
    case FailMode::NoPdf:
    case FailMode::CutPdf:
        return Target::Pdf;
    default:
        return Target::Soap;
    }
}

CertificateServiceSimulator::FailMode CertificateServiceSimulator::takeFailMode(Target target)
{
    if (_failMode == FailMode::None || targetOf(_failMode) != target || _failCount == 0)
        return FailMode::None;
    if (_failCount > 0)
        --_failCount;
    return _failMode;
}

CertificateServiceSimulator::CertificateServiceSimulator(QObject *parent)
    : QAbstractHttpServer(parent)
{
    initResources();
}

quint16 CertificateServiceSimulator::start(quint16 port)
{
    _port = listen(QHostAddress::LocalHost, port);
    return _port;
}

quint16 CertificateServiceSimulator::port() const { return _port; }

QString CertificateServiceSimulator::serviceUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(_port).arg(servicePath());
}

QString CertificateServiceSimulator::toolsUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(_port).arg(toolsPath());
}

QString CertificateServiceSimulator::pdfBaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(_port).arg(kPdfPath);
}

void CertificateServiceSimulator::setFailMode(FailMode mode, int count)
{
    _failMode = mode;
    _failCount = count;
}

void CertificateServiceSimulator::setNextCertificateId(qint64 id) { _nextCertificateId = id; }

void CertificateServiceSimulator::setServiceName(const QString &strServiceName) { _strServiceName = strServiceName; }

void CertificateServiceSimulator::setAnswerDelay(int ms) { _answerDelayMs = ms; }

void CertificateServiceSimulator::setSlowPdfDelay(int ms) { _slowPdfDelayMs = ms; }

int CertificateServiceSimulator::requestCount() const { return _requestCount; }

int CertificateServiceSimulator::hungConnections() const
{
    return int(std::count_if(_hungSockets.cbegin(), _hungSockets.cend(), [](const QPointer<QTcpSocket> &socket) {
        return socket && socket->state() == QAbstractSocket::ConnectedState;
    }));
}

QByteArray CertificateServiceSimulator::lastRequestBody() const { return _lastRequestBody; }

QByteArray CertificateServiceSimulator::lastRequestHeader(const QByteArray &name) const
{
    for (const auto &header : _lastRequestHeaders) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return {};
}

QByteArray CertificateServiceSimulator::lastAnswerBody() const { return _lastAnswerBody; }

QByteArray CertificateServiceSimulator::lastPdfBody() const { return _lastPdfBody; }

bool CertificateServiceSimulator::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const QString strPath = request.url().path();
    qCDebug(lcCertSim) << "request" << request.method() << strPath;
    if (strPath == servicePath()) {
        answerSoap(request, socket);
        return true;
    }
    if (request.method() != QHttpServerRequest::Method::Get)
        return false;
    if (strPath.startsWith(toolsPath()) && strPath.endsWith(QLatin1String("/tvdmon.ift"))) {
        answerTools(socket);
        return true;
    }
    if (strPath.startsWith(kPdfPath)) {
        answerPdf(strPath, socket);
        return true;
    }
    return false;
}

void CertificateServiceSimulator::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    qCDebug(lcCertSim) << "nothing at" << request.url().path();
    send(socket, { 404, "text/plain", "Not Found" });
}

void CertificateServiceSimulator::answerSoap(const QHttpServerRequest &request, QTcpSocket *socket)
{
    ++_requestCount;
    _lastRequestBody = request.body();
    _lastRequestHeaders = request.headers();
    if (request.method() != QHttpServerRequest::Method::Post) {
        send(socket, { 405, "text/plain", "POST only" });
        return;
    }
    const FailMode mode = takeFailMode(Target::Soap);
    // Issues nothing: the same request may come again once the mode is off.
    if (mode == FailMode::Hang) {
        qCDebug(lcCertSim) << "hanging on purpose";
        _hungSockets.removeAll(nullptr);
        _hungSockets.append(socket);
        return;
    }
    const Reply reply = soapReply(request.body(), mode);
    _lastAnswerBody = reply.body;
    sendLater(socket, reply, _answerDelayMs);
}

CertificateServiceSimulator::Reply CertificateServiceSimulator::soapReply(const QByteArray &body, FailMode mode)
{
    const auto fault = [](const QString &strCode, const QString &strText) {
        return Reply { 500, "text/xml; charset=utf-8", SoapAnswerWriter::fault(strCode, strText) };
    };
    const GetCertificateRequest request = GetCertificateRequest::parse(body);
    if (!request.isValid())
        return fault("Client", request.strRefusal);

    switch (mode) {
    case FailMode::Fault:
        return fault("Server", "Service en maintenance");
    case FailMode::Fault200: {
        Reply reply = fault("Server", "Service en maintenance");
        reply.status = 200;
        return reply;
    }
    case FailMode::BadXml:
        return { 200, "text/xml; charset=utf-8", "<SOAP-ENV:Envelope><SOAP-ENV:Body><broken" };
    case FailMode::Http500:
        return { 500, "text/plain", "Internal Server Error" };
    case FailMode::Huge: {
        // A good answer drowned in blanks: only its size is wrong.
        Reply reply = certificateReply(request.strIdentifier, request.strName, request.deviceType, mode);
        reply.body.insert(reply.body.indexOf("<service"), QByteArray(kHugeAnswerSize, ' '));
        return reply;
    }
    default:
        return certificateReply(request.strIdentifier, request.strName, request.deviceType, mode);
    }
}

CertificateServiceSimulator::Reply CertificateServiceSimulator::certificateReply(
    const QString &strSerial, const QString &strName, int deviceType, FailMode mode)
{
    SoapAnswerWriter::Answer answer;
    answer.strService = _strServiceName;
    switch (mode) {
    case FailMode::Code201:
        answer.errorBlock = QStringList { "201" };
        break;
    case FailMode::Code202:
        answer.errorBlock = QStringList { "202" };
        break;
    case FailMode::Other:
        answer.errorBlock = QStringList { "301", "Adresse refusée", "Le domaine n'accepte pas de courrier", strSerial };
        break;
    case FailMode::Service:
        answer.strService = QStringLiteral("GetInvoice");
        break;
    // Broken answers issue nothing, so that every attempt meets the same failure.
    case FailMode::Id0:
        answer.strCertificateId = QStringLiteral("0");
        answer.strPdfUrl = pdfBaseUrl() + QStringLiteral("0.pdf");
        break;
    case FailMode::IdBig:
        answer.strCertificateId = QStringLiteral("2147483648");
        answer.strPdfUrl = pdfBaseUrl() + QStringLiteral("2147483648.pdf");
        break;
    case FailMode::IdText:
        answer.strCertificateId = QStringLiteral("n/a");
        answer.strPdfUrl = pdfBaseUrl() + QStringLiteral("na.pdf");
        break;
    case FailMode::IdNegative:
        answer.strCertificateId = QStringLiteral("-5");
        answer.strPdfUrl = pdfBaseUrl() + QStringLiteral("-5.pdf");
        break;
    case FailMode::NoId:
        answer.withoutCertificateId = true;
        answer.strPdfUrl = pdfBaseUrl() + QStringLiteral("none.pdf");
        break;
    case FailMode::ErrorText:
        answer.strErrorText = QStringLiteral("Erreur interne");
        break;
    case FailMode::NoUrl:
        answer.strCertificateId = QString::number(_nextCertificateId);
        break;
    default:
        if (_seenSerials.contains(strSerial)) {
            answer.errorBlock = QStringList { "201" };
            break;
        }
        _seenSerials.insert(strSerial);
        const qint64 id = _nextCertificateId++;
        _certificates.insert(id, CertificatePdf(id, strName, deviceType, strSerial, QDateTime::currentDateTime()));
        answer.strCertificateId = QString::number(id);
        answer.strPdfUrl = pdfBaseUrl() + QString::number(id) + QStringLiteral(".pdf");
    }
    return { 200, "text/xml; charset=utf-8", SoapAnswerWriter::answer(tvd::deployment::kServiceNamespace, answer) };
}

void CertificateServiceSimulator::answerTools(QTcpSocket *socket)
{
    if (takeFailMode(Target::Tools) == FailMode::NoTools) {
        send(socket, { 404, "text/plain", "Not Found" });
        return;
    }
    QFile file(QStringLiteral(":/certservice/tvdmon.ift"));
    file.open(QIODevice::ReadOnly);
    send(socket, { 200, "text/plain; charset=ISO-8859-1", file.readAll() });
}

void CertificateServiceSimulator::answerPdf(const QString &strPath, QTcpSocket *socket)
{
    const QString strFile = strPath.mid(kPdfPath.size());
    const qint64 id = strFile.endsWith(QLatin1String(".pdf")) ? strFile.chopped(4).toLongLong() : 0;
    const FailMode mode = takeFailMode(Target::Pdf);
    if (mode == FailMode::NoPdf || !_certificates.contains(id)) {
        send(socket, { 404, "text/plain", "Not Found" });
        return;
    }
    // Fonts and painting need a GUI application, even an offscreen one.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        send(socket, { 500, "text/plain", "PDF rendering needs a QGuiApplication" });
        return;
    }
    const Reply reply { 200, "application/pdf", _certificates.value(id).render() };
    _lastPdfBody = reply.body;
    if (mode == FailMode::CutPdf) {
        // The whole size is announced, half of the body comes.
        send(socket, reply, reply.body.size() / 2);
        socket->disconnectFromHost();
        return;
    }
    sendLater(socket, reply, mode == FailMode::SlowPdf ? _slowPdfDelayMs : 0);
}

void CertificateServiceSimulator::sendLater(QTcpSocket *socket, const Reply &reply, int delayMs)
{
    if (delayMs <= 0) {
        send(socket, reply);
        return;
    }
    // The client may have gone in the meantime.
    QTimer::singleShot(delayMs, this, [socket = QPointer<QTcpSocket>(socket), reply] {
        if (socket)
            send(socket, reply);
    });
}

void CertificateServiceSimulator::send(QTcpSocket *socket, const Reply &reply, qsizetype bodyBytes)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    head += "Content-Type: " + reply.contentType + "\r\nContent-Length: " + QByteArray::number(reply.body.size())
        + "\r\n\r\n";
    socket->write(head + (bodyBytes < 0 ? reply.body : reply.body.left(bodyBytes)));
}
