// Counts the processes named NAME, as the programs do; with REPEAT, counts
// REPEAT times and prints the mean time of one count.
// Usage: bench_processcount NAME [REPEAT]

#include "processList.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s NAME [REPEAT]\n", argv[0]);
        return 2;
    }
    const int repeat = argc > 2 ? std::atoi(argv[2]) : 1;
    processList processes;
    QElapsedTimer timer;
    timer.start();
    int count = 0;
    for (int i = 0; i < repeat; ++i)
        count = processes.countProcesses(argv[1]);
    const qint64 elapsed = timer.nsecsElapsed();
    std::printf("%d\n", count);
    if (repeat > 1)
        std::printf("%.1f us per count\n", elapsed / 1000.0 / repeat);
    return 0;
}
