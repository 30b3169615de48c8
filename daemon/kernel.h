#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

// The daemon's central controller. It talks with the other programs through
// the two event files of the data folder.
class kernel : public QObject
{
    Q_OBJECT

public:
    enum e_EventKind {
        eventFileUnreadable = 0,
        eventUnknown = 1,
        eventTVDDevice = 2,
        eventTVDMANWasRelaunchedByAnAnotherTvdmonInstance = 6,
        eventTVDGetCertificate = 7,
        eventTVDmquit = 8,
    };
    Q_ENUM(e_EventKind)

    explicit kernel(const QString &strApplicationDir);

    QString dataFolder() const;
    QString eventFilePath(const QString &strFileName) const;
    QString receivedEventValue() const;
    QStringList watchedPaths() const;

    int createEventFile(const QString &strFileName);
    int createDataFolderAndEventFiles();
    void watchEventFiles();
    void unwatchEventFiles();
    e_EventKind readEventFile(const QString &strPath);
    int informTvdmonThatTVDMANWasRelaunched();

public slots:
    void slot_FileNameTVDEventChanged(const QString &path);

private slots:
    void slot_dataFolderChanged();

private:
    QString _strApplicationDir;
    QString _strDataFolder;
    QString _strManagerEventFileName;
    QString _strDaemonEventFileName;
    QFileSystemWatcher _watcher;
    QString _strReceivedEventValue;
};
