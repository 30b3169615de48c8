#pragma once

#include "scannedEntry.h"

#include <QFileInfo>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// Depth-first walk over a folder tree that returns every file once, follows
// links (shortcut files on Windows) without looping, keeps out of folders of
// well-known unrelated software and can stop at a depth limit.
class folderScanner
{
public:
    // With isDepthLimited, folders deeper than profondeurMax levels below the
    // root are not entered (0 still enters the root's direct sub-folders).
    folderScanner(const QString &root, bool isDepthLimited, int profondeurMax);

    // The next file, or the end marker when the scan is over.
    scannedEntry next();
    // Folder listings read from the disk so far.
    qint64 listingCount() const;
    // An entry of a folder listing: its name and what the listing knows of it.
    struct listedEntry {
        QString name;
        QFileInfo info;
    };
    // One listing: every entry but the hidden ones, sorted by name ignoring case.
    static QList<listedEntry> listFolder(const QString &dir);

    // Entries whose target file name is name (case-sensitive); depth 0 means
    // no limit.
    static QList<scannedEntry> findFilesByName(const QString &name, const QString &root, int depth);
    // Same, in root and its direct sub-folders.
    static QList<scannedEntry> findFilesByNameNear(const QString &root, const QString &name);
    // Every file of root and of its direct sub-folders.
    static QList<scannedEntry> listFiles(const QString &root);

    // Paths split at the last backslash, or failing that the last slash.
    static QString fileNameOf(const QString &path);
    static QString dirOf(const QString &path);

    // Whether a line of the file, blanks around it ignored, is exactly line.
    static bool fileContainsLine(const QString &path, const QString &line);

private:
    static QList<scannedEntry> collect(const QString &root, bool isDepthLimited, int profondeurMax);
    static QList<scannedEntry> named(const QList<scannedEntry> &entries, const QString &name);
    void listCurrentDir();
    bool mayEnter(const scannedEntry &folder) const;
    void enter(const scannedEntry &folder);
    void remember(const scannedEntry &entry);

    QString strCurrentDir;
    QList<listedEntry> _currentEntries;
    qint64 _nextIndex;
    QList<scannedEntry> _parentStack;
    QList<qint64> _indexStack;
    // Every file returned and every folder entered, kept by target path as
    // that is all they are looked up by: as it is, and with both separators
    // made one.
    QSet<QString> gettedlist;
    QSet<QString> _gettedFoldedTargets;
    QStringList _exclusions;
    bool _isDepthLimited;
    int profondeurMax;
    qint64 _nbListings;
};
