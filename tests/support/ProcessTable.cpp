#include "ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <csignal>

namespace ProcessTable {

QList<qint64> processesOf(const QString &programPath)
{
    const QString wanted = QFileInfo(programPath).canonicalFilePath();
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() != wanted)
            continue;
        // Ended ones that wait for their parent run no more.
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z "))
            found << pid;
    }
    return found;
}

bool killAll(const QString &programPath)
{
    for (const qint64 pid : processesOf(programPath))
        ::kill(pid_t(pid), SIGKILL);
    return QTest::qWaitFor([&] { return processesOf(programPath).isEmpty(); }, 10000);
}

} // namespace ProcessTable
