#include "SnidCodec.h"
#include "TempProgramFolder.h"

#include <QProcess>
#include <QTest>

class tst_tvdsnid : public QObject
{
    Q_OBJECT

private slots:
    void makesWorkedExample();
    void decodes_data();
    void decodes();
    void decodesWhatItMade();
    void refusesMalformedInput_data();
    void refusesMalformedInput();
};

namespace {

struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Result tvdsnid(const QStringList &arguments)
{
    QProcess process;
    process.start(TempProgramFolder::builtProgram("tvdsnid"), arguments);
    Result result;
    if (process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

const QStringList kMakeWorkedExample = { "make",  "--name", "Dupont", "--first-name", "jean", "--product", "9", "--key",
                                         "102",   "--at",   "2012-03-14T15:26:53",     "--mac", "00:1A:2B:3C:4D:5E" };

const QByteArray kWorkedFields = "check_digit=1\n"
                                 "check_ok=yes\n"
                                 "key=102\n"
                                 "year=2012\n"
                                 "month=3\n"
                                 "day=14\n"
                                 "hour=15\n"
                                 "minute=26\n"
                                 "second=21\n"
                                 "date_ok=yes\n"
                                 "product_id=9\n"
                                 "product_name=Lyra\n"
                                 "infos_crc=F3AC\n"
                                 "mac_crc=E234\n";

} // namespace

void tst_tvdsnid::makesWorkedExample()
{
    const Result result = tvdsnid(kMakeWorkedExample);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray("HBY4-3JXG-V8KK-ERJM[102]\n"));
    QCOMPARE(result.err, QByteArray());
}

void tst_tvdsnid::decodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");

    const QString serial = QStringLiteral("HBY4-3JXG-V8KK-ERJM");
    const QByteArray changedFields = QByteArray(kWorkedFields).replace("check_ok=yes", "check_ok=no")
                                         .replace("mac_crc=E234", "mac_crc=E235");
    QTest::newRow("fields only")       << QStringList{"decode", serial}                                       << 0 << kWorkedFields;
    QTest::newRow("names that match")  << QStringList{"decode", serial, "--name", "DUPONT", "--first-name", "JEAN"}
                                       << 0 << kWorkedFields + "infos_crc_ok=yes\n";
    QTest::newRow("names cleaned")     << QStringList{"decode", "--first-name", "Jean", "--name", "dupont", serial}
                                       << 0 << kWorkedFields + "infos_crc_ok=yes\n";
    QTest::newRow("other names")       << QStringList{"decode", serial, "--name", "DURAND", "--first-name", "JEAN"}
                                       << 1 << kWorkedFields + "infos_crc_ok=no\n";
    QTest::newRow("changed character") << QStringList{"decode", "HBY4-3JXG-V8KK-ERJN"}                         << 1 << changedFields;

    // The worked example with a date that cannot exist, and the check digit
    // that fits it.
    SnidCodec::Fields fields;
    QVERIFY(SnidCodec::decodeSNID(serial, fields));
    const auto impossibleDate = [](const QString &changedSerial, QByteArray out) {
        SnidCodec::Fields read;
        SnidCodec::decodeSNID(changedSerial, read);
        return out.replace("check_digit=1", "check_digit=" + QByteArray::number(read.checkDigit))
            .replace("date_ok=yes", "date_ok=no");
    };
    SnidCodec::Fields changed = fields;
    changed.month = 0;
    const QString month0 = SnidCodec::encodeSNID(changed);
    changed = fields;
    changed.minute = 61;
    const QString minute61 = SnidCodec::encodeSNID(changed);
    QTest::newRow("month 0")           << QStringList{"decode", month0} << 1
                                       << impossibleDate(month0, QByteArray(kWorkedFields).replace("month=3", "month=0"));
    QTest::newRow("minute 61, names")  << QStringList{"decode", minute61, "--name", "DUPONT", "--first-name", "JEAN"} << 1
                                       << impossibleDate(minute61, QByteArray(kWorkedFields).replace("minute=26", "minute=61"))
                                              + "infos_crc_ok=yes\n";
}

void tst_tvdsnid::decodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);

    const Result result = tvdsnid(arguments);
    QCOMPARE(result.out, out);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.err, QByteArray());
}

