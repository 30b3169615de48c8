// tvmccfr: removes what earlier installations left on the desktop and in the
// start menus. Exit code 0 after the cleanup, 32 when one already runs.

#include "Application.h"
#include "kernel.h"
#include "processList.h"
#include "winOSinfos.h"

namespace {

constexpr int kAlreadyRunning = 32;

} // namespace

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    processList processes;
    processes.initApplicationDir();
    const QString dataLocation = winOSinfos::userLocalDataLocation();
    if (processes.countProcesses("tvmccfr.exe") >= 2)
        return kAlreadyRunning;

    kernel cleanup(processes.applicationDir(), dataLocation);
    app.attachKernel(&cleanup);
    return app.exec();
}
