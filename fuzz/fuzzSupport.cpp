#include "fuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {
QTemporaryDir *runFolder = nullptr;
}

void startQtForFuzzing(int *argc, char ***argv)
{
    // Left to the end of the process: Qt's globals go before it otherwise.
    static QCoreApplication *application = new QCoreApplication(*argc, *argv);
    Q_UNUSED(application);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    // In memory where there is a tmpfs: writing the input to a disk file each
    // time costs ten times what the code under test does.
    const QString base
        = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir folder(base + QStringLiteral("/tvdfuzz-XXXXXX"));
    runFolder = &folder;
}

QByteArray fuzzInput(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QString writeFuzzFile(const QString &name, const QByteArray &content)
{
    const QString path = runFolder->filePath(name);
    QFile file(path);
    fuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size(),
        "the input file can be written");
    return path;
}

void fuzzCheck(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property does not hold: %s\n", property);
    std::abort();
}
