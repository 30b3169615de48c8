#pragma once

#include <QString>

#include <functional>
#include <optional>

class Application;
class kernel;

// The start-up of tvdmon: which instance runs the kernel, whether the
// manager must be started, and whether a running daemon must be told that
// it was. run() returns the program's exit code. By default it asks the
// platform; tests answer in its place.
class tvdmonStartup
{
public:
    explicit tvdmonStartup(Application &app);

    // Instead of the folder of the running executable.
    void setProgramFolder(const QString &strProgramFolder);
    // Instead of the process table: running processes of an executable name.
    void setProcessCounter(const std::function<int(const char *exeFileName)> &countProcesses);
    // Called on the kernel before it starts, for shorter intervals.
    void setKernelPreparation(const std::function<void(kernel &)> &prepareKernel);

    int run();

private:
    int runKernel(bool testMode);
    int countProcesses(const char *exeFileName);
    static void showError(const QString &strText);

    Application &_app;
    std::optional<QString> _strProgramFolder;
    std::function<int(const char *)> _countProcesses;
    std::function<void(kernel &)> _prepareKernel;
};
