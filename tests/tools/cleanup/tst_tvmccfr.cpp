#include "TempProgramFolder.h"
#include "fileTree.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_tvmccfr : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void secondInstanceEndsWith32();
    void onLinuxRunsNoStepAndRemovesNothing();

private:
    TempProgramFolder _folder;
    QTemporaryDir _home;
    QStringList _homeFiles;
};

namespace {

// A desktop shortcut that the cleanup removes on Windows 7.
const QStringList kObsoleteManager = {"f:TVM/TVDMAN.exe", "f:TVM/libeay32.dll", "f:TVM/SSLeay32.dll",
                                      "l:Desktop/TOLVAND.lnk>TVM/TVDMAN.exe"};

} // namespace

void tst_tvmccfr::initTestCase()
{
    QVERIFY(_folder.addProgram("tvmccfr.exe"));
    QVERIFY(buildTree(_home.path(), kObsoleteManager));
    _homeFiles = filesUnder(_home.path());
}

// The program with its own home, desktop and data folders, tracing.
static void prepare(QProcess &process, const TempProgramFolder &folder, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_DESKTOP_DIR", home + "/Desktop");
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("QT_LOGGING_RULES", "tvd.*=true");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.setProgram(folder.filePath("tvmccfr.exe"));
    process.setWorkingDirectory(folder.path());
}

void tst_tvmccfr::secondInstanceEndsWith32()
{
    QProcess first;
    prepare(first, _folder, _home.path());
    first.start();
    // Once the kernel traces, the first one has counted itself alone.
    QByteArray traces;
    QTRY_VERIFY_WITH_TIMEOUT((traces += first.readAllStandardError()).contains("strDataLocationBasePath="), 10000);

    QProcess second;
    prepare(second, _folder, _home.path());
    second.start();
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 32);
    QVERIFY(!second.readAllStandardError().contains("strDataLocationBasePath="));

    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
}

void tst_tvmccfr::onLinuxRunsNoStepAndRemovesNothing()
{
    QProcess process;
    prepare(process, _folder, _home.path());
    process.start();
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);

    const QByteArray traces = process.readAllStandardError();
    QVERIFY2(traces.contains("\"" + QFile::encodeName(_home.path()) + "/.local/share\""), traces);
    QVERIFY2(traces.contains("_WinOSinfosPC.winVersion()= 0"), traces);
    QVERIFY2(!traces.contains("--- TVDMAN"), traces);
    QVERIFY2(!traces.contains("slot_timeSliceStepReach 1 5"), traces);
    QVERIFY2(traces.contains("slot_timeSliceStepReach 5 5"), traces);
    QVERIFY2(traces.contains("slot_exit"), traces);
    QCOMPARE(filesUnder(_home.path()), _homeFiles);
}

QTEST_GUILESS_MAIN(tst_tvmccfr)
#include "tst_tvmccfr.moc"
