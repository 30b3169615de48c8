#include "StandInProcess.h"

#include "TempProgramFolder.h"

#include <QFileInfo>

namespace {

// The shell keeps the script's name; a program run with exec would not.
const QByteArray kIgnoringScript = "#!/bin/sh\nread line\n";
const QByteArray kQuittingScript
    = "#!/bin/sh\nuntil grep -qs 'TVDmquit:Now' \"${0%/*}/datamon/tvdmon.ife\"; do sleep 0.1; done\n";

} // namespace

StandInProcess::StandInProcess(TempProgramFolder &folder, const QString &name, e_Behaviour behaviour)
    : _folder(folder)
    , _name(name)
    , _behaviour(behaviour)
{
}

StandInProcess::~StandInProcess()
{
    stop();
}

bool StandInProcess::start()
{
    // A script is never rewritten while a stand-in of the same name runs it.
    if (!QFileInfo::exists(_folder.filePath(_name))
        && !_folder.addExecutable(_name, _behaviour == e_QuitsOnOrder ? kQuittingScript : kIgnoringScript))
        return false;
    _process.start(_folder.filePath(_name), {});
    return _process.waitForStarted();
}

void StandInProcess::stop()
{
    if (_process.state() == QProcess::NotRunning)
        return;
    _process.kill();
    _process.waitForFinished();
}

bool StandInProcess::isRunning() const
{
    return _process.state() != QProcess::NotRunning;
}
