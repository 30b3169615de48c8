#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>

TempProgramFolder::TempProgramFolder()
    : _path(QDir(_dir.path()).canonicalPath() + QDir::separator())
{
}

bool TempProgramFolder::isValid() const
{
    return _dir.isValid();
}

QString TempProgramFolder::path() const
{
    return _path;
}

QString TempProgramFolder::filePath(const QString &name) const
{
    return _path + name;
}

bool TempProgramFolder::addProgram(const QString &name)
{
    return QFile::copy(builtProgram(name), filePath(name));
}

bool TempProgramFolder::addExecutable(const QString &name, const QByteArray &content)
{
    return writeFile(filePath(name), content)
        && QFile::setPermissions(filePath(name), QFile::permissions(filePath(name)) | QFile::ExeOwner);
}

bool TempProgramFolder::addDataFolder()
{
    return QDir(_path).mkdir(QStringLiteral("datamon"));
}

QString TempProgramFolder::dataFilePath(const QString &name) const
{
    return _path + QStringLiteral("datamon") + QDir::separator() + name;
}

int TempProgramFolder::run(const QString &name, const QString &workingDir, const QStringList &arguments,
                           int timeoutMs) const
{
    QProcess process;
    process.setWorkingDirectory(workingDir);
    process.start(filePath(name), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString TempProgramFolder::builtProgram(const QString &name)
{
    return QStringLiteral(TVD_PROGRAM_DIR "/") + name;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

bool appendFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(content) == content.size();
}
