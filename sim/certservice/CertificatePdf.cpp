#include "CertificatePdf.h"

#include <QBuffer>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "SnidCodec.h"

CertificatePdf::CertificatePdf(
    qint64 certificateId, const QString &strName, int deviceType, const QString &strSerial, const QDateTime &issuedAt)
    : _certificateId(certificateId)
    , _strName(strName)
    , _deviceType(deviceType)
    , _strSerial(strSerial)
    , _issuedAt(issuedAt)
{
}

qint64 CertificatePdf::certificateId() const { return _certificateId; }

QByteArray CertificatePdf::render() const
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    writer.setTitle(QStringLiteral("Certificat %1").arg(_certificateId));

    QPainter painter(&writer);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(20);
    painter.setFont(font);
    painter.drawText(QPointF(60, 100), QStringLiteral("Certificat de mise en conformité"));
    font.setPointSize(12);
    painter.setFont(font);
    const QStringList lines = {
        QStringLiteral("Client : %1").arg(_strName),
        QStringLiteral("Type d'appareil : %1").arg(SnidCodec().deviceTypeName(_deviceType)),
        QStringLiteral("Numéro de série : %1").arg(_strSerial),
        QStringLiteral("Certificat n° %1").arg(_certificateId),
        QStringLiteral("Date : %1").arg(_issuedAt.toString(QStringLiteral("dd/MM/yyyy HH:mm"))),
    };
    qreal y = 160;
    for (const QString &strLine : lines) {
        painter.drawText(QPointF(60, y), strLine);
        y += 28;
    }
    painter.end();
    return pdf;
}
