#include "SnidCodec.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTest>

class tst_snidcodec : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void crc16_data();
    void crc16();
    void crcStopsAtZeroByteAndBufferEnd();
    void verhoeffCheckDigit_data();
    void verhoeffCheckDigit();
    void workedExample();
    void randomKey_data();
    void randomKey();
    void roundTrip_data();
    void roundTrip();
    void everyProductIdRoundTrips();
    void impossibleDatesAreFlagged_data();
    void impossibleDatesAreFlagged();
    void requestNowUsesClockKeyAndAddress();
    void serialsUseAlphabetAndGrouping();
    void cleanName_data();
    void cleanName();
    void deviceTypeName_data();
    void deviceTypeName();
    void decodeRejectsMalformed_data();
    void decodeRejectsMalformed();
    void decodeDetectsChangedCharacter();
    void infosCRCNeedsTheSameNames();
};

namespace {

const QString kWorkedSerial = QStringLiteral("HBY4-3JXG-V8KK-ERJM");
const QString kWorkedMac = QStringLiteral("00:1A:2B:3C:4D:5E");
const QString kAlphabet = QStringLiteral("123456789ABCDEFGHJKLMNPQRTUVWXYZ");

QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
}

QByteArray bitsOfOctal(const QByteArray &digits)
{
    QByteArray bits;
    for (char digit : digits) {
        const int value = digit - '0';
        bits += QByteArray::number((value >> 2) & 1) + QByteArray::number((value >> 1) & 1)
            + QByteArray::number(value & 1);
    }
    return bits;
}

} // namespace

void tst_snidcodec::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("tvd.daemon.snid.debug=false"));
}

void tst_snidcodec::crc16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("crc");

    QTest::newRow("CRC-16/ARC check value") << "123456789"      << 0xBB3D;
    QTest::newRow("empty text")             << ""               << 0;
    QTest::newRow("worked example infos")   << "DUPONTJEAN1029" << 0xF3AC;
    QTest::newRow("worked example address") << kWorkedMac       << 0xE234;
    QTest::newRow("no address")             << "NoMacAdress!"   << 0x683D;
}

void tst_snidcodec::crc16()
{
    QFETCH(QString, text);
    QFETCH(int, crc);
    QCOMPARE(SnidCodec::crc16(text), crc);
}

void tst_snidcodec::crcStopsAtZeroByteAndBufferEnd()
{
    QCOMPARE(SnidCodec::crc16(QStringLiteral("AB") + QChar(0) + QStringLiteral("CD")),
             SnidCodec::crc16(QStringLiteral("AB")));

    // The 1024-byte buffer: what lies beyond it does not count.
    const QString full(1024, QLatin1Char('A'));
    QCOMPARE(SnidCodec::crc16(full + QStringLiteral("ZZZZ")), SnidCodec::crc16(full));
    QVERIFY(SnidCodec::crc16(full) != SnidCodec::crc16(full.left(1023)));
}

void tst_snidcodec::verhoeffCheckDigit_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("checkDigit");

    QTest::newRow("published example 236")   << "236"                        << 3;
    QTest::newRow("published example 12345") << "12345"                      << 1;
    QTest::newRow("worked example octal")    << "12741424365766362446704320" << 1;
    QTest::newRow("not digits")              << "12a4"                       << -1;
}

void tst_snidcodec::verhoeffCheckDigit()
{
    QFETCH(QString, digits);
    QFETCH(int, checkDigit);
    QCOMPARE(SnidCodec::verhoeffCheckDigit(digits), checkDigit);
}

void tst_snidcodec::workedExample()
{
    QLoggingCategory::setFilterRules(QStringLiteral("tvd.daemon.snid.debug=true"));
    const auto quiet = qScopeGuard([] { QLoggingCategory::setFilterRules(QStringLiteral("tvd.daemon.snid.debug=false")); });
    const QByteArray bitsBelow = bitsOfOctal("12741424365766362446704320");
    QTest::ignoreMessage(QtDebugMsg, "14 / 3 / 1 ) 15 h 26 : 21");
    QTest::ignoreMessage(QtDebugMsg, "calculated CRC bits: \"1111001110101100\"");
    QTest::ignoreMessage(QtDebugMsg, "calculated MacAdressCRC bits: \"1110001000110100\"");
    QTest::ignoreMessage(QtDebugMsg, "certificate bits: \"0000" + bitsBelow + "\"");
    QTest::ignoreMessage(QtDebugMsg, "rVerhoeff= 1");
    QTest::ignoreMessage(QtDebugMsg, "Verhoeff4bits:");
    for (const char *bit : {"0", "0", "0", "1"})
        QTest::ignoreMessage(QtDebugMsg, bit);
    // The check digit goes to B3 to B0, most significant bit first.
    QTest::ignoreMessage(QtDebugMsg, "certificate bits: \"1000" + bitsBelow + "\"");

    SnidCodec codec;
    QCOMPARE(codec.makeSNID("DUPONT", "JEAN", 9, at("2012-03-14T15:26:53"), 102, kWorkedMac),
             kWorkedSerial + "[102]");
}

