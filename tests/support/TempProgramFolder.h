#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A throw-away program folder holding copies of built programs, so that
// real-process tests run them where they can write and break things.
class TempProgramFolder
{
public:
    TempProgramFolder();

    bool isValid() const;
    // The folder as the programs see it: canonical, with a trailing separator.
    QString path() const;
    QString filePath(const QString &name) const;

    // Copies a program from the build's program folder.
    bool addProgram(const QString &name);
    // Writes an executable file, a script or any other program.
    bool addExecutable(const QString &name, const QByteArray &content);
    bool addDataFolder();
    QString dataFilePath(const QString &name) const;

    // Runs a program of this folder to its end; its exit code, or -1 when it
    // could not start, crashed or ran past timeoutMs.
    int run(const QString &name, const QString &workingDir, const QStringList &arguments = {},
            int timeoutMs = 30000) const;

    static QString builtProgram(const QString &name);

private:
    QTemporaryDir _dir;
    QString _path;
};

QByteArray readAll(const QString &path);
bool writeFile(const QString &path, const QByteArray &content);
// Adds to the end of a file, as the programs append their event lines.
bool appendFile(const QString &path, const QByteArray &content);
