#include "GetCertificateRequest.h"

#include "deployment.h"

#include <QDomDocument>
#include <QStringList>

namespace {
const QString kEnvelopeNamespace = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
const QStringList kArgumentNames = { "device_id", "devicetype", "identifier", "name", "email" };

QDomElement childByLocalName(const QDomElement &parent, const QString &strLocalName)
{
    for (QDomElement child = parent.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.localName() == strLocalName)
            return child;
    }
    return {};
}

GetCertificateRequest refused(const QString &strRefusal)
{
    GetCertificateRequest request;
    request.strRefusal = strRefusal;
    return request;
}
} // namespace

GetCertificateRequest GetCertificateRequest::parse(const QByteArray &body)
{
    QDomDocument document;
    QString strError;
    if (!document.setContent(body, true, &strError))
        return refused("Malformed request: " + strError);
    const QDomElement envelope = document.documentElement();
    const QDomElement method = childByLocalName(childByLocalName(envelope, "Body"), "GetCertificate");
    if (envelope.localName() != QLatin1String("Envelope") || envelope.namespaceURI() != kEnvelopeNamespace)
        return refused("Not a SOAP 1.1 envelope");
    if (method.isNull() || method.namespaceURI() != QString::fromUtf8(tvd::deployment::kServiceNamespace))
        return refused("Unknown method");
    QStringList values;
    for (const QString &strName : kArgumentNames) {
        const QDomElement argument = childByLocalName(method, strName);
        if (argument.isNull())
            return refused("Missing argument " + strName);
        values.append(argument.text());
    }
    GetCertificateRequest request;
    bool deviceTypeOk = false;
    request.deviceType = values.at(1).toInt(&deviceTypeOk);
    if (!deviceTypeOk)
        return refused("devicetype is not an int");
    request.strIdentifier = values.at(2);
    request.strName = values.at(3);
    request.strEmail = values.at(4);
    return request;
}

bool GetCertificateRequest::isValid() const { return strRefusal.isEmpty(); }