void tst_snidcodec::randomKey_data()
{
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("key");

    // Seed minute x 18 x second + 333: a zero minute or second seeds 333.
    QTest::newRow("minute 0, second 0")   << 0  << 0  << 111;
    QTest::newRow("minute 0, second 59")  << 0  << 59 << 111;
    QTest::newRow("minute 59, second 0")  << 59 << 0  << 111;
    QTest::newRow("minute 26, second 53") << 26 << 53 << 80;
}

void tst_snidcodec::randomKey()
{
    QFETCH(int, minute);
    QFETCH(int, second);
    QFETCH(int, key);
    QCOMPARE(SnidCodec::randomKey(minute, second), key);
}

void tst_snidcodec::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("lastName");
    QTest::addColumn<int>("productId");
    QTest::addColumn<QDateTime>("at");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<int>("yearOffset");
    QTest::addColumn<int>("storedSecond");

    const QString longName(3000, QLatin1Char('L'));
    QTest::newRow("worked example")     << "DUPONT" << "JEAN" << 9  << at("2012-03-14T15:26:53") << 102 << kWorkedMac     << 1  << 21;
    QTest::newRow("first year")         << "A"      << "B"    << 0  << at("2011-01-01T00:00:00") << 1   << kWorkedMac     << 0  << 0;
    QTest::newRow("last year")          << "A"      << "B"    << 63 << at("2042-12-31T23:59:31") << 254 << kWorkedMac     << 31 << 31;
    QTest::newRow("before 2011")        << "A"      << "B"    << 14 << at("2010-07-15T12:34:56") << 7   << kWorkedMac     << 0  << 24;
    QTest::newRow("after 2042")         << "A"      << "B"    << 14 << at("2043-02-28T08:09:10") << 200 << kWorkedMac     << 0  << 10;
    QTest::newRow("second 32")          << "A"      << "B"    << 4  << at("2020-05-05T05:05:32") << 33  << kWorkedMac     << 9  << 0;
    QTest::newRow("second 59")          << "A"      << "B"    << 4  << at("2020-05-05T05:59:59") << 34  << kWorkedMac     << 9  << 27;
    QTest::newRow("minute and second 0")<< "A"      << "B"    << 5  << at("2024-11-30T18:00:00") << 111 << kWorkedMac     << 13 << 0;
    QTest::newRow("no address")         << "ZO???"  << "X"    << 6  << at("2030-08-31T23:45:12") << 128 << "NoMacAdress!" << 19 << 12;
    QTest::newRow("empty names")        << ""       << ""     << 1  << at("2015-10-10T10:10:10") << 255 << ""             << 4  << 10;
    QTest::newRow("names past buffer")  << longName << "JEAN" << 10 << at("2016-02-29T01:02:03") << 99  << kWorkedMac     << 5  << 3;
}

void tst_snidcodec::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, lastName);
    QFETCH(int, productId);
    QFETCH(QDateTime, at);
    QFETCH(int, key);
    QFETCH(QString, mac);
    QFETCH(int, yearOffset);
    QFETCH(int, storedSecond);

    SnidCodec codec;
    const QString made = codec.makeSNID(name, lastName, productId, at, key, mac);
    QCOMPARE(made.mid(19), QStringLiteral("[%1]").arg(key));

    SnidCodec::Fields fields;
    QString error;
    QVERIFY2(SnidCodec::decodeSNID(made.left(19), fields, &error), qPrintable(error));
    QVERIFY(fields.checkDigitOk);
    QVERIFY(fields.dateOk);
    QCOMPARE(fields.key1to254, key);
    QCOMPARE(fields.yearOffset, yearOffset);
    QCOMPARE(fields.month, at.date().month());
    QCOMPARE(fields.day, at.date().day());
    QCOMPARE(fields.hour, at.time().hour());
    QCOMPARE(fields.minute, at.time().minute());
    QCOMPARE(fields.second, storedSecond);
    QCOMPARE(fields.productID, productId);
    QCOMPARE(fields.MacAdressCRC, SnidCodec::crc16(mac));
    QVERIFY(SnidCodec::infosCRCMatches(fields, name, lastName));
}

