#include "SnidCodec.h"

#include "MsvcrtRandom.h"
#include "certificateLogging.h"

#include <QNetworkInterface>

#include <array>

namespace {

constexpr int kBitCount = 82;
constexpr int kCharBitCount = 80;
constexpr int kCrcBufferSize = 1024;
constexpr int kFirstYear = 2011;
constexpr int kGroupedLength = 19;

const QString kAlphabet = QStringLiteral("123456789ABCDEFGHJKLMNPQRTUVWXYZ");
const QString kNameAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ-.");

using Bits = std::array<quint8, kBitCount>;

// Bit positions of each field, most significant bit first.
constexpr std::array<int, 4> kCheckDigitPos = { 3, 2, 1, 0 };
constexpr std::array<int, 8> kKeyPos = { 52, 44, 36, 28, 20, 8, 6, 4 };
constexpr std::array<int, 5> kYearPos = { 22, 17, 15, 14, 12 };
constexpr std::array<int, 4> kMonthPos = { 60, 24, 18, 11 };
constexpr std::array<int, 5> kDayPos = { 63, 50, 34, 25, 21 };
constexpr std::array<int, 5> kHourPos = { 59, 49, 41, 37, 31 };
constexpr std::array<int, 6> kMinutePos = { 54, 47, 40, 33, 30, 5 };
constexpr std::array<int, 5> kSecondPos = { 62, 57, 53, 46, 38 };
constexpr std::array<int, 6> kProductPos = { 56, 51, 43, 35, 27, 19 };
constexpr std::array<int, 16> kInfosCrcPos = { 61, 58, 55, 48, 45, 42, 39, 32, 29, 26, 23, 16, 13, 10, 9, 7 };
constexpr std::array<int, 16> kMacCrcPos = { 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79 };

constexpr int kVerhoeffD[10][10] = {
    { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 },
    { 1, 2, 3, 4, 0, 6, 7, 8, 9, 5 },
    { 2, 3, 4, 0, 1, 7, 8, 9, 5, 6 },
    { 3, 4, 0, 1, 2, 8, 9, 5, 6, 7 },
    { 4, 0, 1, 2, 3, 9, 5, 6, 7, 8 },
    { 5, 9, 8, 7, 6, 0, 4, 3, 2, 1 },
    { 6, 5, 9, 8, 7, 1, 0, 4, 3, 2 },
    { 7, 6, 5, 9, 8, 2, 1, 0, 4, 3 },
    { 8, 7, 6, 5, 9, 3, 2, 1, 0, 4 },
    { 9, 8, 7, 6, 5, 4, 3, 2, 1, 0 },
};
constexpr int kVerhoeffP[8][10] = {
    { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 },
    { 1, 5, 7, 6, 2, 8, 3, 0, 9, 4 },
    { 5, 8, 0, 3, 7, 9, 6, 1, 4, 2 },
    { 8, 9, 1, 6, 0, 4, 3, 5, 2, 7 },
    { 9, 4, 5, 3, 1, 2, 6, 8, 7, 0 },
    { 4, 2, 8, 6, 5, 7, 3, 9, 0, 1 },
    { 2, 7, 9, 3, 8, 0, 6, 4, 1, 5 },
    { 7, 0, 4, 6, 9, 1, 3, 2, 5, 8 },
};
constexpr int kVerhoeffInv[10] = { 0, 4, 3, 2, 1, 5, 6, 7, 8, 9 };

template <std::size_t N> void place(Bits &bits, const std::array<int, N> &positions, int value)
{
    for (std::size_t i = 0; i < N; ++i)
        bits[positions[i]] = (value >> (N - 1 - i)) & 1;
}

template <std::size_t N> int read(const Bits &bits, const std::array<int, N> &positions)
{
    int value = 0;
    for (int position : positions)
        value = (value << 1) | bits[position];
    return value;
}

template <std::size_t N> QString digitsOf(const std::array<quint8, N> &bits)
{
    QString text(static_cast<int>(N), QLatin1Char('0'));
    for (std::size_t i = 0; i < N; ++i)
        text[static_cast<int>(i)] = QLatin1Char(static_cast<char>('0' + bits[i]));
    return text;
}

std::array<quint8, 16> crcBits(quint16 crc)
{
    std::array<quint8, 16> bits {};
    for (int i = 0; i < 16; ++i)
        bits[i] = (crc >> (15 - i)) & 1;
    return bits;
}

// B4 to B81 read three bits at a time: the 26 digits under the check digit.
QString octalDigits(const Bits &bits)
{
    QString digits;
    for (int i = 4; i < kBitCount; i += 3)
        digits += QLatin1Char(static_cast<char>('0' + 4 * bits[i] + 2 * bits[i + 1] + bits[i + 2]));
    return digits;
}

QString infosText(const QString &name, const QString &lastName, int key, int productId)
{
    return name + lastName + QString::number(key) + QString::number(productId);
}

} // namespace

