// tvdmquit: tells the daemon to quit and waits until its process has gone.
// Exit code 0 when it has gone (or was not running), 1 when it still runs
// after the fifth check, each plus 2 when the manager was running at start;
// 32 when another tvdmquit runs.

#include "Application.h"
#include "kernel.h"
#include "processList.h"
#include "quitLogging.h"
#include "winOSinfos.h"

namespace {

constexpr int kAlreadyRunning = 32;

} // namespace

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    processList processes;
    processes.initApplicationDir();
    qCDebug(lcQuit) << "strDataLocation=" << winOSinfos::standardDataLocation();
    if (processes.countProcesses("tvdmquit.exe") >= 2)
        return kAlreadyRunning;

    const bool managerWasRunning = processes.countProcesses("TVDMAN.exe") > 0;
    int exitCode = kernel::exitCodeFor(true, managerWasRunning);
    if (processes.countProcesses("tvdmon.exe") > 0) {
        kernel quitKernel(processes.applicationDir(), managerWasRunning);
        app.attachKernel(&quitKernel);
        exitCode = app.exec();
    }
    qCDebug(lcQuit) << "qMain" << exitCode;
    return exitCode;
}
