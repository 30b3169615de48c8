#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// The answer to a SOAP request: a readable envelope, or a fault. Failures of
// the exchange itself are faults too, with a fault string that tells them
// apart ("Network transport error...", "XML parse error...").
class SoapResponse
{
public:
    void clear();
    // Parses a received envelope; an unreadable one becomes an "XML parse error" fault.
    void setContent(const QByteArray &xml);
    void setFault(const QString &strFaultString);

    bool isFault() const;
    QString faultString() const;
    const QDomDocument &document() const;
    QString toXmlString(int indent = 0) const;

private:
    QDomDocument _document;
    bool _isFault = false;
    QString _strFaultString;
};
