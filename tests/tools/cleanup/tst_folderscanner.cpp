#include "TempProgramFolder.h"
#include "fileTree.h"
#include "folderScanner.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class tst_folderScanner : public QObject
{
    Q_OBJECT

private slots:
    void returnsFiles_data();
    void returnsFiles();
    void nearSearchesRootAndItsSubFolders();
    void rootWithoutSeparatorEndsAtOnce();
    void splitsPaths_data();
    void splitsPaths();
    void findsLine_data();
    void findsLine();
    void unreadableFileHasNoLine_data();
    void unreadableFileHasNoLine();
};

namespace {

// The shape of a manager install that the desktop shortcuts lead to.
const QStringList kProgram = {"f:prog/TVDMAN.exe"};
const QStringList kDeepTree = {"f:desk/r.txt", "f:desk/d1/f1.txt", "f:desk/d1/d2/f2.txt", "f:desk/d1/d2/d3/f3.txt",
                               "f:desk/d1/d2/d3/d4/f4.txt"};

QString canonical(const QTemporaryDir &dir)
{
    return QDir(dir.path()).canonicalPath();
}

// Returned entries as "link->target", paths relative to base.
QStringList describe(const QString &base, const QList<scannedEntry> &entries)
{
    QStringList described;
    for (const scannedEntry &entry : entries)
        described << relativeTo(base, entry.strLinkPath) + "->" + relativeTo(base, entry.strTargetPath);
    return described;
}

} // namespace

void tst_folderScanner::returnsFiles_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("name");  // empty: every file of a plain scan
    QTest::addColumn<int>("depth");     // 0: no limit
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("any depth without limit") << kDeepTree << "" << 0
        << QStringList{"->desk/d1/d2/d3/d4/f4.txt", "->desk/d1/d2/d3/f3.txt", "->desk/d1/d2/f2.txt",
                       "->desk/d1/f1.txt", "->desk/r.txt"};
    QTest::newRow("depth 2 stops four folders down") << kDeepTree << "" << 2
        << QStringList{"->desk/d1/d2/d3/f3.txt", "->desk/d1/d2/f2.txt", "->desk/d1/f1.txt", "->desk/r.txt"};
    QTest::newRow("shortcut four folders down not found") << kProgram + QStringList{"l:desk/a/b/c/d/m.lnk>prog/TVDMAN.exe"}
        << "TVDMAN.exe" << 2 << QStringList{};
    QTest::newRow("shortcut three folders down found") << kProgram + QStringList{"l:desk/a/b/c/m.lnk>prog/TVDMAN.exe"}
        << "TVDMAN.exe" << 2 << QStringList{"desk/a/b/c/m.lnk->prog/TVDMAN.exe"};
    QTest::newRow("menus searched at any depth") << kProgram + QStringList{"l:desk/a/b/c/d/e/m.lnk>prog/TVDMAN.exe"}
        << "TVDMAN.exe" << 0 << QStringList{"desk/a/b/c/d/e/m.lnk->prog/TVDMAN.exe"};
    QTest::newRow("names sorted ignoring case") << QStringList{"f:desk/b.txt", "f:desk/C.txt", "f:desk/A.txt"} << "" << 0
        << QStringList{"->desk/A.txt", "->desk/b.txt", "->desk/C.txt"};
    QTest::newRow("exclusion words inside names, any case")
        << QStringList{"f:desk/My Qt Projects/a.txt", "f:desk/Steam Games/b.txt", "f:desk/MICROSOFT Office/c.txt",
                       "f:desk/TOLVAND/d.txt"} << "" << 0
        << QStringList{"->desk/TOLVAND/d.txt"};
    QTest::newRow("exclusion checked on a link's target") << QStringList{"f:games/steamapps/x.txt", "l:desk/Play>games/steamapps"}
        << "" << 0 << QStringList{};
    QTest::newRow("hidden entries not listed") << QStringList{"f:desk/.hidden/a.txt", "f:desk/.b.txt", "f:desk/seen/c.txt"}
        << "" << 0 << QStringList{"->desk/seen/c.txt"};
    QTest::newRow("link back to an entered folder") << QStringList{"f:desk/A/f.txt", "l:desk/A/back>desk/A"} << "" << 0
        << QStringList{"->desk/A/f.txt"};
    QTest::newRow("link to a new folder listed under its target") << QStringList{"f:elsewhere/x.txt", "l:desk/L>elsewhere"}
        << "" << 0 << QStringList{"->elsewhere/x.txt"};
    QTest::newRow("folder reached twice through links") << QStringList{"f:elsewhere/x.txt", "l:desk/L1>elsewhere",
                                                                       "l:desk/L2>elsewhere"}
        << "" << 0 << QStringList{"->elsewhere/x.txt"};
    QTest::newRow("two links to one file: first by name") << kProgram + QStringList{"l:desk/b.lnk>prog/TVDMAN.exe",
                                                                                   "l:desk/A.lnk>prog/TVDMAN.exe"}
        << "TVDMAN.exe" << 2 << QStringList{"desk/A.lnk->prog/TVDMAN.exe"};
    QTest::newRow("file before a link to it") << QStringList{"f:desk/prog/TVDMAN.exe", "l:desk/z.lnk>desk/prog/TVDMAN.exe"}
        << "TVDMAN.exe" << 2 << QStringList{"->desk/prog/TVDMAN.exe"};
    QTest::newRow("dangling link returned without target") << QStringList{"l:desk/TVDMAN.exe>prog/gone.exe"} << "" << 0
        << QStringList{"desk/TVDMAN.exe->"};
    QTest::newRow("dangling link never matches") << QStringList{"l:desk/TVDMAN.exe>prog/TVDMAN.exe"} << "TVDMAN.exe" << 0
        << QStringList{};
    QTest::newRow("target name compared with its case") << QStringList{"f:prog/tvdman.exe", "l:desk/m.lnk>prog/tvdman.exe"}
        << "TVDMAN.exe" << 0 << QStringList{};
}