SnidCodec::SnidCodec()
    : _deviceTypes({ { 0, QStringLiteral("Inconnu") }, { 1, QStringLiteral("Altair") }, { 2, QStringLiteral("Rigel") },
        { 3, QStringLiteral("Deneb") }, { 4, QStringLiteral("Orion ou Draco") }, { 5, QStringLiteral("Mira") },
        { 6, QStringLiteral("Sirius") }, { 7, QStringLiteral("Lyra ou similaire") }, { 8, QStringLiteral("Castor") },
        { 9, QStringLiteral("Lyra") }, { 10, QStringLiteral("Pollux") }, { 11, QStringLiteral("Capella") },
        { 12, QStringLiteral("Antares") }, { 13, QStringLiteral("Antares") }, { 14, QStringLiteral("Vega") } })
{
    qCDebug(lcSnid) << _deviceTypes;
}

QString SnidCodec::makeSNID(const QString &name, const QString &lastName, int productId) const
{
    const QDateTime now = QDateTime::currentDateTime();
    return makeSNID(
        name, lastName, productId, now, randomKey(now.time().minute(), now.time().second()), firstMacAddress());
}

QString SnidCodec::makeSNID(const QString &name, const QString &lastName, int productId, const QDateTime &at, int key,
    const QString &macAddress) const
{
    const QDate date = at.date();
    const QTime time = at.time();
    int yearOffset = date.year() - kFirstYear;
    if (yearOffset < 0 || yearOffset >= 32)
        yearOffset = 0;
    qCDebug(lcSnid) << date.day() << "/" << date.month() << "/" << yearOffset << ")" << time.hour() << "h"
                    << time.minute() << ":" << time.second() % 32;

    const quint16 infosCrc = crc16(infosText(name, lastName, key, productId));
    qCDebug(lcSnid) << "calculated CRC bits:" << digitsOf(crcBits(infosCrc));
    const quint16 macCrc = crc16(macAddress);
    qCDebug(lcSnid) << "calculated MacAdressCRC bits:" << digitsOf(crcBits(macCrc));

    Fields fields;
    fields.key1to254 = key;
    fields.yearOffset = yearOffset;
    fields.month = date.month();
    fields.day = date.day();
    fields.hour = time.hour();
    fields.minute = time.minute();
    fields.second = time.second() % 32;
    fields.productID = productId;
    fields.infosCRC = infosCrc;
    fields.MacAdressCRC = macCrc;
    return encodeSNID(fields) + QLatin1Char('[') + QString::number(key) + QLatin1Char(']');
}

QString SnidCodec::encodeSNID(const Fields &fields)
{
    Bits bits {};
    place(bits, kKeyPos, fields.key1to254 & 0xFF);
    place(bits, kYearPos, fields.yearOffset & 0x1F);
    place(bits, kMonthPos, fields.month & 0xF);
    place(bits, kDayPos, fields.day & 0x1F);
    place(bits, kHourPos, fields.hour & 0x1F);
    place(bits, kMinutePos, fields.minute & 0x3F);
    place(bits, kSecondPos, fields.second & 0x1F);
    place(bits, kProductPos, fields.productID & 0x3F);
    place(bits, kInfosCrcPos, fields.infosCRC);
    place(bits, kMacCrcPos, fields.MacAdressCRC);
    qCDebug(lcSnid) << "certificate bits:" << digitsOf(bits);

    const int checkDigit = verhoeffCheckDigit(octalDigits(bits));
    qCDebug(lcSnid) << "rVerhoeff=" << checkDigit;
    place(bits, kCheckDigitPos, checkDigit);
    qCDebug(lcSnid) << "Verhoeff4bits:";
    for (int position : kCheckDigitPos)
        qCDebug(lcSnid) << bits[position];
    qCDebug(lcSnid) << "certificate bits:" << digitsOf(bits);

    QString snid;
    for (int i = 0; i < kCharBitCount; i += 5) {
        if (i > 0 && i % 20 == 0)
            snid += QLatin1Char('-');
        snid += kAlphabet[16 * bits[i] + 8 * bits[i + 1] + 4 * bits[i + 2] + 2 * bits[i + 3] + bits[i + 4]];
    }
    return snid;
}

