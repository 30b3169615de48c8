#pragma once

#include <QProcess>
#include <QString>

class TempProgramFolder;

// A script of a program folder that runs under the file name of one of the
// system's programs, so that process counts take it for that program. It is
// stopped when destroyed.
class StandInProcess
{
public:
    enum e_Behaviour {
        e_IgnoresOrders, // runs until stopped
        e_QuitsOnOrder,  // ends once the quit order is in the daemon's event file
    };

    StandInProcess(TempProgramFolder &folder, const QString &name, e_Behaviour behaviour = e_IgnoresOrders);
    ~StandInProcess();
    StandInProcess(const StandInProcess &) = delete;
    StandInProcess &operator=(const StandInProcess &) = delete;

    // Writes the script when the folder has none of that name yet.
    bool start();
    // Kills it and reaps it, so that it has left the process table on return.
    void stop();
    bool isRunning() const;

private:
    TempProgramFolder &_folder;
    QString _name;
    e_Behaviour _behaviour;
    QProcess _process;
};
