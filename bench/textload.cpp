// Loads a 1 MiB "tvdmon.ift" of 20000 entries into the text table, next to a
// bare QFile::readAll of the same file, and prints the median of each.
// Usage: bench_textload [RUNS]

#include "textMessagesTable.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
constexpr int kEntries = 20000;

QByteArray makeFile()
{
    QByteArray content;
    content.reserve(textMessagesTable::kMaxFileSize);
    for (int i = 0; i < kEntries; ++i) {
        QByteArray line = "TextId" + QByteArray::number(i) + "=Texte num\xe9ro " + QByteArray::number(i) + " ";
        line += QByteArray(50 - line.size(), 'x') + "\r\n";
        content += line;
    }
    // Padding without a line end keeps the file at exactly 1 MiB.
    content += QByteArray(textMessagesTable::kMaxFileSize - content.size(), '#');
    return content;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 50;
    QTemporaryDir dir;
    const QString path = dir.filePath("tvdmon.ift");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(makeFile()) != textMessagesTable::kMaxFileSize)
        return 1;
    file.close();

    std::vector<double> loads;
    std::vector<double> reads;
    QElapsedTimer timer;
    // Interleaved, so that both meet the same machine load. The table is
    // made and freed outside the timing: only the load counts.
    for (int i = 0; i < runs; ++i) {
        {
            textMessagesTable table;
            timer.start();
            const int report = table.loadFromFile(path);
            loads.push_back(timer.nsecsElapsed() / 1000.0);
            if (report != 0 || !table.textOf("TextId19999").startsWith(QString::fromUtf8("Texte num\u00e9ro 19999 x")))
                return 1;
        }
        timer.start();
        QFile bare(path);
        if (!bare.open(QIODevice::ReadOnly) || bare.readAll().size() != textMessagesTable::kMaxFileSize)
            return 1;
        reads.push_back(timer.nsecsElapsed() / 1000.0);
    }
    const double load = median(loads);
    const double read = median(reads);
    std::printf("%d entries, %lld bytes, median of %d runs\n", kEntries, textMessagesTable::kMaxFileSize, runs);
    std::printf("loadFromFile:   %8.0f us\n", load);
    std::printf("QFile::readAll: %8.0f us\n", read);
    std::printf("ratio:          %8.1f\n", load / read);
    return 0;
}
