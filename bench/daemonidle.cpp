// The resident daemon at rest, next to a bare Qt widgets program with a
// hidden window and a tray icon (bench_baretray), in the same run: the time
// from its start until its main thread first waits in the event loop
// (median of RUNS starts), its resident memory, and its wake-ups over
// SECONDS idle seconds (voluntary context switches of all its threads).
// The daemon runs in a temporary program folder beside a headless manager.
// Usage: bench_daemonidle PROGRAM_FOLDER BARE_PROGRAM [RUNS] [SECONDS]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/syscall.h>

namespace {

QByteArray procFile(qint64 pid, const QString &name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The main thread sleeps in poll(): Qt's event loop waits for events.
bool waitsInEventLoop(qint64 pid)
{
    const long number = procFile(pid, QStringLiteral("syscall")).split(' ').value(0).toLong();
    return number == SYS_poll || number == SYS_ppoll;
}

qint64 statusValue(const QByteArray &status, const QByteArray &key)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

qint64 voluntarySwitches(qint64 pid)
{
    qint64 total = 0;
    const QStringList threads = QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &thread : threads)
        total += statusValue(procFile(pid, "task/" + thread + "/status"), "voluntary_ctxt_switches:");
    return total;
}

struct Program {
    QString name;
    QString path;
    std::vector<double> startMs;
    qint64 rssKiB = 0;
    qint64 wakeups = 0;
};

// Milliseconds until the program waits in its event loop, or -1.
double startOnce(const QString &path, QProcess &process)
{
    QElapsedTimer timer;
    timer.start();
    process.start(path, {});
    if (!process.waitForStarted())
        return -1;
    while (!waitsInEventLoop(process.processId())) {
        if (timer.elapsed() > 20000)
            return -1;
        QThread::usleep(200);
    }
    return timer.nsecsElapsed() / 1e6;
}

void stop(QProcess &process)
{
    process.kill();
    process.waitForFinished();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_daemonidle PROGRAM_FOLDER BARE_PROGRAM [RUNS] [SECONDS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    const int seconds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 60;

    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath() + QDir::separator();
    for (const char *file : { "tvdmon.exe", "TVDMAN.exe", "tvdmon.ift" })
        QFile::copy(QString::fromLocal8Bit(argv[1]) + '/' + file, folder + file);
    QProcess manager;
    manager.start(folder + "TVDMAN.exe", { "--headless" });
    manager.waitForStarted();

    std::vector<Program> programs{ { "tvdmon", folder + "tvdmon.exe", {} }, { "bare", QString::fromLocal8Bit(argv[2]), {} } };
    for (int run = 0; run < runs; ++run) {
        for (Program &program : programs) {
            QProcess process;
            const double ms = startOnce(program.path, process);
            stop(process);
            if (ms < 0) {
                std::fprintf(stderr, "bench_daemonidle: %s did not reach its event loop\n", qPrintable(program.name));
                return 1;
            }
            program.startMs.push_back(ms);
        }
    }

    // Both at rest at the same time, after a moment to settle.
    QProcess daemon, bare;
    startOnce(programs[0].path, daemon);
    startOnce(programs[1].path, bare);
    QThread::sleep(2);
    const qint64 daemonBefore = voluntarySwitches(daemon.processId());
    const qint64 bareBefore = voluntarySwitches(bare.processId());
    QThread::sleep(seconds);
    programs[0].wakeups = voluntarySwitches(daemon.processId()) - daemonBefore;
    programs[1].wakeups = voluntarySwitches(bare.processId()) - bareBefore;
    programs[0].rssKiB = statusValue(procFile(daemon.processId(), "status"), "VmRSS:");
    programs[1].rssKiB = statusValue(procFile(bare.processId(), "status"), "VmRSS:");
    stop(daemon);
    stop(bare);
    stop(manager);

    for (const Program &program : programs)
        std::printf("%-7s start %7.1f ms (median of %d)   memory %7lld KiB   wake-ups %5lld in %d s\n",
            qPrintable(program.name), median(program.startMs), runs, program.rssKiB, program.wakeups, seconds);
    std::printf("ratios: start %.2f, memory %.2f; wake-ups %lld more than the bare program\n",
        median(programs[0].startMs) / median(programs[1].startMs), double(programs[0].rssKiB) / programs[1].rssKiB,
        programs[0].wakeups - programs[1].wakeups);
    return 0;
}
