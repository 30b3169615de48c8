// Scans a folder tree as the cleanup tool does (no depth limit, no traces)
// and tells how long it took and how many folder listings it read; lists
// every folder once, for the cost of the listings; or makes such a tree.
// Usage: bench_scan make ROOT FILES FOLDERS
//        bench_scan scan ROOT
//        bench_scan list ROOT

#include "folderScanner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>

#include <cstdio>

namespace {

// Folders ten to a parent, breadth first, files spread evenly over them.
int makeTree(const QString &root, int files, int folders)
{
    QStringList made {root};
    for (int i = 1; i <= folders; ++i) {
        const QString folder = made.at((i - 1) / 10) + QStringLiteral("/folder%1").arg(i);
        if (!QDir().mkpath(folder))
            return 1;
        made << folder;
    }
    for (int i = 0; i < files; ++i) {
        QFile file(made.at(i % made.size()) + QStringLiteral("/file%1.txt").arg(i));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
    }
    return 0;
}

int scan(const QString &root)
{
    QLoggingCategory::setFilterRules(QStringLiteral("tvd.*=false"));
    QElapsedTimer timer;
    timer.start();
    folderScanner scanner(root, false, 0);
    qint64 files = 0;
    while (!scanner.next().isEndMarker())
        ++files;
    std::printf("scan: %lld files in %.0f ms, %lld folder listings\n", files, timer.nsecsElapsed() / 1e6,
        scanner.listingCount());
    return 0;
}

// Every folder listed once, as the scanner lists: what one pass of listings
// costs.
int listOnce(const QString &root)
{
    QElapsedTimer timer;
    timer.start();
    QStringList pending {root};
    int folders = 0;
    while (!pending.isEmpty()) {
        const QList<folderScanner::listedEntry> entries = folderScanner::listFolder(pending.takeLast());
        ++folders;
        for (const folderScanner::listedEntry &entry : entries) {
            if (entry.info.isDir())
                pending << entry.info.filePath();
        }
    }
    std::printf("list: %d folders listed once in %.0f ms\n", folders, timer.nsecsElapsed() / 1e6);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args.at(1) == QLatin1String("make"))
        return makeTree(args.at(2), args.at(3).toInt(), args.at(4).toInt());
    if (args.size() == 3 && args.at(1) == QLatin1String("scan"))
        return scan(args.at(2));
    if (args.size() == 3 && args.at(1) == QLatin1String("list"))
        return listOnce(args.at(2));
    std::fprintf(stderr, "usage: %s make ROOT FILES FOLDERS | scan ROOT | list ROOT\n", argv[0]);
    return 2;
}
