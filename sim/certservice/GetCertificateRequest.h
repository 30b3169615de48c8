#pragma once

#include <QByteArray>
#include <QString>

// The arguments of a "GetCertificate" request as the simulator reads them
// from the posted envelope, or why the request is refused.
struct GetCertificateRequest {
    static GetCertificateRequest parse(const QByteArray &body);

    bool isValid() const;

    // Empty for a valid request; else the fault string the client gets.
    QString strRefusal;
    int deviceType = 0;
    QString strIdentifier;
    QString strName;
    QString strEmail;
};
