#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

// The certificate serial number (SNID): request date, random key, device type
// and two CRCs scattered over 80 bits with a Verhoeff check digit, written as
// four groups of four characters. There is no secret: every field can be read
// back from the serial number alone.
class SnidCodec
{
public:
    // The fields of a serial number, as stored.
    struct Fields {
        int checkDigit = 0;
        int key1to254 = 0;
        int yearOffset = 0;
        int month = 0;
        int day = 0;
        int hour = 0;
        int minute = 0;
        int second = 0;
        int productID = 0;
        quint16 infosCRC = 0;
        quint16 MacAdressCRC = 0;
        // The check digit matches the other fields.
        bool checkDigitOk = false;
        // The stored date and time can exist (month 1 to 12, day 1 to 31,
        // hour 0 to 23, minute 0 to 59).
        bool dateOk = false;
    };

    SnidCodec();

    // Grouped serial number followed by "[key]", for the current local time,
    // the runtime generator's key and this PC's first hardware address.
    QString makeSNID(const QString &name, const QString &lastName, int productId) const;
    // Same with every input given; key is 1 to 254.
    QString makeSNID(const QString &name, const QString &lastName, int productId, const QDateTime &at, int key,
        const QString &macAddress) const;

    // The grouped form of these fields, with the check digit they call for
    // (fields.checkDigit is not read). Values are cut to their widths.
    static QString encodeSNID(const Fields &fields);
    // Reads the grouped form back. False, with a one-line reason in error,
    // when the text is not a well-formed serial number.
    static bool decodeSNID(const QString &snid, Fields &fields, QString *error = nullptr);
    // The infos CRC of the fields matches these cleaned names.
    static bool infosCRCMatches(const Fields &fields, const QString &name, const QString &lastName);

    QString deviceTypeName(int id) const;

    static QString cleanName(const QString &text);
    static QString firstMacAddress();
    // key1to254 as the Windows runtime draws it for a request at this time.
    static int randomKey(int minute, int second);
    static quint16 crc16(const QString &text);
    // -1 when the text holds anything but decimal digits.
    static int verhoeffCheckDigit(const QString &digits);

private:
    QHash<int, QString> _deviceTypes;
};
