#include "fileTree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

bool makeParent(const QString &path)
{
    return QDir().mkpath(QFileInfo(path).path());
}

} // namespace

bool buildTree(const QString &base, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const QChar kind = entry.at(0);
        const QString rest = entry.mid(2);
        if (kind == QLatin1Char('d')) {
            if (!QDir().mkpath(base + QLatin1Char('/') + rest))
                return false;
        } else if (kind == QLatin1Char('f')) {
            const int equals = rest.indexOf(QLatin1Char('='));
            const QString path = base + QLatin1Char('/') + (equals < 0 ? rest : rest.left(equals));
            QFile file(path);
            if (!makeParent(path) || !file.open(QIODevice::WriteOnly))
                return false;
            if (equals >= 0)
                file.write(rest.mid(equals + 1).toUtf8());
        } else if (kind == QLatin1Char('l')) {
            const QStringList parts = rest.split(QLatin1Char('>'));
            const QString path = base + QLatin1Char('/') + parts.at(0);
            const QString target
                = parts.at(1).startsWith(QLatin1Char('/')) ? parts.at(1) : base + QLatin1Char('/') + parts.at(1);
            if (!makeParent(path) || !QFile::link(target, path))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

QStringList filesUnder(const QString &base)
{
    QStringList files;
    QDirIterator it(
        base, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << relativeTo(base, it.next());
    files.sort();
    return files;
}

QString relativeTo(const QString &base, const QString &path)
{
    const QString prefix = base + QLatin1Char('/');
    return path.startsWith(prefix) ? path.mid(prefix.size()) : path;
}
