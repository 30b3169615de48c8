// Time from appending a "TVDDevice" line to the manager event file to the
// kernel's change of state, EVENTS times in one process, next to the time
// inotifywait takes to report the same kind of appends in the same run.
// Prints the median and the 99th percentile of both, in microseconds.
// Usage: bench_eventlatency [EVENTS]

#include "kernel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <csignal>
#include <poll.h>

namespace {

bool append(const QString &path, const QByteArray &line)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(line) == line.size();
}

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(fraction * values.size()))];
}

void report(const char *name, const std::vector<double> &micros)
{
    std::printf("%-12s median %8.1f us   p99 %8.1f us   (%zu events)\n", name, percentile(micros, 0.5),
        percentile(micros, 0.99), micros.size());
}

// Microseconds from each append until the kernel has acted on it.
std::vector<double> byKernel(const QString &programFolder, int events)
{
    kernel k(programFolder);
    std::vector<double> micros;
    if (k.start() != 0)
        return micros;
    const QString path = k.eventFilePath(QStringLiteral("tvdman.ife"));
    QElapsedTimer timer;
    for (int i = 0; i < events; ++i) {
        timer.start();
        if (!append(path, "TVDDevice:Vega\r\n"))
            return {};
        while (k.state() != kernel::deviceReady && timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        micros.push_back(timer.nsecsElapsed() / 1000.0);
        // Back to waiting for a device; not timed.
        k.stopOperations(kernel::stopForManagerRelaunch);
    }
    return micros;
}

// Microseconds from each append until inotifywait has printed its event.
std::vector<double> byInotifywait(const QString &path, int events)
{
    std::vector<double> micros;
    // Line-buffered, so that each event reaches the pipe when it is seen; it
    // runs until killed, under the shell's process id, told first.
    const QByteArray command
        = "echo $$; exec stdbuf -oL inotifywait -m -q -e modify --format x " + QFile::encodeName(path);
    std::FILE *watch = popen(command.constData(), "r");
    if (!watch)
        return micros;
    char line[16];
    const pid_t watcher = std::fgets(line, sizeof line, watch) ? std::atoi(line) : 0;
    // Until its watch is in place, an append goes unseen: append until seen.
    pollfd ready{fileno(watch), POLLIN, 0};
    do {
        if (!append(path, "TVDDevice:Vega\r\n"))
            return micros;
    } while (poll(&ready, 1, 100) <= 0);
    if (!std::fgets(line, sizeof line, watch))
        return micros;
    QElapsedTimer timer;
    for (int i = 0; i < events; ++i) {
        timer.start();
        if (!append(path, "TVDDevice:Vega\r\n") || !std::fgets(line, sizeof line, watch))
            break;
        micros.push_back(timer.nsecsElapsed() / 1000.0);
    }
    if (watcher > 0)
        kill(watcher, SIGTERM);
    pclose(watch);
    return micros;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int events = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    QTemporaryDir dir;
    const QString programFolder = QDir(dir.path()).canonicalPath() + QDir::separator();

    const std::vector<double> kernelMicros = byKernel(programFolder, events);
    const std::vector<double> inotifyMicros = byInotifywait(programFolder + "datamon/tvdman.ife", events);
    if (kernelMicros.size() != std::size_t(events) || inotifyMicros.size() != std::size_t(events)) {
        std::fprintf(stderr, "bench_eventlatency: a run did not complete\n");
        return 1;
    }
    report("kernel", kernelMicros);
    report("inotifywait", inotifyMicros);
    std::printf("ratio p99 %.2f, median %.2f\n", percentile(kernelMicros, 0.99) / percentile(inotifyMicros, 0.99),
        percentile(kernelMicros, 0.5) / percentile(inotifyMicros, 0.5));
    return 0;
}
