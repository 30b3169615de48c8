#pragma once

#include "SoapMessage.h"
#include "deployment.h"

// A GetCertificate request as the daemon sends it, for a serial of the test's
// choice. For suites that link the certificate library.
inline SoapMessage sampleGetCertificateRequest(const QString &strSerial)
{
    SoapMessage message;
    message.setMethod("GetCertificate", tvd::deployment::kServiceNamespace);
    message.addMethodArgument("device_id", 0);
    message.addMethodArgument("devicetype", 14);
    message.addMethodArgument("identifier", strSerial);
    message.addMethodArgument("name", QString::fromUtf8("Zoé Dupont"));
    message.addMethodArgument("email", "zoe.dupont@example.fr");
    return message;
}
