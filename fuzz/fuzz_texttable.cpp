// The text table: "tvdmon.ift" is downloaded from a web server.

#include "fuzzSupport.h"
#include "textMessagesTable.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startQtForFuzzing(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeFuzzFile(QStringLiteral("tvdmon.ift"), fuzzInput(data, size));
    textMessagesTable table;
    const int report = table.loadFromFile(path);
    fuzzCheck(report == 0 || (size < 3 && report == textMessagesTable::LR_TooSmall), "a file of 3 bytes or more loads");

    for (const QString &id : table.ids()) {
        const QString text = table.textOf(id);
        fuzzCheck(!text.contains(QLatin1Char('\n')), "a stored text never holds a line end");
        fuzzCheck(!text.contains(QChar(0)), "a zero byte ends the text");
        fuzzCheck(!id.contains(QLatin1Char(' ')), "an id holds no space");
        // Only the first line may begin with a line feed that ends no line.
        fuzzCheck(id.indexOf(QLatin1Char('\n'), 1) < 0, "an id holds no line end");
    }
    return 0;
}
