#pragma once

#include <QObject>
#include <QString>

class QTimer;

// Orders the daemon to quit through its event file and checks, every few
// seconds, whether its process has gone.
class kernel : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCheckIntervalMs = 3000;

    kernel(const QString &strApplicationDir, bool managerWasRunning, int checkIntervalMs = kCheckIntervalMs,
        QObject *parent = nullptr);

    // The program's exit code for the daemon's fate and the manager's state
    // at start.
    static int exitCodeFor(bool daemonGone, bool managerWasRunning);

    int startQuitOrderSequence();
    // 0, or the error of the failed open; the order is sent again anyway.
    int informByTvdmonEventFileThatTVDMONMustQuit();

signals:
    void ExitAppRequest(int exitCode);
    void timeSliceStepReach(int step, int stepMax);

public slots:
    void slot_timerSendQuitOrderTimeOut();

private:
    QString _strApplicationDir;
    QString _strDataFolder;
    QString _strEventFileName;
    int _nbCheck;
    QTimer *_timerSendQuitOrder;
    bool _managerWasRunning;
    int _checkIntervalMs;
};
