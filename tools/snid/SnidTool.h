#pragma once

#include "SnidCodec.h"

#include <QHash>
#include <QStringList>
#include <QTextStream>

// The commands of tvdsnid: make a serial number from given inputs, and read
// one back field by field.
class SnidTool
{
public:
    enum e_ExitCode {
        exitOk = 0,
        exitCheckFailed = 1,
        exitMalformed = 2,
    };

    SnidTool(QTextStream &out, QTextStream &err);

    // The arguments without the program name.
    int run(const QStringList &arguments);

private:
    int make(const QStringList &arguments);
    int decode(const QStringList &arguments);
    // Splits options from positional arguments; what is wrong, or nothing.
    static QString parse(const QStringList &arguments, const QStringList &known, QHash<QString, QString> &options,
        QStringList &positionals);
    int malformed(const QString &message);

    SnidCodec _codec;
    QTextStream &_out;
    QTextStream &_err;
};
