#include "Platform.h"
#include "TempProgramFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

class tst_shellOpen : public QObject
{
    Q_OBJECT

private slots:
    void startsDetachedInWorkingDir();
    void reportsFailures_data();
    void reportsFailures();
};

void tst_shellOpen::startsDetachedInWorkingDir()
{
    TempProgramFolder folder;
    // Its streams are read before any of them is redirected to a file.
    QVERIFY(folder.addExecutable("TVDMAN.exe", "#!/bin/sh\nin=$(readlink /proc/$$/fd/0) out=$(readlink /proc/$$/fd/1) "
                                               "err=$(readlink /proc/$$/fd/2)\n"
                                               "printf '%s %s\\n%s\\n%s\\n%s\\n' \"$(pwd)\" $PPID $in $out $err > started.tmp\n"
                                               "mv started.tmp started\n"));

    const std::intptr_t result = tvd::platform::shellOpen(folder.filePath("TVDMAN.exe").toStdString(),
                                                          folder.path().toStdString());
    QVERIFY2(result > 32, QByteArray::number(qint64(result)));
    QTRY_VERIFY(QFile::exists(folder.filePath("started")));

    const QList<QByteArray> lines = readAll(folder.filePath("started")).split('\n');
    const QList<QByteArray> seen = lines.value(0).split(' ');
    QCOMPARE(seen.value(0) + '/', folder.path().toUtf8());
    // Nobody has to reap it: it is not our child.
    QVERIFY(seen.value(1) != QByteArray::number(QCoreApplication::applicationPid()));
    // Nor does it write into our streams, which may close before it ends.
    QCOMPARE(lines.mid(1, 3), QList<QByteArray>({ "/dev/null", "/dev/null", "/dev/null" }));
}

void tst_shellOpen::reportsFailures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("workingDir");
    QTest::addColumn<int>("result");

    QTest::newRow("file not found")     << "missing.exe"  << "."         << 2;
    QTest::newRow("not executable")     << "plain.exe"    << "."         << 5;
    QTest::newRow("working dir absent") << "TVDMAN.exe"   << "nowhere"   << 3;
}

void tst_shellOpen::reportsFailures()
{
    QFETCH(QString, file);
    QFETCH(QString, workingDir);
    QFETCH(int, result);

    TempProgramFolder folder;
    QVERIFY(folder.addExecutable("TVDMAN.exe", "#!/bin/sh\n"));
    QVERIFY(writeFile(folder.filePath("plain.exe"), "#!/bin/sh\n"));
    QCOMPARE(int(tvd::platform::shellOpen(folder.filePath(file).toStdString(),
                                          folder.filePath(workingDir).toStdString())),
             result);
}

QTEST_GUILESS_MAIN(tst_shellOpen)
#include "tst_shellopen.moc"
