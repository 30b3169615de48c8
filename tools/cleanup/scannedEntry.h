#pragma once

#include <QString>

class QFileInfo;

// One file or folder met by the folderScanner. A link keeps its own path and
// the path it leads to; anything else has only its own path as target.
struct scannedEntry {
    QString strLinkPath;
    QString strTargetPath; // empty for a link whose target does not exist
    bool isDir = false;
    int actionFlags = 0; // left to the caller

    static scannedEntry forPath(const QString &path, bool isDir);
    // Same, with what a folder listing already knows of the path.
    static scannedEntry forPath(const QString &path, const QFileInfo &info, bool isDir);

    // Both paths empty: the scan is over.
    bool isEndMarker() const;

    QString linkName() const;
    QString linkDir() const;
    QString targetName() const;
    QString targetDir() const;
};
