#pragma once

#include <QString>

#include <memory>

class QIODevice;

// Program folder of the running executable, and counts of running processes
// by exact executable file name: how the programs find each other.
class processList
{
public:
    processList();
    ~processList();
    processList(const processList &) = delete;
    processList &operator=(const processList &) = delete;

    bool initApplicationDir();
    QString applicationDir() const;

    // Processes whose executable file name equals processName byte for byte;
    // 0 for a null or empty name, or when the process table cannot be read.
    // Traces of the walk go to trace when one is given.
    int countProcesses(const char *processName, QIODevice *trace = nullptr);
    bool GetProcessList(QIODevice *trace = nullptr);

private:
    std::unique_ptr<char[]> _strProcessName;
    qint32 _nbProcess;
    QString _strApplicationDir;
};
