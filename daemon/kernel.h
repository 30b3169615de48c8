#pragma once

#include "SnidCodec.h"
#include "httpDownloadHandler.h"
#include "processList.h"
#include "textMessagesTable.h"
#include "winOSinfos.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;
class SoapDialog;

// The daemon's central controller. It talks with the other programs through
// the two event files of the data folder, watches the manager, and runs the
// certificate requests as numbered steps of one state machine, driving the
// request dialog through signals.
class kernel : public QObject
{
    Q_OBJECT

public:
    enum e_EventKind {
        eventFileUnreadable = 0,
        eventUnknown = 1,
        eventTVDDevice = 2,
        eventTVDMANWasRelaunchedByAnAnotherTvdmonInstance = 6,
        eventTVDGetCertificate = 7,
        eventTVDmquit = 8,
    };
    Q_ENUM(e_EventKind)

    enum e_KernelStep {
        idle = 1,
        createDataFolderAndEventFiles = 13,
        watchEventFilesStep = 14,
        loadMessagesTextFromLocalDataFile = 15,
        enterWaitingForDevice = 16,
        waitingForDevice = 17,
        deviceReceived = 18,
        preparingTextMessagesDownload = 19,
        waitingTextMessagesFileFromHttp = 20,
        receivedTextMessagesFileFromHttp = 21,
        checkDeviceAndOpenCertificateRequest = 22,
        certificateNetworkError = 23,
        readEventFileError = 24,
        certificateError = 25,
        deviceReady = 26,
        certificateRequested = 27,
        waitingCertificateFileFromHttp = 28,
        receivedCertificateFile = 29,
        certificateFileReady = 30,
        receivedCertificateExitByTheCustomer = 31,
        certificateAbandoned = 32,
    };
    Q_ENUM(e_KernelStep)

    enum e_StopReason { stopForQuit = 0, stopForManagerRelaunch = 2 };

    // The enumerations of the signals between the kernel and the dialog. Any
    // number may come through a signal: they take every int.
    enum e_TextID : int {
        TextID_CertifPresentation = 0,
        TextID_CertifPdfExplanation = 1,
        TextID_CertifTransmissionOK = 2,
    };
    Q_ENUM(e_TextID)

    enum e_MsgBoxType : int {
        MsgBox_SaveOK = 0,
        MsgBox_SaveError = 1,
        MsgBox_AbandonPDF = 2,
    };
    Q_ENUM(e_MsgBoxType)

    enum e_MsgBoxAnswer : int {
        MsgBoxAnswer_Yes = 0,
        MsgBoxAnswer_No = 1,
    };
    Q_ENUM(e_MsgBoxAnswer)

    static constexpr int kManagerWatchMs = 30000;
    static constexpr int kPdfDownloadDelayMs = 2000;
    static constexpr int kMaxCertificateRequests = 14;

    explicit kernel(const QString &strApplicationDir);
    ~kernel() override;

    // The device models that "TVDDevice" lines name, with their device-type
    // ids, in the order of the ids.
    static QList<QPair<QString, int>> deviceModelTable();

    // Instead of the deployed values, for tests.
    void setIntervals(int managerWatchMs, int pdfDownloadDelayMs);
    void setServers(const QString &strToolsWebUrl, int servicePort);
    httpDownloadHandler &downloadHandler();
    SoapDialog &soapDialog();
    // Asks the customer for the folder that receives the saved certificate;
    // an empty answer saves nothing.
    void setFolderChooser(const std::function<QString()> &chooseFolder);
    void setTestMode(bool testMode);

    int start();
    int runStep(int step, bool stopFlag = false);
    int processStep(int step);
    void stopOperations(int reason);
    void tryToQuitNow();
    void lightcleanVarState();
    void cleanVarStateForTVDMANStart();
    int setCurrentDevice();
    void setCustomerInfos(const QString &strName, const QString &strLastName, const QString &strEmail);
    void generateSNCertificateNumberAndSendWebRequest();

    int state() const;
    int certificateRequestCount() const;
    QString dataFolder() const;
    QString certificateFolder() const;
    QString eventFilePath(const QString &strFileName) const;
    QString receivedEventValue() const;
    QStringList watchedPaths() const;