void tst_snidcodec::impossibleDatesAreFlagged_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<bool>("dateOk");

    QTest::newRow("last of each")  << 12 << 31 << 23 << 59 << true;
    QTest::newRow("first of each") << 1  << 1  << 0  << 0  << true;
    QTest::newRow("month 0")       << 0  << 14 << 15 << 26 << false;
    QTest::newRow("month 13")      << 13 << 14 << 15 << 26 << false;
    QTest::newRow("month 15")      << 15 << 14 << 15 << 26 << false;
    QTest::newRow("day 0")         << 3  << 0  << 15 << 26 << false;
    QTest::newRow("hour 24")       << 3  << 14 << 24 << 26 << false;
    QTest::newRow("hour 31")       << 3  << 14 << 31 << 26 << false;
    QTest::newRow("minute 60")     << 3  << 14 << 15 << 60 << false;
    QTest::newRow("minute 63")     << 3  << 14 << 15 << 63 << false;
}

void tst_snidcodec::impossibleDatesAreFlagged()
{
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(bool, dateOk);

    SnidCodec::Fields stored;
    QVERIFY(SnidCodec::decodeSNID("HBY4-3JXG-V8KK-ERJM", stored));
    stored.month = month;
    stored.day = day;
    stored.hour = hour;
    stored.minute = minute;

    SnidCodec::Fields fields;
    QVERIFY(SnidCodec::decodeSNID(SnidCodec::encodeSNID(stored), fields));
    QVERIFY(fields.checkDigitOk);
    QCOMPARE(fields.dateOk, dateOk);
    QCOMPARE(fields.month, month);
    QCOMPARE(fields.day, day);
    QCOMPARE(fields.hour, hour);
    QCOMPARE(fields.minute, minute);
    QCOMPARE(fields.infosCRC, stored.infosCRC);
}

void tst_snidcodec::everyProductIdRoundTrips()
{
    SnidCodec codec;
    for (int productId = 0; productId < 64; ++productId) {
        const QString made = codec.makeSNID("NOM", "PRENOM", productId, at("2021-06-07T08:09:10"), 42, kWorkedMac);
        SnidCodec::Fields fields;
        QVERIFY(SnidCodec::decodeSNID(made.left(19), fields));
        QVERIFY(fields.checkDigitOk);
        QCOMPARE(fields.productID, productId);
        QVERIFY(SnidCodec::infosCRCMatches(fields, "NOM", "PRENOM"));
    }
}

void tst_snidcodec::requestNowUsesClockKeyAndAddress()
{
    SnidCodec codec;
    const QDateTime before = QDateTime::currentDateTime();
    const QString made = codec.makeSNID("DUPONT", "JEAN", 14);
    const QDateTime after = QDateTime::currentDateTime();

    SnidCodec::Fields fields;
    QVERIFY(SnidCodec::decodeSNID(made.left(19), fields));
    QVERIFY(fields.checkDigitOk);
    QCOMPARE(made.mid(19), QStringLiteral("[%1]").arg(fields.key1to254));
    QCOMPARE(fields.MacAdressCRC, SnidCodec::crc16(SnidCodec::firstMacAddress()));

    // The clock may have moved on between the reads.
    bool matched = false;
    for (const QDateTime &when : { before, after }) {
        matched = matched
            || (fields.yearOffset == when.date().year() - 2011 && fields.month == when.date().month()
                && fields.day == when.date().day() && fields.hour == when.time().hour()
                && fields.minute == when.time().minute() && fields.second == when.time().second() % 32
                && fields.key1to254 == SnidCodec::randomKey(when.time().minute(), when.time().second()));
    }
    QVERIFY2(matched, qPrintable(made));
}

void tst_snidcodec::serialsUseAlphabetAndGrouping()
{
    const QString group = QStringLiteral("[%1]{4}").arg(kAlphabet);
    const QRegularExpression form(QStringLiteral("^%1-%1-%1-%1\\[\\d+\\]$").arg(group));
    SnidCodec codec;
    QDateTime when = at("2011-01-01T00:00:00");
    for (int key = 1; key <= 254; ++key) {
        when = when.addSecs(7 * 3600 + 13 * 60 + 17);
        const QString made = codec.makeSNID("N", "P", key % 64, when, key, QString::number(key));
        QVERIFY2(form.match(made).hasMatch(), qPrintable(made));
    }
}

