#include "SnidTool.h"

namespace {

const QString kName = QStringLiteral("--name");
const QString kFirstName = QStringLiteral("--first-name");
const QString kProduct = QStringLiteral("--product");
const QString kKey = QStringLiteral("--key");
const QString kAt = QStringLiteral("--at");
const QString kMac = QStringLiteral("--mac");

const QString kUsage = QStringLiteral("usage: tvdsnid make --name NAME --first-name FIRST --product ID --key KEY "
                                      "--at YYYY-MM-DDTHH:MM:SS --mac TEXT | tvdsnid decode SERIAL "
                                      "[--name NAME --first-name FIRST]");

QString yesNo(bool value) { return value ? QStringLiteral("yes") : QStringLiteral("no"); }

QString hex4(quint16 value) { return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper(); }

} // namespace

SnidTool::SnidTool(QTextStream &out, QTextStream &err)
    : _out(out)
    , _err(err)
{
}

int SnidTool::run(const QStringList &arguments)
{
    const QString command = arguments.value(0);
    if (command == QLatin1String("make"))
        return make(arguments.mid(1));
    if (command == QLatin1String("decode"))
        return decode(arguments.mid(1));
    return malformed(kUsage);
}

int SnidTool::make(const QStringList &arguments)
{
    QHash<QString, QString> options;
    QStringList positionals;
    const QString wrong = parse(arguments, { kName, kFirstName, kProduct, kKey, kAt, kMac }, options, positionals);
    if (!wrong.isEmpty())
        return malformed(wrong);
    if (!positionals.isEmpty())
        return malformed(QStringLiteral("make takes no argument \"%1\"").arg(positionals.first()));
    for (const QString &option : { kName, kFirstName, kProduct, kKey, kAt, kMac }) {
        if (!options.contains(option))
            return malformed(QStringLiteral("make needs %1").arg(option));
    }

    bool ok = false;
    const int productId = options[kProduct].toInt(&ok);
    if (!ok || productId < 0 || productId > 63)
        return malformed(QStringLiteral("%1 takes an id from 0 to 63, not \"%2\"").arg(kProduct, options[kProduct]));
    const int key = options[kKey].toInt(&ok);
    if (!ok || key < 1 || key > 254)
        return malformed(QStringLiteral("%1 takes a key from 1 to 254, not \"%2\"").arg(kKey, options[kKey]));

    // Only the fields of the text count: UTC keeps every such time valid.
    const QString at = options[kAt];
    const QDate date = QDate::fromString(at.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(at.mid(11), QStringLiteral("HH:mm:ss"));
    if (at.size() != 19 || at[10] != QLatin1Char('T') || !date.isValid() || !time.isValid())
        return malformed(QStringLiteral("%1 takes a date and time YYYY-MM-DDTHH:MM:SS, not \"%2\"").arg(kAt, at));

    _out << _codec.makeSNID(SnidCodec::cleanName(options[kName]), SnidCodec::cleanName(options[kFirstName]), productId,
        QDateTime(date, time, Qt::UTC), key, options[kMac])
         << '\n';
    return exitOk;
}

int SnidTool::decode(const QStringList &arguments)
{
    QHash<QString, QString> options;
    QStringList positionals;
    const QString wrong = parse(arguments, { kName, kFirstName }, options, positionals);
    if (!wrong.isEmpty())
        return malformed(wrong);
    if (positionals.size() != 1)
        return malformed(QStringLiteral("decode takes one serial number"));
    if (options.size() == 1)
        return malformed(QStringLiteral("decode takes %1 and %2 together").arg(kName, kFirstName));

    SnidCodec::Fields fields;
    QString error;
    if (!SnidCodec::decodeSNID(positionals.first(), fields, &error))
        return malformed(error);

    _out << "check_digit=" << fields.checkDigit << '\n'
         << "check_ok=" << yesNo(fields.checkDigitOk) << '\n'
         << "key=" << fields.key1to254 << '\n'
         << "year=" << 2011 + fields.yearOffset << '\n'
         << "month=" << fields.month << '\n'
         << "day=" << fields.day << '\n'
         << "hour=" << fields.hour << '\n'
         << "minute=" << fields.minute << '\n'
         << "second=" << fields.second << '\n'
         << "date_ok=" << yesNo(fields.dateOk) << '\n'
         << "product_id=" << fields.productID << '\n'
         << "product_name=" << _codec.deviceTypeName(fields.productID) << '\n'
         << "infos_crc=" << hex4(fields.infosCRC) << '\n'
         << "mac_crc=" << hex4(fields.MacAdressCRC) << '\n';

    bool checksHold = fields.checkDigitOk && fields.dateOk;
    if (!options.isEmpty()) {
        const bool infosOk = SnidCodec::infosCRCMatches(
            fields, SnidCodec::cleanName(options[kName]), SnidCodec::cleanName(options[kFirstName]));
        _out << "infos_crc_ok=" << yesNo(infosOk) << '\n';
        checksHold = checksHold && infosOk;
    }
    return checksHold ? exitOk : exitCheckFailed;
}

QString SnidTool::parse(
    const QStringList &arguments, const QStringList &known, QHash<QString, QString> &options, QStringList &positionals)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--")))
            positionals << argument;
        else if (!known.contains(argument))
            return QStringLiteral("unknown option \"%1\"").arg(argument);
        else if (options.contains(argument))
            return QStringLiteral("%1 given twice").arg(argument);
        else if (i + 1 == arguments.size())
            return QStringLiteral("%1 needs a value").arg(argument);
        else
            options.insert(argument, arguments[++i]);
    }
    return QString();
}

int SnidTool::malformed(const QString &message)
{
    _err << "tvdsnid: " << message << '\n';
    return exitMalformed;
}
