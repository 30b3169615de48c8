#include "CertificateServiceSimulator.h"
#include "deployment.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {
volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

int refuse(const QString &strMessage)
{
    std::fprintf(stderr, "tvdcertsim: %s\n", qPrintable(strMessage));
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    // Runs headless: the PDF certificates are painted without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription("Certificate service, tools server and PDF server of a local deployment");
    const QCommandLineOption portOption(
        "port", "Port to listen on (127.0.0.1).", "N", QString::number(tvd::deployment::kSimulatorPort));
    const QCommandLineOption failOption("fail",
        "Failure to answer on purpose, to every request it concerns or to the first N: "
            + CertificateServiceSimulator::failModeNames().join(", ") + ".",
        "MODE[:N]");
    parser.addOptions({ portOption, failOption });
    if (!parser.parse(app.arguments()))
        return refuse(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return refuse("unexpected argument " + parser.positionalArguments().first());

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535)
        return refuse("bad port " + parser.value(portOption));

    CertificateServiceSimulator simulator;
    if (parser.isSet(failOption)) {
        const QString strFail = parser.value(failOption);
        const auto mode = CertificateServiceSimulator::failModeFromName(strFail.section(':', 0, 0));
        if (!mode)
            return refuse("unknown fail mode " + strFail);
        int count = -1;
        if (strFail.contains(':')) {
            bool countOk = false;
            count = strFail.section(':', 1).toInt(&countOk);
            if (!countOk || count < 1)
                return refuse("bad count in " + strFail);
        }
        simulator.setFailMode(*mode, count);
    }
    if (simulator.start(quint16(port)) == 0) {
        std::fprintf(stderr, "tvdcertsim: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }

    std::printf("service %s\ntools %s\npdf %s\n", qPrintable(simulator.serviceUrl()), qPrintable(simulator.toolsUrl()),
        qPrintable(simulator.pdfBaseUrl()));
    std::fflush(stdout);

    // The signal handler only raises a flag; the event loop notices it.
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, &app, [] {
        if (stopRequested)
            QCoreApplication::quit();
    });
    stopWatch.start(100);
    return app.exec();
}
