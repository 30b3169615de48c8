// Serial numbers typed by support staff, and the names the customer types.

#include "SnidCodec.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startQtForFuzzing(argc, argv);
    return 0;
}

namespace {
bool sameFields(const SnidCodec::Fields &a, const SnidCodec::Fields &b)
{
    return a.key1to254 == b.key1to254 && a.yearOffset == b.yearOffset && a.month == b.month && a.day == b.day
        && a.hour == b.hour && a.minute == b.minute && a.second == b.second && a.productID == b.productID
        && a.infosCRC == b.infosCRC && a.MacAdressCRC == b.MacAdressCRC && a.dateOk == b.dateOk;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzzInput(data, size));

    const QString cleaned = SnidCodec::cleanName(text);
    fuzzCheck(cleaned.size() == text.size(), "cleaning keeps the length");
    for (const QChar c : cleaned)
        fuzzCheck(c == QLatin1Char('?') || c == QLatin1Char('-') || c == QLatin1Char('.') || (c >= 'A' && c <= 'Z'),
            "a cleaned name holds capitals, \"-\", \".\" and \"?\" only");

    SnidCodec::Fields fields;
    QString error;
    if (!SnidCodec::decodeSNID(text, fields, &error)) {
        fuzzCheck(!error.isEmpty(), "a refused serial number says why");
        return 0;
    }
    SnidCodec::infosCRCMatches(fields, cleaned, cleaned);

    const QString remade = SnidCodec::encodeSNID(fields);
    SnidCodec::Fields again;
    fuzzCheck(SnidCodec::decodeSNID(remade, again), "a serial made from decoded fields decodes");
    fuzzCheck(sameFields(fields, again), "a serial made from decoded fields decodes to the same fields");
    fuzzCheck(again.checkDigitOk, "a serial made from fields has a good check digit");
    fuzzCheck(!fields.checkDigitOk || remade == text, "a serial with a good check digit is made again as it was");
    return 0;
}