void tst_tvdsnid::decodesWhatItMade()
{
    const QStringList make = { "make", "--name", "Zoé 2", "--first-name", "Ann", "--product", "63", "--key", "254",
                               "--at", "2045-12-31T23:59:59", "--mac", "NoMacAdress!" };
    const Result made = tvdsnid(make);
    QCOMPARE(made.exitCode, 0);
    QVERIFY(made.out.endsWith("[254]\n"));

    const QString serial = QString::fromLatin1(made.out.left(19));
    const Result read = tvdsnid({ "decode", serial, "--name", "ZO???", "--first-name", "ANN" });
    QCOMPARE(read.exitCode, 0);
    QHash<QByteArray, QByteArray> fields;
    for (const QByteArray &line : read.out.split('\n')) {
        const int equals = line.indexOf('=');
        if (equals > 0)
            fields.insert(line.left(equals), line.mid(equals + 1));
    }
    const QHash<QByteArray, QByteArray> expected = {
        { "check_ok", "yes" }, { "key", "254" },    { "year", "2011" },       { "month", "12" },
        { "day", "31" },       { "hour", "23" },    { "minute", "59" },       { "second", "27" }, { "date_ok", "yes" },
        { "product_id", "63" }, { "product_name", "Inconnu" }, { "mac_crc", "683D" }, { "infos_crc_ok", "yes" },
    };
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(fields.value(it.key()), it.value());
}

void tst_tvdsnid::refusesMalformedInput_data()
{
    QTest::addColumn<QStringList>("arguments");

    QStringList noMac = kMakeWorkedExample.mid(0, 11);
    QStringList keyTwice = kMakeWorkedExample;
    keyTwice << "--key" << "103";
    const auto withValue = [](const QString &option, const QString &value) {
        QStringList arguments = kMakeWorkedExample;
        arguments[arguments.indexOf(option) + 1] = value;
        return arguments;
    };

    QTest::newRow("no command")          << QStringList{};
    QTest::newRow("unknown command")     << QStringList{"check", "HBY4-3JXG-V8KK-ERJM"};
    QTest::newRow("no serial")           << QStringList{"decode"};
    QTest::newRow("two serials")         << QStringList{"decode", "HBY4-3JXG-V8KK-ERJM", "HBY4-3JXG-V8KK-ERJM"};
    QTest::newRow("serial too short")    << QStringList{"decode", "HBY4-3JXG-V8KK-ERJ"};
    QTest::newRow("serial with key")     << QStringList{"decode", "HBY4-3JXG-V8KK-ERJM[102]"};
    QTest::newRow("bad grouping")        << QStringList{"decode", "HBY43-JXG-V8KK-ERJM"};
    QTest::newRow("outside alphabet")    << QStringList{"decode", "HBY4-3JXG-V8KK-ERJO"};
    QTest::newRow("lower case")          << QStringList{"decode", "hby4-3jxg-v8kk-erjm"};
    QTest::newRow("name alone")          << QStringList{"decode", "HBY4-3JXG-V8KK-ERJM", "--name", "DUPONT"};
    QTest::newRow("unknown option")      << QStringList{"decode", "HBY4-3JXG-V8KK-ERJM", "--verbose"};
    QTest::newRow("option without value")<< QStringList{"decode", "HBY4-3JXG-V8KK-ERJM", "--name"};
    QTest::newRow("make option missing") << noMac;
    QTest::newRow("make option twice")   << keyTwice;
    QTest::newRow("make with argument")  << QStringList(kMakeWorkedExample) + QStringList{"extra"};
    QTest::newRow("product 64")          << withValue("--product", "64");
    QTest::newRow("product not number")  << withValue("--product", "Vega");
    QTest::newRow("key 0")               << withValue("--key", "0");
    QTest::newRow("key 255")             << withValue("--key", "255");
    QTest::newRow("date with blank")     << withValue("--at", "2012-03-14 15:26:53");
    QTest::newRow("no such day")         << withValue("--at", "2012-02-30T15:26:53");
    QTest::newRow("no seconds")          << withValue("--at", "2012-03-14T15:26");
}

void tst_tvdsnid::refusesMalformedInput()
{
    QFETCH(QStringList, arguments);

    const Result result = tvdsnid(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(result.err.startsWith("tvdsnid: ") && result.err.count('\n') == 1 && result.err.endsWith('\n'),
             result.err.constData());
}

QTEST_GUILESS_MAIN(tst_tvdsnid)
#include "tst_tvdsnid.moc"
