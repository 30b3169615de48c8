// The event files: any program may append anything to them.

#include "fuzzSupport.h"
#include "kernel.h"

#include <QTemporaryDir>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startQtForFuzzing(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir programFolder;
    static kernel daemonKernel(programFolder.path() + QLatin1Char('/'));

    const QString path = writeFuzzFile(QStringLiteral("tvdman.ife"), fuzzInput(data, size));
    const QString valueBefore = daemonKernel.receivedEventValue();
    const kernel::e_EventKind kind = daemonKernel.readEventFile(path);
    const QString value = daemonKernel.receivedEventValue();

    switch (kind) {
    case kernel::eventFileUnreadable:
    case kernel::eventUnknown:
        fuzzCheck(value == valueBefore, "an unknown line leaves the received value alone");
        break;
    case kernel::eventTVDDevice:
    case kernel::eventTVDMANWasRelaunchedByAnAnotherTvdmonInstance:
    case kernel::eventTVDGetCertificate:
    case kernel::eventTVDmquit:
        fuzzCheck(!value.contains(QLatin1Char('\n')), "a value holds no line end");
        fuzzCheck(!value.contains(QLatin1Char(':')), "a value ends at the second colon");
        break;
    default:
        fuzzCheck(false, "the event kind is one of the known ones");
    }
    return 0;
}
