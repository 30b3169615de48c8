#include "folderScanner.h"

#include "cleanupLogging.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace {

// Folders of other software that desktops and start menus often hold.
const char *const kExclusionWords[] = {
    "windows",
    "msbuild",
    "system32",
    "microsoft",
    "direct x",
    "directx",
    "adobe",
    "macromedia",
    "flash",
    "corel",
    "autodesk",
    "3ds",
    "maya",
    "xsi",
    "softimage",
    "sdk",
    "visual studio",
    "visualstudio",
    "qt",
    "java",
    "eclipse",
    "mingw",
    "gcc",
    "android",
    "msysgit",
    "quick time",
    "quicktime",
    "itunes",
    "ipod",
    "apple",
    "avira",
    "avast",
    "kaspersky",
    "norton",
    "mc afee",
    "mcafee",
    "mozilla",
    "firefox",
    "skype",
    "messenger",
    "real player",
    "realplayer",
    "emule",
    "steam",
    "minecraft",
    "soccer",
    "diablo",
    "kodak",
    "sony",
    "samsung",
    "philips",
    "intel",
    "renesas",
    "epson",
    "nokia",
    "nintendo",
    "arcos",
    "open office",
    "openoffice",
};

QChar separatorOf(const QString &dir)
{
    if (dir.contains(QLatin1Char('\\')))
        return QLatin1Char('\\');
    if (dir.contains(QLatin1Char('/')))
        return QLatin1Char('/');
    return {};
}

int lastSeparator(const QString &path)
{
    const int backslash = path.lastIndexOf(QLatin1Char('\\'));
    return backslash >= 0 ? backslash : path.lastIndexOf(QLatin1Char('/'));
}

// Both separators made one; a path without backslashes is kept as it is, with
// no copy.
QString folded(QString path)
{
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

} // namespace

folderScanner::folderScanner(const QString &root, bool isDepthLimited, int profondeurMax)
    : strCurrentDir(root)
    , _nextIndex(0)
    , _isDepthLimited(isDepthLimited)
    , profondeurMax(profondeurMax)
    , _nbListings(0)
{
    for (const char *word : kExclusionWords)
        _exclusions << QLatin1String(word);
    listCurrentDir();
}

scannedEntry folderScanner::next()
{
    for (;;) {
        while (_nextIndex < _currentEntries.size()) {
            const QChar separator = separatorOf(strCurrentDir);
            if (separator.isNull()) {
                ++_nextIndex;
                continue;
            }
            // A root given with its trailing separator must not double it.
            const QString prefix = strCurrentDir.endsWith(separator) ? strCurrentDir : strCurrentDir + separator;
            // The listing already tells plain files and folders apart, so
            // only links cost a look at the disk here.
            const QFileInfo &info = _currentEntries.at(_nextIndex).info;
            const QString path = prefix + _currentEntries.at(_nextIndex).name;
            if (info.isRoot()) {
                ++_nextIndex;
                continue;
            }
            if (info.isDir()) {
                const scannedEntry folder = scannedEntry::forPath(path, info, true);
                if (mayEnter(folder))
                    enter(folder);
                else
                    ++_nextIndex;
                continue;
            }

            const scannedEntry file = scannedEntry::forPath(path, info, false);
            qCDebug(lcCleanupScanner) << "(  f) " << file.strLinkPath << "->" << file.strTargetPath;
            ++_nextIndex;
            if (!gettedlist.contains(file.strTargetPath)) {
                remember(file);
                qCDebug(lcCleanupScanner) << "file: " << file.strLinkPath << "->" << file.strTargetPath
                                          << " added to gettedlist and returned as ok file ";
                return file;
            }
            qCDebug(lcCleanupScanner) << "file: " << file.strLinkPath << "->" << file.strTargetPath
                                      << " (file) already in gettedlist";
        }

        if (_indexStack.isEmpty())
            return {};
        _nextIndex = _indexStack.takeLast() + 1;
        const scannedEntry parent = _parentStack.takeLast();
        strCurrentDir = parent.strLinkPath.isEmpty() ? parent.strTargetPath : parent.strLinkPath;
        if (strCurrentDir.isEmpty())
            return {};
        listCurrentDir();
    }
}

