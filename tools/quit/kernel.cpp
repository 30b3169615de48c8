#include "kernel.h"

#include "processList.h"
#include "quitLogging.h"

#include <QDir>
#include <QFile>
#include <QTimer>

namespace {

constexpr int kStepCount = 5;
constexpr char kQuitOrderLine[] = "TVDmquit:Now\r\n";

} // namespace

kernel::kernel(const QString &strApplicationDir, bool managerWasRunning, int checkIntervalMs, QObject *parent)
    : QObject(parent)
    , _strApplicationDir(strApplicationDir)
    , _strDataFolder(strApplicationDir + QStringLiteral("datamon"))
    , _strEventFileName(QStringLiteral("tvdmon.ife"))
    , _nbCheck(0)
    , _timerSendQuitOrder(new QTimer(this))
    , _managerWasRunning(managerWasRunning)
    , _checkIntervalMs(checkIntervalMs)
{
    connect(_timerSendQuitOrder, &QTimer::timeout, this, &kernel::slot_timerSendQuitOrderTimeOut);
}

int kernel::exitCodeFor(bool daemonGone, bool managerWasRunning)
{
    return (daemonGone ? 0 : 1) + (managerWasRunning ? 2 : 0);
}

int kernel::startQuitOrderSequence()
{
    _nbCheck = 0;
    informByTvdmonEventFileThatTVDMONMustQuit();
    _timerSendQuitOrder->start(_checkIntervalMs);
    return 0;
}

int kernel::informByTvdmonEventFileThatTVDMONMustQuit()
{
    const QString path = _strDataFolder + QDir::separator() + _strEventFileName;
    qCDebug(lcQuit) << __func__ << path;
    // The data folder belongs to the daemon: without it there is nobody to
    // tell, so it is not created here.
    QFile eventFile(path);
    if (!eventFile.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qCDebug(lcQuit) << __func__ << "error opening " << path << ":" << eventFile.error();
        return eventFile.error();
    }
    qCDebug(lcQuit) << "write now:  tvdmquit:Now";
    eventFile.write(kQuitOrderLine, sizeof kQuitOrderLine - 1);
    eventFile.close();
    return 0;
}

void kernel::slot_timerSendQuitOrderTimeOut()
{
    qCDebug(lcQuit) << "slot_timerSendQuitOrderTimeOut";
    ++_nbCheck;
    processList processes;
    const bool daemonGone = processes.countProcesses("tvdmon.exe") == 0;
    if (daemonGone || _nbCheck >= kStepCount) {
        _nbCheck = kStepCount;
        emit timeSliceStepReach(kStepCount, kStepCount);
        emit ExitAppRequest(exitCodeFor(daemonGone, _managerWasRunning));
        return;
    }
    emit timeSliceStepReach(_nbCheck, kStepCount);
    informByTvdmonEventFileThatTVDMONMustQuit();
    _timerSendQuitOrder->start(_checkIntervalMs);
}
