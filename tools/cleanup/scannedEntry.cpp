#include "scannedEntry.h"

#include "folderScanner.h"

#include <QFileInfo>

scannedEntry scannedEntry::forPath(const QString &path, bool isDir)
{
    return forPath(path, QFileInfo(path), isDir);
}

scannedEntry scannedEntry::forPath(const QString &path, const QFileInfo &info, bool isDir)
{
    scannedEntry entry;
    entry.isDir = isDir;
    // Windows shortcut files count as links here, like symbolic links.
    if (info.isSymLink()) {
        entry.strLinkPath = path;
        if (info.exists())
            entry.strTargetPath = info.symLinkTarget();
    } else {
        entry.strTargetPath = path;
    }
    return entry;
}

bool scannedEntry::isEndMarker() const
{
    return strLinkPath.isEmpty() && strTargetPath.isEmpty();
}

QString scannedEntry::linkName() const
{
    return folderScanner::fileNameOf(strLinkPath);
}

QString scannedEntry::linkDir() const
{
    return folderScanner::dirOf(strLinkPath);
}

QString scannedEntry::targetName() const
{
    return folderScanner::fileNameOf(strTargetPath);
}

QString scannedEntry::targetDir() const
{
    return folderScanner::dirOf(strTargetPath);
}