    int createEventFile(const QString &strFileName);
    void watchEventFiles();
    void unwatchEventFiles();
    e_EventKind readEventFile(const QString &strPath);
    int informTvdmonThatTVDMANWasRelaunched();

signals:
    void httpDownloadProgressChanged(int state);
    void QuitAppRequest();
    void DownloadAbortRequest();
    void showCertErrorMessage(QString message);
    void switchCertificatePageTo(int page, bool visibleNow);
    void setPnID_labels(QString strPnID);
    void setProgressMainBarStep(QString strTextStep, int percentStep);
    void hideWindowCertificate();
    void showMsgBoxInfos(kernel::e_MsgBoxType msgBoxType, QString strDetails);
    void showMsgBoxYesNoChoice(
        kernel::e_MsgBoxType msgBoxType, kernel::e_MsgBoxAnswer replyForYes, kernel::e_MsgBoxAnswer replyForNo);
    void setTextForCertificate(QString strText, kernel::e_TextID e_CertTextID);

public slots:
    void slot_FileNameTVDEventChanged(const QString &path);
    void slot_httpDownloadProgressChanged(int state);
    void slot_fileDownloadedAndWrote();
    void slot_SubTimerTimeOut();
    void slot_httpDownloadWriteFileFailed(const QString &strError);
    void slot_httpDownloadWriteFileOK();
    void slot_networkErrorOccured(const QString &strErr);
    void slot_generateSNCertificateNumberAndSendWebRequest();
    void slot_soapDialogTimeOutReceived();
    void slot_soapDialogStrMessageError(const QString &strError);
    void slot_fromServer_certificateIDAndPDFUrl(quint64 fromServerCertificateID, const QString &strPDFUrl);
    void slot_cancelCertRequestedByCustomerOnInfos();
    void slot_savePDFChooseDir_pushButton_Clicked();
    void slot_exitBecauseOK_pushButton_Clicked();
    void slot_exitBecauseError_pushButton_Clicked();
    void slot_abandonPDF_Answer(kernel::e_MsgBoxAnswer reply);

private slots:
    void slot_timerDelayerForPDFDownload_TimeOut();
    void slot_dataFolderChanged();

private:
    enum e_AwaitedDownload { awaitsNothing, awaitsTextFile, awaitsPdf };

    int prepareDataFolderAndEventFiles();
    int loadLocalTexts();
    void sendCertificateTexts();
    void dispatchEvent(e_EventKind kind);
    void receiveTextMessagesFile();
    void checkDeviceAndOpenRequest();
    void startCertificateRequest();
    void showErrorStep(int step);
    // Which download the handler's notices may be about now.
    e_AwaitedDownload awaitedDownload() const;
    void abortAwaitedDownload();
    void awaitedDownloadFailed(QString &strPdfErrorDetail, const QString &strError, int pdfErrorStep);
    // Nothing of the request in progress may still run or reach the customer.
    void endRunningExchanges();
    QString textMessagesFilePath(const QString &strFolder) const;
    QString downloadedPdfPath() const;

    winOSinfos _winOSinfos;
    QString _strApplicationDir;
    QString _strDataFolder;
    QString _strToolsWebUrl;
    QString _strManagerEventFileName;
    QString _strDaemonEventFileName;
    QFileSystemWatcher _watcher;
    httpDownloadHandler _httpDownloadHandler;
    int _state = idle;
    int _mode = 1;
    QString _strReceivedEventValue;
    QString _strCurrentTVDDevice;
    int _e6bitsCurrentPnID = 0;
    processList _processList;
    QTimer *_subTimer;
    bool _quitRequested = false;
    bool _relaunchInProgress = false;
    bool _textMessagesFileDownloaded = false;
    QString _strTextMessagesFileName;
    textMessagesTable _textMessages;
    QString _strNetworkErrorDetail;
    QString _strErrorDetail;
    bool _testMode = false;
    int _certificateRequestCount = 0;
    SoapDialog *_soapDialog;
    QString _strCertificateFolder;
    bool _textMessagesDownloadFailed = false;
    SnidCodec _snidCodec;
    QHash<QString, int> _deviceModels;
    QTimer *_timerDelayerForPDFDownload;

    QString _strNameForCertificate;
    QString _strLastNameForCertificate;
    QString _strEmailForCertificate;
    quint64 _certificateID = 0;
    bool _pdfSaved = false;

    // The service's answer is awaited for the open request.
    bool _certificateAnswerAwaited = false;
    // The download launched whose outcome has not come yet.
    e_AwaitedDownload _awaitedDownload = awaitsNothing;
    std::function<QString()> _chooseFolder;
};