bool SnidCodec::decodeSNID(const QString &snid, Fields &fields, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (snid.size() != kGroupedLength)
        return fail(QStringLiteral("a serial number has 19 characters, not %1").arg(snid.size()));

    Bits bits {};
    int bit = 0;
    for (int i = 0; i < kGroupedLength; ++i) {
        const bool separator = i % 5 == 4;
        if (separator != (snid[i] == QLatin1Char('-')))
            return fail(QStringLiteral("a serial number is four groups of four characters joined by \"-\""));
        if (separator)
            continue;
        const int value = kAlphabet.indexOf(snid[i]);
        if (value < 0)
            return fail(QStringLiteral("character \"%1\" at position %2 is not in the serial-number alphabet")
                            .arg(snid[i])
                            .arg(i + 1));
        for (int shift = 4; shift >= 0; --shift)
            bits[bit++] = (value >> shift) & 1;
    }

    fields.checkDigit = read(bits, kCheckDigitPos);
    fields.key1to254 = read(bits, kKeyPos);
    fields.yearOffset = read(bits, kYearPos);
    fields.month = read(bits, kMonthPos);
    fields.day = read(bits, kDayPos);
    fields.hour = read(bits, kHourPos);
    fields.minute = read(bits, kMinutePos);
    fields.second = read(bits, kSecondPos);
    fields.productID = read(bits, kProductPos);
    fields.infosCRC = static_cast<quint16>(read(bits, kInfosCrcPos));
    fields.MacAdressCRC = static_cast<quint16>(read(bits, kMacCrcPos));
    fields.checkDigitOk = verhoeffCheckDigit(octalDigits(bits)) == fields.checkDigit;
    fields.dateOk = fields.month >= 1 && fields.month <= 12 && fields.day >= 1 && fields.day <= 31
        && fields.hour <= 23 && fields.minute <= 59;
    return true;
}

bool SnidCodec::infosCRCMatches(const Fields &fields, const QString &name, const QString &lastName)
{
    return crc16(infosText(name, lastName, fields.key1to254, fields.productID)) == fields.infosCRC;
}

QString SnidCodec::deviceTypeName(int id) const
{
    return _deviceTypes.value(id, _deviceTypes.value(0, QStringLiteral("unknown")));
}

QString SnidCodec::cleanName(const QString &text)
{
    QString cleaned;
    cleaned.reserve(text.size());
    // Character by character: a full upper-casing would turn "ß" into "SS"
    // and change the length.
    for (const QChar c : text) {
        const QChar upper = c.toUpper();
        cleaned += kNameAlphabet.contains(upper) ? upper : QLatin1Char('?');
    }
    return cleaned;
}

QString SnidCodec::firstMacAddress()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &networkInterface : interfaces) {
        if (!networkInterface.flags().testFlag(QNetworkInterface::IsLoopBack))
            return networkInterface.hardwareAddress();
    }
    return QStringLiteral("NoMacAdress!");
}

int SnidCodec::randomKey(int minute, int second)
{
    MsvcrtRandom random(static_cast<quint32>(minute * 18 * second + 333));
    return random.next() % 254 + 1;
}

quint16 SnidCodec::crc16(const QString &text)
{
    // The CRC buffer of the Windows program holds 1024 bytes: longer texts are
    // cut there instead of overrunning it.
    const QByteArray bytes = text.toLatin1().left(kCrcBufferSize);
    quint16 crc = 0;
    for (const char c : bytes) {
        if (c == '\0')
            break;
        quint8 byte = static_cast<quint8>(c);
        for (int i = 0; i < 8; ++i) {
            crc = ((byte ^ crc) & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001) : static_cast<quint16>(crc >> 1);
            byte >>= 1;
        }
    }
    return crc;
}

int SnidCodec::verhoeffCheckDigit(const QString &digits)
{
    int c = 0;
    for (int i = 0; i < digits.size(); ++i) {
        const int digit = digits[digits.size() - 1 - i].digitValue();
        if (digit < 0 || digit > 9)
            return -1;
        c = kVerhoeffD[c][kVerhoeffP[(i + 1) % 8][digit]];
    }
    return kVerhoeffInv[c];
}
