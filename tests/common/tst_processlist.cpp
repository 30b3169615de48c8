#include "Platform.h"
#include "TempProgramFolder.h"
#include "processList.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <memory>

#include <sys/wait.h>
#include <unistd.h>

class tst_processList : public QObject
{
    Q_OBJECT

private slots:
    void programFolderRule_data();
    void programFolderRule();
    void programFolderOfThisTest();

    void countsItsOwnProcessWithTraces();
    void emptyNameCountsNothingWithoutWalk();

    void countsByExactName_data();
    void countsByExactName();
    void endedProcessIsNotCounted();

private:
    TempProgramFolder _folder;
};

void tst_processList::programFolderRule_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("folder");

    QTest::newRow("posix path")            << "/opt/tvd/tvdmon.exe"   << QChar('/')  << "/opt/tvd/";
    QTest::newRow("windows path")          << "C:\\TVD\\tvdmon.exe"   << QChar('\\') << "C:\\TVD\\";
    QTest::newRow("only first separator")  << "/tvdmon.exe"           << QChar('/')  << "";
    QTest::newRow("only leading backslash")<< "\\tvdmon.exe"          << QChar('\\') << "";
    QTest::newRow("no separator")          << "tvdmon.exe"            << QChar('/')  << "";
    QTest::newRow("other separator only")  << "C:/TVD/tvdmon.exe"     << QChar('\\') << "";
    QTest::newRow("relative folder")       << "a/tvdmon.exe"          << QChar('/')  << "a/";
}

void tst_processList::programFolderRule()
{
    QFETCH(QString, executable);
    QFETCH(QChar, separator);
    QFETCH(QString, folder);
    const std::string result = tvd::platform::programFolderOf(executable.toStdString(), separator.toLatin1());
    QCOMPARE(QString::fromStdString(result), folder);
}

void tst_processList::programFolderOfThisTest()
{
    processList processes;
    QVERIFY(processes.initApplicationDir());
    QCOMPARE(processes.applicationDir(), QCoreApplication::applicationDirPath() + '/');
}

void tst_processList::countsItsOwnProcessWithTraces()
{
    const QByteArray self = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLocal8Bit();
    QBuffer trace;
    trace.open(QIODevice::WriteOnly);

    processList processes;
    QCOMPARE(processes.countProcesses(self.constData(), &trace), 1);
    QCOMPARE(processes.countProcesses(self.toUpper().constData()), 0);

    const QByteArray text = trace.data();
    QVERIFY(text.contains("GetProcessList: cmp:_strProcessName=[" + self + "] charSzExeFile=[" + self
                          + "]\n\r-> Seen -> _nbProcess is now:1\n\r"));
    QVERIFY(text.endsWith("GetProcessList: end of method\n\r"));
}

void tst_processList::emptyNameCountsNothingWithoutWalk()
{
    QBuffer trace;
    trace.open(QIODevice::WriteOnly);
    processList processes;
    QCOMPARE(processes.countProcesses("", &trace), 0);
    QCOMPARE(processes.countProcesses(nullptr, &trace), 0);
    QVERIFY(trace.data().isEmpty());
}

void tst_processList::countsByExactName_data()
{
    QTest::addColumn<bool>("script");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("probe");
    QTest::addColumn<int>("count");

    // The kernel keeps 15 bytes of a process name; longer names must still compare whole.
    QTest::newRow("program")                << false << "TVDCOUNT.exe"             << QByteArray("TVDCOUNT.exe")             << 1;
    QTest::newRow("program, other case")    << false << "TVDCOUNT.exe"             << QByteArray("tvdcount.exe")             << 0;
    QTest::newRow("script under .exe name") << true  << "TVDSCRIPT.exe"            << QByteArray("TVDSCRIPT.exe")            << 1;
    QTest::newRow("script, interpreter")    << true  << "TVDSCRIPT.exe"            << QByteArray("tvdshell")                 << 0;
    QTest::newRow("long program")           << false << "tvdlongbinary-abcdef.exe" << QByteArray("tvdlongbinary-abcdef.exe") << 1;
    QTest::newRow("long program, cut")      << false << "tvdlongbinary-abcdef.exe" << QByteArray("tvdlongbinary-a")          << 0;
    QTest::newRow("long program, other")    << false << "tvdlongbinary-abcdef.exe" << QByteArray("tvdlongbinary-aXYZ.exe")   << 0;
    QTest::newRow("long script")            << true  << "tvdlongscript-abcdef.exe" << QByteArray("tvdlongscript-abcdef.exe") << 1;
    QTest::newRow("long script, cut")       << true  << "tvdlongscript-abcdef.exe" << QByteArray("tvdlongscript-a")          << 0;
}

void tst_processList::countsByExactName()
{
    QFETCH(bool, script);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, probe);
    QFETCH(int, count);

    // Both kinds wait for their standard input to close. Scripts run under a
    // private copy of the shell, so that no other process shares its name.
    const QString shell = _folder.filePath("tvdshell");
    if (!QFileInfo::exists(shell))
        QVERIFY(QFile::copy("/bin/sh", shell));
    if (!QFileInfo::exists(_folder.filePath(fileName))) {
        const bool added = script ? _folder.addExecutable(fileName, "#!" + shell.toLocal8Bit() + "\nread line\n")
                                  : QFile::copy(QStandardPaths::findExecutable("cat"), _folder.filePath(fileName));
        QVERIFY(added);
    }
    QProcess process;
    process.start(_folder.filePath(fileName), {});
    QVERIFY(process.waitForStarted());

    processList processes;
    const int counted = processes.countProcesses(probe.constData());

    process.closeWriteChannel();
    QVERIFY(process.waitForFinished());
    QCOMPARE(counted, count);
}

// Ended but not reaped, as a program that its parent has not waited for yet.
void tst_processList::endedProcessIsNotCounted()
{
    const QString program = _folder.filePath("TVDENDED.exe");
    QVERIFY(QFile::copy(QStandardPaths::findExecutable("true"), program));
    const QByteArray path = QFile::encodeName(program);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        execl(path.constData(), path.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    const QString stat = QString("/proc/%1/stat").arg(child);
    QTRY_VERIFY(readAll(stat).contains("(TVDENDED.exe) Z"));

    processList processes;
    const int counted = processes.countProcesses("TVDENDED.exe");
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QCOMPARE(counted, 0);
}

QTEST_GUILESS_MAIN(tst_processList)
#include "tst_processlist.moc"
