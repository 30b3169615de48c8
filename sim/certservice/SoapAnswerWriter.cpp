#include "SoapAnswerWriter.h"

#include <QXmlStreamWriter>

namespace {
void writeEnvelopeStart(QXmlStreamWriter &writer)
{
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("SOAP-ENV:Envelope"));
    writer.writeAttribute(
        QStringLiteral("xmlns:SOAP-ENV"), QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/"));
    writer.writeAttribute(
        QStringLiteral("SOAP-ENV:encodingStyle"), QStringLiteral("http://schemas.xmlsoap.org/soap/encoding/"));
    writer.writeAttribute(QStringLiteral("xmlns:xsi"), QStringLiteral("http://www.w3.org/1999/XMLSchema-instance"));
    writer.writeAttribute(QStringLiteral("xmlns:xsd"), QStringLiteral("http://www.w3.org/1999/XMLSchema"));
    writer.writeStartElement(QStringLiteral("SOAP-ENV:Body"));
}

void writeTyped(QXmlStreamWriter &writer, const QString &strName, const QString &strType, const QString &strValue)
{
    writer.writeStartElement(strName);
    writer.writeAttribute(QStringLiteral("xsi:type"), strType);
    writer.writeCharacters(strValue);
    writer.writeEndElement();
}
} // namespace

QByteArray SoapAnswerWriter::answer(const QString &strNamespace, const Answer &answer)
{
    static const QStringList kErrorFields = { "code", "text", "comment", "arguments" };
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writeEnvelopeStart(writer);
    writer.writeStartElement(QStringLiteral("ns1:GetCertificateResponse"));
    writer.writeAttribute(QStringLiteral("xmlns:ns1"), strNamespace);
    writeTyped(writer, QStringLiteral("service"), QStringLiteral("xsd:string"), answer.strService);
    if (!answer.withoutCertificateId)
        writeTyped(writer, QStringLiteral("certificat_id"), QStringLiteral("xsd:int"), answer.strCertificateId);
    writeTyped(writer, QStringLiteral("pdf_url"), QStringLiteral("xsd:string"), answer.strPdfUrl);
    writer.writeStartElement(QStringLiteral("error"));
    if (!answer.strErrorText.isEmpty())
        writer.writeCharacters(answer.strErrorText);
    for (int i = 0; i < answer.errorBlock.size() && i < kErrorFields.size(); ++i)
        writeTyped(writer, kErrorFields.at(i), QStringLiteral("xsd:string"), answer.errorBlock.at(i));
    writer.writeEndDocument();
    return xml;
}

QByteArray SoapAnswerWriter::fault(const QString &strFaultCode, const QString &strFaultString)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writeEnvelopeStart(writer);
    writer.writeStartElement(QStringLiteral("SOAP-ENV:Fault"));
    writer.writeTextElement(QStringLiteral("faultcode"), QStringLiteral("SOAP-ENV:") + strFaultCode);
    writer.writeTextElement(QStringLiteral("faultstring"), strFaultString);
    writer.writeEndDocument();
    return xml;
}
