// Appends one fixed event line to the manager's event file, in the manager's
// place, so that the daemon can be driven by hand.

#include "processList.h"

#include <QDir>
#include <QFile>

namespace {

constexpr char kEventLine[] = TVD_EVENT_KEY ":" TVD_EVENT_VALUE "\r\n";

} // namespace

int main()
{
    processList processes;
    processes.initApplicationDir();
    const QString dataFolder = processes.applicationDir() + QStringLiteral("datamon");

    // The data folder is the daemon's: without it there is nobody to tell.
    QFile eventFile(dataFolder + QDir::separator() + QStringLiteral("tvdman.ife"));
    if (!eventFile.open(QIODevice::WriteOnly | QIODevice::Append))
        return -1;
    eventFile.write(kEventLine, sizeof kEventLine - 1);
    eventFile.close();
    return 0;
}
