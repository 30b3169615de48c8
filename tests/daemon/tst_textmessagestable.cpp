#include "TempProgramFolder.h"
#include "textMessagesTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Lookups = QList<QPair<QString, QString>>;

class tst_textMessagesTable : public QObject
{
    Q_OBJECT

private slots:
    void loadsFile_data();
    void loadsFile();
    void refusedLoadChangesNothing_data();
    void refusedLoadChangesNothing();
    void laterLoadsAddAndReplace();
    void placeholderForMissingText();

private:
    QString fileWith(const QByteArray &content);

    QTemporaryDir _dir;
    int _files = 0;
};

namespace {
QString missing(const QString &id)
{
    return "Missing value for <" + id + ">";
}

// Entry lines up to exactly size bytes, the last one padded to fit.
QByteArray fileOfSize(qint64 size)
{
    QByteArray content = "First=yes\r\n";
    while (content.size() + 40 < size)
        content += "Filler" + QByteArray::number(content.size()) + "=some text\r\n";
    const QByteArray last = "Last=";
    content += last + QByteArray(size - content.size() - last.size() - 2, 'z') + "\r\n";
    return content;
}
} // namespace

QString tst_textMessagesTable::fileWith(const QByteArray &content)
{
    const QString path = _dir.filePath(QString("tvdmon%1.ift").arg(++_files));
    return writeFile(path, content) ? path : QString();
}

void tst_textMessagesTable::loadsFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("report");
    QTest::addColumn<Lookups>("lookups");

    const QByteArray big = fileOfSize(1048576);
    const QString lastText(1048576 - big.lastIndexOf("Last=") - 7, 'z');

    QTest::newRow("2 bytes")                  << QByteArray("A\n")                   << 668 << Lookups{};
    QTest::newRow("exactly 1 MiB")            << big                                 << 0   << Lookups{{"First", "yes"}, {"Last", lastText}};
    QTest::newRow("1 MiB and a byte")         << big + "\n"                          << 669 << Lookups{{"First", missing("First")}};
    QTest::newRow("bare line feed")           << QByteArray("Error=Erreur\n")        << 0   << Lookups{{"Error", "Erreu"}};
    QTest::newRow("last line without end")    << QByteArray("A=1\r\nB=2")            << 0   << Lookups{{"A", "1"}, {"B", missing("B")}};
    QTest::newRow("X=Y=Z")                    << QByteArray("X=Y=Z\r\n")             << 0   << Lookups{{"X", "Y=Z"}};
    QTest::newRow("X= skipped")               << QByteArray("X=old\r\nX=\r\n")       << 0   << Lookups{{"X", "old"}};
    QTest::newRow("no equal sign")            << QByteArray("# comment\r\nA=1\r\n")  << 0   << Lookups{{"#comment", missing("#comment")}, {"A", "1"}};
    QTest::newRow("later line wins")          << QByteArray("A=1\r\nA=2\r\n")        << 0   << Lookups{{"A", "2"}};
    QTest::newRow("spaced id, spaced text")   << QByteArray(" X Y = a b\r\n")        << 0   << Lookups{{"XY", " a b"}};
    QTest::newRow("leading equal sign")       << QByteArray("=empty id\r\n")         << 0   << Lookups{{"", "empty id"}};
    QTest::newRow("starts with line feed")    << QByteArray("\nA=1\r\nB=2\r\n")      << 0   << Lookups{{"A", missing("A")}, {"\nA", "1"}, {"B", "2"}};
    QTest::newRow("starts with CR LF")        << QByteArray("\r\nA=1\r\n")           << 0   << Lookups{{"A", "1"}};
    QTest::newRow("zero byte in a line")      << QByteArray("A=ab\0cd\r\nB=2\r\n", 14) << 0 << Lookups{{"A", "ab"}, {"B", "2"}};
    QTest::newRow("Latin-1 text")             << QByteArray("A=Donn\xe9" "es\r\n")   << 0   << Lookups{{"A", "Données"}};
    // The empty line between two line feeds must not run into the next bytes.
    QTest::newRow("line feed after line feed") << QByteArray("A=1\r\n\nB=2")         << 0   << Lookups{{"A", "1"}, {"\nB", missing("\nB")}, {"B", missing("B")}};
}

void tst_textMessagesTable::loadsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, report);
    QFETCH(Lookups, lookups);

    const QString path = fileWith(content);
    QVERIFY(!path.isEmpty());
    textMessagesTable table;
    QCOMPARE(table.loadFromFile(path), report);
    for (const auto &[id, text] : lookups)
        QCOMPARE(table.textOf(id), text);
}

void tst_textMessagesTable::refusedLoadChangesNothing_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("report");

    QTest::newRow("missing file") << _dir.filePath("absent.ift") << int(QFile::OpenError);
    QTest::newRow("folder")       << _dir.path()                 << int(QFile::OpenError);
    // Announces 4096 bytes and holds fewer: the read comes up short.
    QTest::newRow("short read")   << "/sys/devices/system/cpu/online" << 675;
}

void tst_textMessagesTable::refusedLoadChangesNothing()
{
    QFETCH(QString, path);
    QFETCH(int, report);
    if (report == 675 && QFileInfo(path).size() <= 2)
        QSKIP("no file here that announces more bytes than it holds");

    textMessagesTable table;
    table.insertText("A", "kept");
    QCOMPARE(table.loadFromFile(path), report);
    QCOMPARE(table.textOf("A"), QString("kept"));
}

void tst_textMessagesTable::laterLoadsAddAndReplace()
{
    textMessagesTable table;
    QCOMPARE(table.loadFromFile(fileWith("A=local a\r\nB=local b\r\n")), 0);
    QCOMPARE(table.loadFromFile(fileWith("B=web b\r\nC=web c\r\n")), 0);
    QCOMPARE(table.textOf("A"), QString("local a"));
    QCOMPARE(table.textOf("B"), QString("web b"));
    QCOMPARE(table.textOf("C"), QString("web c"));

    table.clear();
    QCOMPARE(table.textOf("A"), missing("A"));
}

void tst_textMessagesTable::placeholderForMissingText()
{
    textMessagesTable table;
    table.insertText("Empty", "");
    QCOMPARE(table.textOf("Empty"), missing("Empty"));
    QCOMPARE(table.textOf("NetworkError"), missing("NetworkError"));
}

QTEST_GUILESS_MAIN(tst_textMessagesTable)
#include "tst_textmessagestable.moc"