void tst_snidcodec::cleanName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cleaned");

    QTest::newRow("accent, space, digit") << "Zoé 2"         << "ZO???";
    QTest::newRow("lower case")           << "dupont"        << "DUPONT";
    QTest::newRow("hyphen and dot kept")  << "Jean-Ch. Rey"  << "JEAN-CH.?REY";
    QTest::newRow("apostrophe")           << "O'Neil"        << "O?NEIL";
    QTest::newRow("sharp s keeps length") << "Strauß"        << "STRAU?";
    QTest::newRow("two-unit character")   << "A\U0001F600B"  << "A??B";
    QTest::newRow("empty")                << ""              << "";
}

void tst_snidcodec::cleanName()
{
    QFETCH(QString, text);
    QFETCH(QString, cleaned);
    QCOMPARE(SnidCodec::cleanName(text), cleaned);
}

void tst_snidcodec::deviceTypeName_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");

    QTest::newRow("unknown device") << 0  << "Inconnu";
    QTest::newRow("first")          << 1  << "Altair";
    QTest::newRow("with blanks")    << 4  << "Orion ou Draco";
    QTest::newRow("12 and 13 (12)") << 12 << "Antares";
    QTest::newRow("12 and 13 (13)") << 13 << "Antares";
    QTest::newRow("last")           << 14 << "Vega";
    QTest::newRow("past the table") << 15 << "Inconnu";
    QTest::newRow("negative")       << -1 << "Inconnu";
}

void tst_snidcodec::deviceTypeName()
{
    QFETCH(int, id);
    QFETCH(QString, name);
    QCOMPARE(SnidCodec().deviceTypeName(id), name);
}

void tst_snidcodec::decodeRejectsMalformed_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty")               << "";
    QTest::newRow("ungrouped")           << "HBY43JXGV8KKERJM";
    QTest::newRow("with the key")        << "HBY4-3JXG-V8KK-ERJM[102]";
    QTest::newRow("one character short") << "HBY4-3JXG-V8KK-ERJ";
    QTest::newRow("dash misplaced")      << "HBY43-JXG-V8KK-ERJM";
    QTest::newRow("blank for dash")      << "HBY4 3JXG-V8KK-ERJM";
    QTest::newRow("zero")                << "HBY4-3JXG-V8KK-ERJ0";
    QTest::newRow("letter O")            << "HBY4-3JXG-V8KK-ORJM";
    QTest::newRow("letter I")            << "IBY4-3JXG-V8KK-ERJM";
    QTest::newRow("letter S")            << "HBY4-3JXG-V8KS-ERJM";
    QTest::newRow("lower case")          << "hby4-3jxg-v8kk-erjm";
}

void tst_snidcodec::decodeRejectsMalformed()
{
    QFETCH(QString, text);
    SnidCodec::Fields fields;
    QString error;
    QVERIFY(!SnidCodec::decodeSNID(text, fields, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!error.contains(QLatin1Char('\n')));
}

void tst_snidcodec::decodeDetectsChangedCharacter()
{
    // A character carries five bits; the Verhoeff digit catches every change
    // that stays within one octal digit or within the check digit itself. A
    // change spanning two octal digits can go unnoticed.
    const auto groupOf = [](int bit) { return bit < 4 ? -1 : (bit - 4) / 3; };
    for (int i = 0; i < kWorkedSerial.size(); ++i) {
        if (kWorkedSerial[i] == QLatin1Char('-'))
            continue;
        const int firstBit = 5 * (i - i / 5);
        for (const QChar replacement : kAlphabet) {
            const int flipped = kAlphabet.indexOf(replacement) ^ kAlphabet.indexOf(kWorkedSerial[i]);
            QSet<int> groups;
            for (int k = 0; k < 5; ++k) {
                if (flipped & (16 >> k))
                    groups.insert(groupOf(firstBit + k));
            }
            if (groups.size() != 1)
                continue;
            QString changed = kWorkedSerial;
            changed[i] = replacement;
            SnidCodec::Fields fields;
            QVERIFY(SnidCodec::decodeSNID(changed, fields));
            QVERIFY2(!fields.checkDigitOk, qPrintable(changed));
        }
    }
}

void tst_snidcodec::infosCRCNeedsTheSameNames()
{
    SnidCodec::Fields fields;
    QVERIFY(SnidCodec::decodeSNID(kWorkedSerial, fields));
    QVERIFY(SnidCodec::infosCRCMatches(fields, "DUPONT", "JEAN"));
    QVERIFY(!SnidCodec::infosCRCMatches(fields, "JEAN", "DUPONT"));
    QVERIFY(!SnidCodec::infosCRCMatches(fields, "DUPONT", "JEANNE"));
}

QTEST_GUILESS_MAIN(tst_snidcodec)
#include "tst_snidcodec.moc"
