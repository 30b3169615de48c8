#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Renders the simulator's SOAP 1.1 answers to "GetCertificate".
class SoapAnswerWriter
{
public:
    struct Answer {
        QString strService;
        QString strCertificateId;
        QString strPdfUrl;
        // Empty: no error; else the code, then optionally text, comment and arguments.
        QStringList errorBlock;
        // Plain text inside the error element instead of its fields.
        QString strErrorText;
        bool withoutCertificateId = false;
    };

    static QByteArray answer(const QString &strNamespace, const Answer &answer);
    static QByteArray fault(const QString &strFaultCode, const QString &strFaultString);
};
