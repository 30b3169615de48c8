#include "TempProgramFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_tvdevent : public QObject
{
    Q_OBJECT

private slots:
    void appendsItsLine_data();
    void appendsItsLine();
    void withoutDataFolderFailsAndCreatesNothing();
};

void tst_tvdevent::appendsItsLine_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("vega, new file")            << "tvdevent-vega.exe"        << QByteArray()                   << QByteArray("TVDDevice:Vega\r\n");
    QTest::newRow("certificate, new file")     << "tvdevent-certificate.exe" << QByteArray()                   << QByteArray("TVDGetCertificate:now\r\n");
    QTest::newRow("lyraos, new file")          << "tvdevent-lyraos.exe"      << QByteArray()                   << QByteArray("TVDDevice:Lyraos\r\n");
    QTest::newRow("vega, after open line")     << "tvdevent-vega.exe"        << QByteArray("TVDDevice:Ly")     << QByteArray("TVDDevice:Vega\r\n");
    QTest::newRow("certificate, after lines")  << "tvdevent-certificate.exe" << QByteArray("A:1\r\n\r\nB\n")   << QByteArray("TVDGetCertificate:now\r\n");
}

void tst_tvdevent::appendsItsLine()
{
    QFETCH(QString, program);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, line);

    TempProgramFolder folder;
    QVERIFY(folder.addProgram(program));
    QVERIFY(folder.addDataFolder());
    const QString eventFile = folder.dataFilePath("tvdman.ife");
    if (!before.isNull())
        QVERIFY(writeFile(eventFile, before));

    // The path comes from the program's own location, whatever the working
    // directory and the arguments.
    QTemporaryDir elsewhere;
    QCOMPARE(folder.run(program, elsewhere.path(), {"--ignored", "datamon"}), 0);
    QCOMPARE(readAll(eventFile), before + line);
    QVERIFY(QDir(elsewhere.path()).isEmpty());

    QCOMPARE(folder.run(program, folder.path()), 0);
    QCOMPARE(readAll(eventFile), before + line + line);
}

void tst_tvdevent::withoutDataFolderFailsAndCreatesNothing()
{
    TempProgramFolder folder;
    QVERIFY(folder.addProgram("tvdevent-vega.exe"));
    QVERIFY(QDir().mkpath(folder.filePath("cwd/datamon")));

    QCOMPARE(folder.run("tvdevent-vega.exe", folder.filePath("cwd")), 255);
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"cwd", "tvdevent-vega.exe"}));
    QVERIFY(QDir(folder.filePath("cwd/datamon")).isEmpty());
}

QTEST_GUILESS_MAIN(tst_tvdevent)
#include "tst_tvdevent.moc"
