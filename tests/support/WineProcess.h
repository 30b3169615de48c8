#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A Windows program run under Wine, in the private prefix of the test run and
// without a display. Stopped, if it still runs, when the object goes.
class WineProcess : public QProcess
{
public:
    explicit WineProcess(QObject *parent = nullptr);
    ~WineProcess() override;

    void startWindowsProgram(const QString &program, const QStringList &arguments = {});
    // Runs the program to its end; its exit code, or -1 when it could not
    // start, crashed or ran past timeoutMs.
    int runWindowsProgram(const QString &program, const QStringList &arguments = {}, int timeoutMs = 30000);

    // A program of the Windows build.
    static QString builtProgram(const QString &name);
    // The path as Windows programs see it under Wine: on drive Z:, with backslashes.
    static QString windowsPath(const QString &path);
};
