#include "processList.h"

#include "Platform.h"

#include <QByteArray>
#include <QIODevice>

#include <cstring>
#include <new>

namespace {

void trace(QIODevice *device, const QByteArray &text)
{
    if (device)
        device->write(text);
}

} // namespace

processList::processList()
    : _nbProcess(0)
{
}

processList::~processList() = default;

bool processList::initApplicationDir()
{
    _strApplicationDir = QString::fromUtf8(tvd::platform::programFolder());
    return !_strApplicationDir.isEmpty();
}

QString processList::applicationDir() const
{
    return _strApplicationDir;
}

int processList::countProcesses(const char *processName, QIODevice *trace)
{
    if (!processName || *processName == '\0')
        return 0;
    const std::size_t length = std::strlen(processName);
    _strProcessName.reset(new (std::nothrow) char[length + 1]());
    if (!_strProcessName)
        return 0;
    std::memcpy(_strProcessName.get(), processName, length);
    _nbProcess = 0;

    const bool walked = GetProcessList(trace);

    _strProcessName.reset();
    const int count = _nbProcess;
    _nbProcess = 0;
    return walked ? count : 0;
}

bool processList::GetProcessList(QIODevice *device)
{
    using tvd::platform::ProcessWalk;
    const ProcessWalk result = tvd::platform::walkProcesses([this, device](const char *exeFileName) {
        if (device) {
            trace(device, QByteArray("GetProcessList: cmp:") + "_strProcessName=[" + _strProcessName.get()
                              + "] charSzExeFile=[" + exeFileName + "]\n\r");
        }
        if (std::strcmp(exeFileName, _strProcessName.get()) == 0) {
            ++_nbProcess;
            trace(device, "-> Seen -> _nbProcess is now:" + QByteArray::number(_nbProcess) + "\n\r");
        }
    });

    switch (result) {
    case ProcessWalk::SnapshotFailed:
        trace(device, "GetProcessList: Error: hProcessSnap is INVALID_HANDLE_VALUE\n\r");
        return false;
    case ProcessWalk::FirstFailed:
        trace(device, "GetProcessList: Error: Process32First has failed\n\r");
        return false;
    case ProcessWalk::Done:
        break;
    }
    trace(device, "GetProcessList: end of method\n\r");
    return true;
}
