#pragma once

#include "kernel.h"

#include <QDialog>
#include <QString>

namespace Ui {
class Dialog;
}

// The window of a certificate request: the customer's data, its check and
// confirmation, the progress of the request, the save of the PDF and the
// errors. The kernel drives its pages through signals.
class CertificateRequestDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CertificateRequestDialog(kernel *k, QWidget *parent = nullptr);
    ~CertificateRequestDialog() override;

    bool checkEmailAddress(const QString &strEmailAddress) const;

signals:
    void cancelCertRequestedByCustomerOnInfos();
    void abandonPDF_Answer(kernel::e_MsgBoxAnswer reply);

public slots:
    void slot_httpDownloadProgressChanged(int state);
    void slot_switchCertificatePageTo(int page, bool visible);
    void slot_setPnID_labels(const QString &strPnID);
    void slot_setProgressMainBarStep(const QString &strTextStep, int percentStep);
    void slot_setTextForCertificate(const QString &strText, kernel::e_TextID certTextID);
    void slot_infosEdited();
    void slot_wantToAlterEditedInfos();
    void slot_cancelCertRequestedByCustomerOnInfos();
    void slot_getCertificate();
    void slot_hideWindowCertificate();
    void slot_showMsgBoxInfos(kernel::e_MsgBoxType msgBoxType, const QString &strDetails);
    void slot_showMsgBoxYesNoChoice(
        kernel::e_MsgBoxType msgBoxType, kernel::e_MsgBoxAnswer replyForYes, kernel::e_MsgBoxAnswer replyForNo);
    void slot_showCertErrorMessage(const QString &strError);

protected:
    // Only the buttons and the kernel close the window.
    void closeEvent(QCloseEvent *event) override;

private:
    void connectKernel();
    void warn(const QString &strMessage);

    Ui::Dialog *ui;
    kernel *_kernel;
    int _activityTicksPerStep;
    int _activityTick = 0;
    int _activityPos;
    int _activityDirection;
};
