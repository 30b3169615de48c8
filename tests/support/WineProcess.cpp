#include "WineProcess.h"

#include <QProcessEnvironment>

WineProcess::WineProcess(QObject *parent)
    : QProcess(parent)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), QStringLiteral(TVD_WINE_PREFIX));
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    // No menu entries or file associations in the user's home.
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("winemenubuilder.exe=d"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    setProcessEnvironment(environment);
}

WineProcess::~WineProcess()
{
    if (state() != NotRunning) {
        kill();
        waitForFinished();
    }
}

void WineProcess::startWindowsProgram(const QString &program, const QStringList &arguments)
{
    start(QStringLiteral(TVD_WINE), QStringList(program) + arguments);
}

int WineProcess::runWindowsProgram(const QString &program, const QStringList &arguments, int timeoutMs)
{
    startWindowsProgram(program, arguments);
    if (!waitForFinished(timeoutMs)) {
        kill();
        waitForFinished();
        return -1;
    }
    return exitStatus() == NormalExit ? exitCode() : -1;
}

QString WineProcess::builtProgram(const QString &name)
{
    return QStringLiteral(TVD_WINDOWS_PROGRAM_DIR "/") + name;
}

QString WineProcess::windowsPath(const QString &path)
{
    return QStringLiteral("Z:") + QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}
