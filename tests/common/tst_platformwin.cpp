#include "TempProgramFolder.h"
#include "WineProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The Windows side of the platform layer, run under Wine through a probe
// program that prints what the Qt programs would get from it.
class tst_platformWin : public QObject
{
    Q_OBJECT

private slots:
    void programFolderOfACopy_data();
    void programFolderOfACopy();
    void countsProcessesByExactName_data();
    void countsProcessesByExactName();
    void shellStartsProgramInItsFolder();
    void shellStartOfMissingProgramFails();
};

namespace {

bool addProbe(const TempProgramFolder &folder, const QString &name)
{
    return QFile::copy(WineProcess::builtProgram("tvdprobe.exe"), folder.filePath(name));
}

// What the probe prints for a command, without its line end; empty when it failed.
QByteArray probe(const QString &program, const QStringList &arguments, const QString &workingDir = QDir::tempPath())
{
    WineProcess process;
    process.setWorkingDirectory(workingDir);
    if (process.runWindowsProgram(program, arguments) != 0)
        return {};
    return process.readAllStandardOutput().trimmed();
}

} // namespace

void tst_platformWin::programFolderOfACopy_data()
{
    QTest::addColumn<bool>("relative");

    QTest::newRow("started by full path")     << false;
    QTest::newRow("started by relative path") << true;
}

void tst_platformWin::programFolderOfACopy()
{
    QFETCH(bool, relative);

    TempProgramFolder folder;
    QVERIFY(addProbe(folder, "TvdProbe.exe"));
    QTemporaryDir elsewhere;
    const QString program = relative ? QDir(elsewhere.path()).relativeFilePath(folder.filePath("TvdProbe.exe"))
                                     : folder.filePath("TvdProbe.exe");
    QCOMPARE(probe(program, {"folder"}, elsewhere.path()), WineProcess::windowsPath(folder.path()).toUtf8());
}

void tst_platformWin::countsProcessesByExactName_data()
{
    QTest::addColumn<QString>("copyName");
    QTest::addColumn<QString>("countedName");
    QTest::addColumn<bool>("secondCopy");
    QTest::addColumn<int>("count");

    // The low byte of U+012D is 0x2D, "-".
    const QString outsideLatin1 = QStringLiteral("TvdPr\u012Dbe.exe");
    QTest::newRow("own name")            << "TvdProbe.exe" << "TvdProbe.exe" << false << 1;
    QTest::newRow("other letter case")   << "TvdProbe.exe" << "tvdprobe.exe" << false << 0;
    QTest::newRow("second copy running") << "TvdProbe.exe" << "TvdProbe.exe" << true  << 2;
    QTest::newRow("low bytes of UTF-16") << outsideLatin1  << "TvdPr-be.exe" << false << 1;
}

void tst_platformWin::countsProcessesByExactName()
{
    QFETCH(QString, copyName);
    QFETCH(QString, countedName);
    QFETCH(bool, secondCopy);
    QFETCH(int, count);

    TempProgramFolder folder;
    QVERIFY(addProbe(folder, copyName));
    WineProcess running;
    if (secondCopy) {
        running.startWindowsProgram(folder.filePath(copyName), {"wait"});
        QVERIFY(running.waitForReadyRead(30000));
        QCOMPARE(running.readLine().trimmed(), QByteArray("ready"));
    }

    QCOMPARE(probe(folder.filePath(copyName), {"count", countedName}), QByteArray::number(count));

    if (secondCopy) {
        running.closeWriteChannel();
        QVERIFY(running.waitForFinished(30000));
        QCOMPARE(running.exitCode(), 0);
    }
}

void tst_platformWin::shellStartsProgramInItsFolder()
{
    TempProgramFolder folder;
    QVERIFY(addProbe(folder, "TvdProbe.exe"));
    QVERIFY(addProbe(folder, "manager.exe"));
    const QString windowsFolder = WineProcess::windowsPath(folder.path());

    const QByteArray result
        = probe(folder.filePath("TvdProbe.exe"), {"open", windowsFolder + "manager.exe", windowsFolder});
    QVERIFY2(result.toLongLong() > 32, result.constData());
    // The started copy notes its working directory and ends.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.filePath("started")), 20000);
    QCOMPARE(readAll(folder.filePath("started")) + '\\', windowsFolder.toUtf8());
}

void tst_platformWin::shellStartOfMissingProgramFails()
{
    TempProgramFolder folder;
    QVERIFY(addProbe(folder, "TvdProbe.exe"));
    const QString windowsFolder = WineProcess::windowsPath(folder.path());

    const QByteArray result
        = probe(folder.filePath("TvdProbe.exe"), {"open", windowsFolder + "missing.exe", windowsFolder});
    QVERIFY2(!result.isEmpty() && result.toLongLong() <= 32, result.constData());
}

QTEST_GUILESS_MAIN(tst_platformWin)
#include "tst_platformwin.moc"
