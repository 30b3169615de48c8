#include "kernel.h"

#include "SoapDialog.h"
#include "daemonLogging.h"
#include "deployment.h"

#include <QDir>
#include <QFileDialog>
#include <QTimer>

namespace {

QString chooseFolderWithDialog()
{
    return QFileDialog::getExistingDirectory(nullptr,
        QObject::tr("Choix du dossier pour l'enregistrement du certificat"), QDir::home().absolutePath(),
        QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
}

} // namespace

kernel::kernel(const QString &strApplicationDir)
    : QObject(nullptr)
    , _subTimer(new QTimer(this))
    , _soapDialog(new SoapDialog(QString::fromUtf8(tvd::deployment::kServiceUrl),
          QStringLiteral("people/ws/r/deviceservices/TolvandCiServices")))
    , _timerDelayerForPDFDownload(new QTimer(this))
    , _chooseFolder(chooseFolderWithDialog)
{
    for (const auto &model : deviceModelTable())
        _deviceModels.insert(model.first, model.second);
    cleanVarStateForTVDMANStart();

    _strTextMessagesFileName = QStringLiteral("tvdmon.ift");
    _textMessages.insertText(QStringLiteral("Initialisation"), QStringLiteral("Initialisation en cours..."));

    _strApplicationDir = strApplicationDir;
    _strDataFolder = strApplicationDir + QStringLiteral("datamon");
    _strCertificateFolder = strApplicationDir + QStringLiteral("certificat");
    _strManagerEventFileName = QStringLiteral("tvdman.ife");
    _strDaemonEventFileName = QStringLiteral("tvdmon.ife");
    _strToolsWebUrl = QString::fromUtf8(tvd::deployment::kToolsWebUrl);

    _winOSinfos.checkWindowsVersion();

    connect(_subTimer, &QTimer::timeout, this, &kernel::slot_SubTimerTimeOut);
    _subTimer->start(kManagerWatchMs);

    _timerDelayerForPDFDownload->setSingleShot(true);
    _timerDelayerForPDFDownload->setInterval(kPdfDownloadDelayMs);
    connect(_timerDelayerForPDFDownload, &QTimer::timeout, this, &kernel::slot_timerDelayerForPDFDownload_TimeOut);

    connect(&_httpDownloadHandler, &httpDownloadHandler::downloadDLProgress, this,
        &kernel::slot_httpDownloadProgressChanged);
    connect(&_httpDownloadHandler, &httpDownloadHandler::fileDownloadedAndWrote, this,
        &kernel::slot_fileDownloadedAndWrote);
    connect(&_httpDownloadHandler, &httpDownloadHandler::networkErrorOccured, this, &kernel::slot_networkErrorOccured);
    connect(this, &kernel::DownloadAbortRequest, &_httpDownloadHandler, &httpDownloadHandler::slot_abortRequest);
    connect(&_httpDownloadHandler, &httpDownloadHandler::writeFileFailed, this,
        &kernel::slot_httpDownloadWriteFileFailed);
    connect(&_httpDownloadHandler, &httpDownloadHandler::writeFileOK, this, &kernel::slot_httpDownloadWriteFileOK);

    connect(_soapDialog, &SoapDialog::soapDialogTimeOut, this, &kernel::slot_soapDialogTimeOutReceived);
    connect(_soapDialog, &SoapDialog::fromServer_certificateIDAndPDFUrl, this,
        &kernel::slot_fromServer_certificateIDAndPDFUrl);
    connect(_soapDialog, &SoapDialog::forOutside_soapDialogStrMessageError, this,
        &kernel::slot_soapDialogStrMessageError);
}

kernel::~kernel()
{
    delete _soapDialog;
}

QList<QPair<QString, int>> kernel::deviceModelTable()
{
    return { { QStringLiteral("Altair"), 1 }, { QStringLiteral("Rigel"), 2 }, { QStringLiteral("Deneb"), 3 },
        { QStringLiteral("OrionDraco"), 4 }, { QStringLiteral("Mira"), 5 }, { QStringLiteral("Sirius"), 6 },
        { QStringLiteral("Lyraos"), 7 }, { QStringLiteral("Castor"), 8 }, { QStringLiteral("Lyra"), 9 },
        { QStringLiteral("Pollux"), 10 }, { QStringLiteral("Capella"), 11 }, { QStringLiteral("Antares"), 12 },
        { QStringLiteral("AntaresA"), 13 }, { QStringLiteral("Vega"), 14 } };
}

void kernel::setIntervals(int managerWatchMs, int pdfDownloadDelayMs)
{
    _subTimer->start(managerWatchMs);
    _timerDelayerForPDFDownload->setInterval(pdfDownloadDelayMs);
}

void kernel::setServers(const QString &strToolsWebUrl, int servicePort)
{
    _strToolsWebUrl = strToolsWebUrl;
    _soapDialog->setServicePort(servicePort);
}

httpDownloadHandler &kernel::downloadHandler()
{
    return _httpDownloadHandler;
}

SoapDialog &kernel::soapDialog()
{
    return *_soapDialog;
}

void kernel::setFolderChooser(const std::function<QString()> &chooseFolder)
{
    _chooseFolder = chooseFolder;
}

void kernel::setTestMode(bool testMode)
{
    _testMode = testMode;
}

int kernel::start()
{
    _relaunchInProgress = false;
    if (_testMode)
        return 0;
    if (runStep(createDataFolderAndEventFiles) == -1)
        return -1;
    if (runStep(loadMessagesTextFromLocalDataFile) == -1)
        return -1;
    if (runStep(watchEventFilesStep) == -1)
        return -1;
    runStep(enterWaitingForDevice);
    qCDebug(lcKernel) << "start: watching, state" << _state;
    return 0;
}

int kernel::runStep(int step, bool stopFlag)
{
    if (stopFlag) {
        stopOperations(step);
        return 0;
    }
    return processStep(step);
}

int kernel::processStep(int step)
{
    _state = step;
    switch (step) {
    case createDataFolderAndEventFiles:
        return prepareDataFolderAndEventFiles();
    case watchEventFilesStep:
        watchEventFiles();
        return 0;
    case loadMessagesTextFromLocalDataFile:
        return loadLocalTexts();
    case enterWaitingForDevice:
        _state = waitingForDevice;
        return 0;
    case deviceReceived:
        if (setCurrentDevice() != 0)
            return -1;
        _state = deviceReady;
        return 0;
    case receivedTextMessagesFileFromHttp:
        receiveTextMessagesFile();
        return 0;
    case checkDeviceAndOpenCertificateRequest:
        checkDeviceAndOpenRequest();
        return 0;
    case certificateNetworkError:
    case readEventFileError:
    case certificateError:
        showErrorStep(step);
        return 0;
    case certificateRequested:
        startCertificateRequest();
        return 0;
    case receivedCertificateFile:
        emit setProgressMainBarStep(QString(), 100);
        emit switchCertificatePageTo(3, true);
        _state = certificateFileReady;
        return 0;
    case receivedCertificateExitByTheCustomer:
        qCDebug(lcKernel) << "case kernel::receivedCertificateExitByTheCustomer call tatoo()";
        qCDebug(lcKernel) << "case kernel::receivedCertificateExitByTheCustomer tatoo() finished";
        endRunningExchanges();
        _state = deviceReady;
        return 0;
    case certificateAbandoned:
        endRunningExchanges();
        _state = deviceReady;
        return 0;
    default:
        return 0;
    }
}

void kernel::stopOperations(int reason)
{
    if (reason == stopForQuit) {
        if (_mode != 1)
            return;
        _mode = 3;
    } else {
        _relaunchInProgress = true;
        emit hideWindowCertificate();
        _mode = 3;
    }
    unwatchEventFiles();
    endRunningExchanges();
    _mode = 6;
    _state = idle;
    cleanVarStateForTVDMANStart();
    _mode = 1;
    if (_quitRequested)
        emit QuitAppRequest();
    else
        start();
}

void kernel::tryToQuitNow()
{
    qCDebug(lcKernel) << "tryToQuitNow";
    _quitRequested = true;
    stopOperations(stopForQuit);
}

void kernel::lightcleanVarState()
{
    qCDebug(lcKernel) << "lightcleanVarState";
    _certificateID = 0;
    _pdfSaved = false;
    _strNetworkErrorDetail.clear();
    _strErrorDetail.clear();
}

void kernel::cleanVarStateForTVDMANStart()
{
    qCDebug(lcKernel) << "cleanVarStateForTVDMANStart";
    _certificateRequestCount = 0;
    _strCurrentTVDDevice.clear();
    _e6bitsCurrentPnID = 0;
    lightcleanVarState();
}

int kernel::setCurrentDevice()
{
    if (_state != deviceReceived || _strReceivedEventValue.isEmpty())
        return -1;
    _strCurrentTVDDevice = _strReceivedEventValue;
    _e6bitsCurrentPnID = _deviceModels.value(_strCurrentTVDDevice, 0);
    qCDebug(lcKernel) << "_strCurrentTVDDevice=" << _strCurrentTVDDevice;
    qCDebug(lcKernel) << "_e6bitsCurrentPnID=" << _e6bitsCurrentPnID;
    return _e6bitsCurrentPnID >= 1 && _e6bitsCurrentPnID <= 14 ? 0 : -1;
}

int kernel::state() const
{
    return _state;
}

int kernel::certificateRequestCount() const
{
    return _certificateRequestCount;
}

QString kernel::dataFolder() const
{
    return _strDataFolder;
}

QString kernel::certificateFolder() const
{
    return _strCertificateFolder;
}

void kernel::slot_SubTimerTimeOut()
{
    if (_processList.countProcesses("TVDMAN.exe") > 0)
        return;
    qCDebug(lcKernel) << "slot_SubTimerTimeOut: TVDMAN.exe is not running";
    _quitRequested = true;
    stopOperations(stopForQuit);
}

int kernel::loadLocalTexts()
{
    const QString path = textMessagesFilePath(_strApplicationDir);
    qCDebug(lcKernel) << "loadMessagesTextFromLocalDataFile: from" << path;
    const int report = _textMessages.loadFromFile(path);
    qCDebug(lcKernel) << "__ step kernel::loadMessagesTextFromLocalDataFile done __ err_report=" << report;
    if (report == 0)
        sendCertificateTexts();
    return report;
}

void kernel::sendCertificateTexts()
{
    emit setTextForCertificate(_textMessages.textOf(QStringLiteral("CertifPresentation")), TextID_CertifPresentation);
    emit setTextForCertificate(
        _textMessages.textOf(QStringLiteral("CertifPdfExplanation")), TextID_CertifPdfExplanation);
    emit setTextForCertificate(
        _textMessages.textOf(QStringLiteral("CertifTransmissionOK")), TextID_CertifTransmissionOK);
}

QString kernel::textMessagesFilePath(const QString &strFolder) const
{
    const QString separator = strFolder.endsWith(QDir::separator()) ? QString() : QString(QDir::separator());
    return strFolder + separator + _strTextMessagesFileName;
}
