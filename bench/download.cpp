// Downloads a file of SIZE MiB from a local server with the download handler,
// then with curl, RUNS times each, and prints the median throughput of both.
// curl is timed as a whole process and by its own transfer time.
// Usage: bench_download [SIZE_MIB] [RUNS]

#include "HttpTestServer.h"
#include "httpDownloadHandler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds until the handler has written the file, or -1.
double byHandler(httpDownloadHandler &handler, const QString &url, const QString &path)
{
    QEventLoop loop;
    bool written = false;
    const auto ok = QObject::connect(&handler, &httpDownloadHandler::writeFileOK, &loop, [&] {
        written = true;
        loop.quit();
    });
    const auto failed = QObject::connect(&handler, &httpDownloadHandler::networkErrorOccured, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    handler.setDownloadUrlAndFile(url, path);
    handler.launchDownload();
    loop.exec();
    const double ms = timer.nsecsElapsed() / 1e6;
    QObject::disconnect(ok);
    QObject::disconnect(failed);
    handler.slot_abortRequest();
    return written ? ms : -1;
}

// The server runs in this thread: wait in an event loop, not blocked.
// Also gives curl's own measure of the transfer, without its start.
double byCurl(const QString &url, const QString &path, double *transferMs)
{
    QProcess curl;
    QEventLoop loop;
    QObject::connect(&curl, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&curl, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    curl.start(QStringLiteral("curl"),
        {QStringLiteral("-s"), QStringLiteral("-o"), path, QStringLiteral("-w"), QStringLiteral("%{time_total}"), url});
    loop.exec();
    const double ms = timer.nsecsElapsed() / 1e6;
    *transferMs = curl.readAllStandardOutput().toDouble() * 1000;
    return curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0 ? ms : -1;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int mib = argc > 1 ? std::atoi(argv[1]) : 5;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 11;
    const qint64 size = qint64(mib) << 20;

    HttpTestServer server;
    if (!server.listen())
        return 1;
    HttpTestServer::Route route;
    route.body = QByteArray(size, 'b');
    server.setRoute(QStringLiteral("/file.pdf"), route);
    const QString url = server.url(QStringLiteral("/file.pdf")).toString();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file.pdf"));
    httpDownloadHandler handler;
    std::vector<double> ours;
    std::vector<double> theirs;
    std::vector<double> theirTransfers;
    // Interleaved, so that both meet the same machine load.
    for (int i = 0; i < runs; ++i) {
        ours.push_back(byHandler(handler, url, path));
        if (ours.back() < 0 || QFileInfo(path).size() != size)
            return 1;
        double transferMs = 0;
        theirs.push_back(byCurl(url, path, &transferMs));
        theirTransfers.push_back(transferMs);
        if (theirs.back() < 0 || QFileInfo(path).size() != size)
            return 1;
    }
    const double handlerMs = median(ours);
    const double curlMs = median(theirs);
    std::printf("%d MiB from %s, median of %d runs\n", mib, qPrintable(url), runs);
    std::printf("httpDownloadHandler: %7.1f ms  %7.1f MiB/s\n", handlerMs, mib * 1000.0 / handlerMs);
    const double transferMs = median(theirTransfers);
    std::printf("curl, whole process: %7.1f ms  %7.1f MiB/s\n", curlMs, mib * 1000.0 / curlMs);
    std::printf("curl, its transfer:  %7.1f ms  %7.1f MiB/s\n", transferMs, mib * 1000.0 / transferMs);
    return 0;
}
