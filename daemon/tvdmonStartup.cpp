#include "tvdmonStartup.h"

#include "Application.h"
#include "Platform.h"
#include "daemonLogging.h"
#include "kernel.h"
#include "processList.h"
#include "winOSinfos.h"

#include <QFileInfo>
#include <QMessageBox>

namespace {

// What the shell answers when it has started a program.
constexpr std::intptr_t kShellStarted = 32;

} // namespace

tvdmonStartup::tvdmonStartup(Application &app)
    : _app(app)
{
}

void tvdmonStartup::setProgramFolder(const QString &strProgramFolder)
{
    _strProgramFolder = strProgramFolder;
}

void tvdmonStartup::setProcessCounter(const std::function<int(const char *)> &countProcesses)
{
    _countProcesses = countProcesses;
}

void tvdmonStartup::setKernelPreparation(const std::function<void(kernel &)> &prepareKernel)
{
    _prepareKernel = prepareKernel;
}

int tvdmonStartup::run()
{
    if (!_strProgramFolder) {
        processList processes;
        processes.initApplicationDir();
        _strProgramFolder = processes.applicationDir();
    }
    const QString folder = *_strProgramFolder;
    winOSinfos osInfos;
    osInfos.initDataLocation();

    if (!folder.isEmpty() && QFileInfo::exists(folder + QStringLiteral("uitest.txt")))
        return runKernel(true);

    const int daemons = countProcesses("tvdmon.exe");
    qCDebug(lcStartup) << "program folder" << folder << "tvdmon.exe running:" << daemons;
    if (daemons == 0)
        return 0;
    const bool alone = daemons <= 1;

    const int managers = countProcesses("TVDMAN.exe");
    qCDebug(lcStartup) << "TVDMAN.exe running:" << managers;
    if (managers <= 0) {
        if (folder.isEmpty()) {
            showError(QStringLiteral("Empty exec path"));
            return 1;
        }
        const std::string manager = (folder + QStringLiteral("TVDMAN.exe")).toStdString();
        if (tvd::platform::shellOpen(manager, folder.toStdString()) <= kShellStarted) {
            showError(QStringLiteral("Impossible to start TVDMAN.exe"));
            return 0;
        }
        if (!alone) {
            const int error = kernel(folder).informTvdmonThatTVDMANWasRelaunched();
            if (error != 0) {
                showError(QStringLiteral("starting TVDMAN: Inform Error ") + QString::number(error));
                return 1;
            }
            return 0;
        }
    }
    if (!alone)
        return 0;
    return runKernel(false);
}

int tvdmonStartup::runKernel(bool testMode)
{
    kernel k(*_strProgramFolder);
    k.setTestMode(testMode);
    if (_prepareKernel)
        _prepareKernel(k);
    // A kernel whose start failed still watches the manager.
    _app.attachKernel(&k);
    return _app.exec();
}

int tvdmonStartup::countProcesses(const char *exeFileName)
{
    if (_countProcesses)
        return _countProcesses(exeFileName);
    return processList().countProcesses(exeFileName);
}

void tvdmonStartup::showError(const QString &strText)
{
    QMessageBox::information(nullptr, QStringLiteral("Tvdmon error"), strText);
}