qint64 folderScanner::listingCount() const
{
    return _nbListings;
}

bool folderScanner::mayEnter(const scannedEntry &folder) const
{
    if (_gettedFoldedTargets.contains(folded(folder.strTargetPath)))
        return false;
    const QString name = folder.targetName().toLower();
    for (const QString &word : _exclusions) {
        if (name.contains(word)) {
            qCDebug(lcCleanupScanner) << "* Exclusion of: " << folder.strLinkPath << "->" << folder.strTargetPath;
            return false;
        }
    }
    if (_isDepthLimited && profondeurMax < _parentStack.size()) {
        qCDebug(lcCleanupScanner) << "* profondeurMax reach, will not scan: " << folder.strLinkPath << "->"
                                  << folder.strTargetPath;
        return false;
    }
    return true;
}

void folderScanner::enter(const scannedEntry &folder)
{
    _parentStack.append(scannedEntry::forPath(strCurrentDir, true));
    _indexStack.append(_nextIndex);
    remember(folder);
    strCurrentDir = folder.strTargetPath;
    listCurrentDir();
    _nextIndex = 0;
}

void folderScanner::remember(const scannedEntry &entry)
{
    gettedlist.insert(entry.strTargetPath);
    _gettedFoldedTargets.insert(folded(entry.strTargetPath));
}

void folderScanner::listCurrentDir()
{
    _currentEntries = listFolder(strCurrentDir);
    ++_nbListings;
}

QList<folderScanner::listedEntry> folderScanner::listFolder(const QString &dir)
{
    // An unreadable or vanished folder lists as empty.
    QList<listedEntry> entries;
    QDirIterator lister(dir, QDir::AllEntries | QDir::Drives | QDir::System | QDir::NoDotAndDotDot);
    while (lister.hasNext()) {
        lister.next();
        entries.append({lister.fileName(), lister.fileInfo()});
    }
    // Sorted here rather than by QDir, which lower-cases a copy of every name.
    std::stable_sort(entries.begin(), entries.end(),
        [](const listedEntry &a, const listedEntry &b) { return a.name.compare(b.name, Qt::CaseInsensitive) < 0; });
    return entries;
}

QList<scannedEntry> folderScanner::collect(const QString &root, bool isDepthLimited, int profondeurMax)
{
    QList<scannedEntry> found;
    folderScanner scanner(root, isDepthLimited, profondeurMax);
    for (scannedEntry entry = scanner.next(); !entry.isEndMarker(); entry = scanner.next())
        found.append(entry);
    return found;
}

QList<scannedEntry> folderScanner::named(const QList<scannedEntry> &entries, const QString &name)
{
    QList<scannedEntry> found;
    for (const scannedEntry &entry : entries) {
        if (entry.targetName() == name)
            found.append(entry);
    }
    return found;
}

QList<scannedEntry> folderScanner::findFilesByName(const QString &name, const QString &root, int depth)
{
    return named(collect(root, depth != 0, depth), name);
}

QList<scannedEntry> folderScanner::findFilesByNameNear(const QString &root, const QString &name)
{
    return named(collect(root, true, 0), name);
}

QList<scannedEntry> folderScanner::listFiles(const QString &root)
{
    return collect(root, true, 0);
}

QString folderScanner::fileNameOf(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString folderScanner::dirOf(const QString &path)
{
    const int separator = lastSeparator(path);
    return separator < 0 ? QString() : path.left(separator);
}

bool folderScanner::fileContainsLine(const QString &path, const QString &line)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCDebug(lcCleanupScanner) << "file.open(...) error #" << file.error() << "about filename " << path;
        return false;
    }
    QTextStream stream(&file);
    QString read;
    while (stream.readLineInto(&read)) {
        const QString trimmed = read.trimmed();
        if (!trimmed.isEmpty() && trimmed == line) {
            qCDebug(lcCleanupScanner) << line << "' founded !";
            return true;
        }
    }
    qCDebug(lcCleanupScanner) << line << "'not founded !";
    return false;
}
