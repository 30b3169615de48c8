#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// A certificate issued by the simulator and its one-page PDF.
class CertificatePdf
{
public:
    CertificatePdf() = default;
    CertificatePdf(qint64 certificateId, const QString &strName, int deviceType, const QString &strSerial,
        const QDateTime &issuedAt);

    qint64 certificateId() const;
    // Needs a QGuiApplication: the text is laid out with the system fonts.
    QByteArray render() const;

private:
    qint64 _certificateId = 0;
    QString _strName;
    int _deviceType = 0;
    QString _strSerial;
    QDateTime _issuedAt;
};
