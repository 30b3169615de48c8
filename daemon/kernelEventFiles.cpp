// The kernel's side of the event files: the data folder, the two files the
// other programs append their lines to, and what each line asks for.

#include "kernel.h"

#include "daemonLogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

QString kernel::eventFilePath(const QString &strFileName) const
{
    return _strDataFolder + QDir::separator() + strFileName;
}

QString kernel::receivedEventValue() const
{
    return _strReceivedEventValue;
}

QStringList kernel::watchedPaths() const
{
    return _watcher.files() + _watcher.directories();
}

int kernel::createEventFile(const QString &strFileName)
{
    QFile file(eventFilePath(strFileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return file.error();
    file.close();
    return 0;
}

int kernel::prepareDataFolderAndEventFiles()
{
    QDir dir;
    if (!dir.exists(_strDataFolder) && !dir.mkdir(_strDataFolder))
        return -1;
    if (createEventFile(_strManagerEventFileName) != 0)
        return -1;
    if (createEventFile(_strDaemonEventFileName) != 0)
        return -1;
    return 0;
}

void kernel::watchEventFiles()
{
    _watcher.addPath(eventFilePath(_strManagerEventFileName));
    _watcher.addPath(eventFilePath(_strDaemonEventFileName));
    // The watcher forgets a file that a writer deletes or replaces; the folder
    // tells when it is there again.
    _watcher.addPath(_strDataFolder);
    connect(&_watcher, &QFileSystemWatcher::fileChanged, this, &kernel::slot_FileNameTVDEventChanged);
    connect(&_watcher, &QFileSystemWatcher::directoryChanged, this, &kernel::slot_dataFolderChanged);
}

void kernel::unwatchEventFiles()
{
    disconnect(&_watcher, &QFileSystemWatcher::fileChanged, nullptr, nullptr);
    disconnect(&_watcher, &QFileSystemWatcher::directoryChanged, nullptr, nullptr);
    const QStringList watched = watchedPaths();
    for (const QString &path : {eventFilePath(_strDaemonEventFileName), eventFilePath(_strManagerEventFileName), _strDataFolder}) {
        if (watched.contains(path))
            _watcher.removePath(path);
    }
}

kernel::e_EventKind kernel::readEventFile(const QString &strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return eventFileUnreadable;

    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::System);
    QString lastLine;
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (!line.isEmpty())
            lastLine = line;
    }
    file.close();

    const QString key = lastLine.section(QLatin1Char(':'), 0, 0);
    const QString value = lastLine.section(QLatin1Char(':'), 1, 1);
    static const struct {
        QLatin1String key;
        e_EventKind kind;
    } keys[] = {
        {QLatin1String("TVDDevice"), eventTVDDevice},
        {QLatin1String("TVDmquit"), eventTVDmquit},
        {QLatin1String("TVDMAN"), eventTVDMANWasRelaunchedByAnAnotherTvdmonInstance},
        {QLatin1String("TVDGetCertificate"), eventTVDGetCertificate},
    };
    for (const auto &known : keys) {
        if (key == known.key) {
            _strReceivedEventValue = value;
            return known.kind;
        }
    }
    return eventUnknown;
}

int kernel::informTvdmonThatTVDMANWasRelaunched()
{
    QFile file(eventFilePath(_strDaemonEventFileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return file.error();
    qCDebug(lcKernel) << "TVDMAN:relaunched !";
    file.write("TVDMAN:relaunched\r\n", 19);
    file.close();
    return 0;
}

void kernel::slot_FileNameTVDEventChanged(const QString &path)
{
    if (!_watcher.files().contains(path) && QFileInfo::exists(path))
        _watcher.addPath(path);
    const e_EventKind kind = readEventFile(path);
    qCDebug(lcKernel) << "slot_FileNameTVDEventChanged" << path << kind;
    dispatchEvent(kind);
}

void kernel::dispatchEvent(e_EventKind kind)
{
    switch (kind) {
    case eventFileUnreadable:
        runStep(readEventFileError);
        break;
    case eventUnknown:
        break;
    case eventTVDDevice:
        if (_state == waitingForDevice)
            runStep(deviceReceived);
        break;
    case eventTVDMANWasRelaunchedByAnAnotherTvdmonInstance:
        qCDebug(lcKernel) << "case kernel::eventTVDMANWasRelaunchedByAnAnotherTvdmonInstance:";
        stopOperations(stopForManagerRelaunch);
        break;
    case eventTVDGetCertificate:
        if (_state == deviceReady)
            runStep(certificateRequested);
        break;
    case eventTVDmquit:
        tryToQuitNow();
        break;
    }
}

void kernel::slot_dataFolderChanged()
{
    const QStringList watched = _watcher.files();
    for (const QString &path : {eventFilePath(_strManagerEventFileName), eventFilePath(_strDaemonEventFileName)}) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            slot_FileNameTVDEventChanged(path);
    }
}
