#include "SoapResponse.h"

namespace {
const QString kEnvelopeNamespace = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");

QDomElement firstChildElement(const QDomElement &parent, const QString &strLocalName)
{
    for (QDomElement child = parent.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.localName() == strLocalName)
            return child;
    }
    return {};
}
} // namespace

void SoapResponse::clear()
{
    _document = QDomDocument();
    _isFault = false;
    _strFaultString.clear();
}

void SoapResponse::setContent(const QByteArray &xml)
{
    clear();
    QString strError;
    int line = 0;
    int column = 0;
    if (!_document.setContent(xml, true, &strError, &line, &column)) {
        setFault(QStringLiteral("XML parse error: %1 at line %2, column %3").arg(strError).arg(line).arg(column));
        return;
    }
    const QDomElement envelope = _document.documentElement();
    const QDomElement body = firstChildElement(envelope, QStringLiteral("Body"));
    if (envelope.localName() != QLatin1String("Envelope") || envelope.namespaceURI() != kEnvelopeNamespace
        || body.isNull()) {
        setFault(QStringLiteral("XML parse error: the answer is not a SOAP 1.1 envelope"));
        return;
    }
    const QDomElement fault = body.firstChildElement();
    if (fault.localName() == QLatin1String("Fault") && fault.namespaceURI() == kEnvelopeNamespace) {
        _isFault = true;
        _strFaultString = firstChildElement(fault, QStringLiteral("faultstring")).text();
    }
}

void SoapResponse::setFault(const QString &strFaultString)
{
    _document = QDomDocument();
    _isFault = true;
    _strFaultString = strFaultString;
}

bool SoapResponse::isFault() const { return _isFault; }

QString SoapResponse::faultString() const { return _strFaultString; }

const QDomDocument &SoapResponse::document() const { return _document; }

QString SoapResponse::toXmlString(int indent) const { return _document.toString(indent); }
