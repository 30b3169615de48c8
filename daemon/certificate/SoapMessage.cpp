#include "SoapMessage.h"

#include <QXmlStreamWriter>

namespace {
const QString kEnvelopeNamespace = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
const QString kEncodingNamespace = QStringLiteral("http://schemas.xmlsoap.org/soap/encoding/");
const QString kSchemaInstanceNamespace = QStringLiteral("http://www.w3.org/1999/XMLSchema-instance");
const QString kSchemaNamespace = QStringLiteral("http://www.w3.org/1999/XMLSchema");
} // namespace

void SoapMessage::setMethod(const QString &strName, const QString &strNamespaceUri, const QString &strPrefix)
{
    _strMethodName = strName;
    _strMethodNamespace = strNamespaceUri;
    _strMethodPrefix = strPrefix;
}

void SoapMessage::addMethodArgument(const QString &strName, const QString &strValue)
{
    _arguments.append({ strName, QStringLiteral("xsd:string"), strValue });
}

void SoapMessage::addMethodArgument(const QString &strName, int value)
{
    _arguments.append({ strName, QStringLiteral("xsd:int"), QString::number(value) });
}

QString SoapMessage::methodName() const { return _strMethodName; }

QString SoapMessage::methodNamespace() const { return _strMethodNamespace; }

QString SoapMessage::toXmlString(int indent) const
{
    // Written as bytes so that the declaration names its encoding.
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(indent > 0);
    writer.setAutoFormattingIndent(indent);
    writer.writeStartDocument();

    // Names are written as qualified text so that the prefixes and the order
    // of the declarations come out exactly as the service expects them.
    writer.writeStartElement(QStringLiteral("SOAP-ENV:Envelope"));
    writer.writeAttribute(QStringLiteral("xmlns:SOAP-ENV"), kEnvelopeNamespace);
    writer.writeAttribute(QStringLiteral("SOAP-ENV:encodingStyle"), kEncodingNamespace);
    writer.writeAttribute(QStringLiteral("xmlns:xsi"), kSchemaInstanceNamespace);
    writer.writeAttribute(QStringLiteral("xmlns:xsd"), kSchemaNamespace);
    writer.writeStartElement(QStringLiteral("SOAP-ENV:Body"));

    writer.writeStartElement(_strMethodPrefix + ':' + _strMethodName);
    writer.writeAttribute(QStringLiteral("xmlns:") + _strMethodPrefix, _strMethodNamespace);
    for (const Argument &argument : _arguments) {
        writer.writeStartElement(argument.strName);
        writer.writeAttribute(QStringLiteral("xsi:type"), argument.strXsiType);
        writer.writeCharacters(argument.strValue);
        writer.writeEndElement();
    }

    writer.writeEndDocument();
    return QString::fromUtf8(xml);
}
