#include "KernelRig.h"

#include "SoapDialog.h"
#include "SoapResponse.h"

#include <QTest>

#include <algorithm>

namespace {
// Longer than any test: the manager watch runs only where it is the point.
constexpr int kManagerWatchMs = 3600 * 1000;
constexpr int kPdfDelayMs = 50;
} // namespace

KernelRig::KernelRig()
    : k(folder.path())
{
    k.setIntervals(kManagerWatchMs, kPdfDelayMs);
    k.downloadHandler().setIntervals(2000, 20, 27, 26);
    k.soapDialog().setIntervals(3000, 50);
    k.setFolderChooser([this] { return _folders.isEmpty() ? QString() : _folders.takeFirst(); });

    connect(&k, &kernel::switchCertificatePageTo, this, [this](int page) { record(QString("page %1").arg(page)); });
    connect(&k, &kernel::setPnID_labels, this, [this](const QString &name) { record("device " + name); });
    connect(&k, &kernel::setProgressMainBarStep, this, [this](const QString &text, int percent) {
        record(QString("step %1").arg(percent) + (text.isEmpty() ? QString() : " " + text));
    });
    connect(&k, &kernel::setTextForCertificate, this, [this](const QString &text, kernel::e_TextID id) {
        _texts.insert(id, text);
        record(QString("text %1").arg(int(id)));
    });
    connect(&k, &kernel::showCertErrorMessage, this, [this](const QString &message) { record("error " + message); });
    connect(&k, &kernel::hideWindowCertificate, this, [this] { record("hide"); });
    connect(&k, &kernel::showMsgBoxInfos, this, [this](kernel::e_MsgBoxType type, const QString &details) {
        record(QString("box %1 ").arg(int(type)) + details);
    });
    connect(&k, &kernel::showMsgBoxYesNoChoice, this,
        [this](kernel::e_MsgBoxType type, kernel::e_MsgBoxAnswer yes, kernel::e_MsgBoxAnswer no) {
            record(QString("question %1 %2 %3").arg(int(type)).arg(int(yes)).arg(int(no)));
        });
    connect(&k, &kernel::DownloadAbortRequest, this, [this] { record("abort"); });
    connect(&k, &kernel::QuitAppRequest, this, [this] { record("quit"); });
    connect(&k, &kernel::httpDownloadProgressChanged, this, [this](int state) { _progress << state; });
}

bool KernelRig::prepare()
{
    const quint16 port = simulator.start();
    if (port == 0 || !folder.addProgram(QStringLiteral("tvdmon.ift")))
        return false;
    k.setServers(simulator.toolsUrl(), port);
    return true;
}

bool KernelRig::start()
{
    return prepare() && k.start() == 0;
}

bool KernelRig::appendEvent(const QByteArray &line, const QString &strFileName)
{
    return appendFile(folder.dataFilePath(strFileName), line);
}

bool KernelRig::openRequest(const QByteArray &model)
{
    const int seen = _events.size();
    return appendEvent("TVDDevice:" + model + "\r\n") && waitForState(kernel::deviceReady)
        && appendEvent("TVDGetCertificate:now\r\n")
        && QTest::qWaitFor([&] { return eventsSince(seen).contains("page 0"); }, 10000);
}

void KernelRig::confirm(const QString &strName, const QString &strLastName, const QString &strEmail)
{
    k.setCustomerInfos(strName, strLastName, strEmail);
    k.generateSNCertificateNumberAndSendWebRequest();
}

QString KernelRig::lastRequestArgument(const QString &strName) const
{
    SoapResponse request;
    request.setContent(simulator.lastRequestBody());
    return request.document().elementsByTagName(strName).item(0).toElement().text();
}

bool KernelRig::waitFor(const QString &event, int from)
{
    return QTest::qWaitFor([&] { return eventsSince(from).contains(event); }, 10000);
}

bool KernelRig::waitForPrefix(const QString &prefix, int from)
{
    return QTest::qWaitFor(
        [&] {
            const QStringList events = eventsSince(from);
            return std::any_of(events.cbegin(), events.cend(), [&](const QString &e) { return e.startsWith(prefix); });
        },
        10000);
}

bool KernelRig::waitForState(int state, int timeoutMs)
{
    return QTest::qWaitFor([&] { return k.state() == state; }, timeoutMs);
}