void tst_folderScanner::returnsFiles()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, name);
    QFETCH(int, depth);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    const QString base = canonical(dir);
    QVERIFY(buildTree(base, tree));
    const QString root = base + "/desk";

    QList<scannedEntry> found;
    if (name.isEmpty()) {
        folderScanner scanner(root, depth != 0, depth);
        for (scannedEntry entry = scanner.next(); !entry.isEndMarker(); entry = scanner.next())
            found << entry;
        QVERIFY(scanner.next().isEndMarker());
    } else {
        found = folderScanner::findFilesByName(name, root, depth);
    }
    QCOMPARE(describe(base, found), expected);
}

void tst_folderScanner::nearSearchesRootAndItsSubFolders()
{
    QTemporaryDir dir;
    const QString base = canonical(dir);
    QVERIFY(buildTree(base, {"f:inst/unins000.exe", "f:desk/a.txt", "l:desk/s/u.lnk>inst/unins000.exe",
                             "l:desk/s/t/u.lnk>inst/unins000.exe", "f:desk/s/t/b.txt"}));
    const QString root = base + "/desk";

    QCOMPARE(describe(base, folderScanner::findFilesByNameNear(root, "unins000.exe")),
             QStringList{"desk/s/u.lnk->inst/unins000.exe"});
    QCOMPARE(describe(base, folderScanner::listFiles(root)),
             (QStringList{"->desk/a.txt", "desk/s/u.lnk->inst/unins000.exe"}));
}

void tst_folderScanner::rootWithoutSeparatorEndsAtOnce()
{
    QTemporaryDir dir;
    QVERIFY(buildTree(dir.path(), {"f:desk/a.txt", "f:desk/sub/b.txt"}));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    folderScanner scanner("desk", false, 0);
    const scannedEntry entry = scanner.next();
    QDir::setCurrent(previous);
    QVERIFY(entry.isEndMarker());
}

void tst_folderScanner::splitsPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("dir");

    QTest::newRow("backslashes")     << R"(C:\TVM38\tvdmon.exe)" << "tvdmon.exe" << R"(C:\TVM38)";
    QTest::newRow("slashes")         << "/home/u/Desktop/m.lnk"  << "m.lnk"      << "/home/u/Desktop";
    QTest::newRow("backslash first") << R"(C:/a\b/c)"            << "b/c"        << "C:/a";
    QTest::newRow("no separator")    << "TVDMAN.exe"             << "TVDMAN.exe" << "";
    QTest::newRow("trailing")        << "C:\\TVM\\"              << ""           << "C:\\TVM";
    QTest::newRow("empty")           << ""                       << ""           << "";
}

void tst_folderScanner::splitsPaths()
{
    QFETCH(QString, path);
    QFETCH(QString, fileName);
    QFETCH(QString, dir);

    QCOMPARE(folderScanner::fileNameOf(path), fileName);
    QCOMPARE(folderScanner::dirOf(path), dir);
}

void tst_folderScanner::findsLine_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("found");

    QTest::newRow("alone")               << QByteArray("wanted line")                            << true;
    QTest::newRow("blanks and tabs")     << QByteArray("<p>\n\n \t wanted line\t \r\n</p>\n")   << true;
    QTest::newRow("after empty lines")   << QByteArray("\n\r\n   \n\twanted line")              << true;
    QTest::newRow("inside a longer one") << QByteArray("x('wanted line');\n")                   << false;
    QTest::newRow("other case")          << QByteArray("Wanted Line\n")                          << false;
    QTest::newRow("blank inside")        << QByteArray("wanted  line\n")                         << false;
    QTest::newRow("empty lines only")    << QByteArray("\n\n \n")                                << false;
}

void tst_folderScanner::findsLine()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, found);

    QTemporaryDir dir;
    const QString path = dir.filePath("ondetectFR.htm");
    QVERIFY(writeFile(path, content));
    QCOMPARE(folderScanner::fileContainsLine(path, "wanted line"), found);
}

void tst_folderScanner::unreadableFileHasNoLine_data()
{
    QTest::addColumn<QString>("change");

    QTest::newRow("removed")       << "remove";
    QTest::newRow("a folder")      << "folder";
    QTest::newRow("no permission") << "chmod";
}

void tst_folderScanner::unreadableFileHasNoLine()
{
    QFETCH(QString, change);

    QTemporaryDir dir;
    const QString path = dir.filePath("ondetectFR.htm");
    QVERIFY(writeFile(path, "wanted line\n"));
    QVERIFY(folderScanner::fileContainsLine(path, "wanted line"));

    if (change == "chmod") {
        if (geteuid() == 0)
            QSKIP("root reads every file");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    } else {
        QVERIFY(QFile::remove(path));
        if (change == "folder")
            QVERIFY(QDir(dir.path()).mkdir("ondetectFR.htm"));
    }
    QVERIFY(!folderScanner::fileContainsLine(path, "wanted line"));
}

QTEST_GUILESS_MAIN(tst_folderScanner)
#include "tst_folderscanner.moc"
