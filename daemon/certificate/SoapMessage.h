#pragma once

#include <QList>
#include <QString>

// A SOAP 1.1 rpc request: one method element, prefixed and declaring its
// namespace, holding simple-typed arguments without namespace.
class SoapMessage
{
public:
    void setMethod(const QString &strName, const QString &strNamespaceUri, const QString &strPrefix = "mtd1");
    void addMethodArgument(const QString &strName, const QString &strValue);
    void addMethodArgument(const QString &strName, int value);

    QString methodName() const;
    QString methodNamespace() const;

    // indent 0 renders the whole envelope on one line.
    QString toXmlString(int indent = 0) const;

private:
    struct Argument {
        QString strName;
        QString strXsiType;
        QString strValue;
    };

    QString _strMethodName;
    QString _strMethodNamespace;
    QString _strMethodPrefix;
    QList<Argument> _arguments;
};
