#include "ManagerWindow.h"

#include "kernel.h"
#include "ui_ManagerWindow.h"

#include <QFile>
#include <QPushButton>

ManagerWindow::ManagerWindow(const QString &strEventFilePath, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ManagerWindow)
    , _strEventFilePath(strEventFilePath)
{
    ui->setupUi(this);
    for (const auto &model : kernel::deviceModelTable())
        ui->modelComboBox->addItem(model.first);
    ui->modelComboBox->setCurrentText(QStringLiteral("Vega"));
    ui->eventFileLabel->setText(_strEventFilePath);
    connect(ui->connectDevicePushButton, &QPushButton::clicked, this,
        [this] { appendEvent("TVDDevice:" + ui->modelComboBox->currentText().toLatin1() + "\r\n"); });
    connect(ui->askCertificatePushButton, &QPushButton::clicked, this,
        [this] { appendEvent("TVDGetCertificate:now\r\n"); });
}

ManagerWindow::~ManagerWindow()
{
    delete ui;
}

bool ManagerWindow::appendEvent(const QByteArray &line)
{
    QFile file(_strEventFilePath);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(line) == line.size();
    // Shown as written, line end included.
    const QString shown = QString::fromLatin1(line).replace(QLatin1String("\r\n"), QLatin1String("\\r\\n"));
    ui->writtenListWidget->addItem(written ? shown : shown + QStringLiteral("  (non écrit : ") + file.errorString() + ')');
    ui->writtenListWidget->scrollToBottom();
    return written;
}
