#include "MainWindow.h"

#include "cleanupLogging.h"
#include "kernel.h"
#include "timeSliceProgress.h"
#include "ui_MainWindow.h"

#include <QCoreApplication>

MainWindow::MainWindow(kernel *cleanupKernel, QWidget *parent)
    : QMainWindow(parent)
    , _kernel(cleanupKernel)
    , _ui(std::make_unique<Ui::MainWindow>())
{
    _ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    connect(_kernel, &kernel::ExitAppRequest, this, &MainWindow::slot_exit);
    connect(_kernel, &kernel::timeSliceStepReach, this, &MainWindow::slot_timeSliceStepReach);
}

MainWindow::~MainWindow() = default;

void MainWindow::slot_exit(int returnCode)
{
    qCDebug(lcCleanupWindow) << "slot_exit";
    QCoreApplication::exit(returnCode);
}

void MainWindow::slot_timeSliceStepReach(int step, int stepMax)
{
    qCDebug(lcCleanupWindow) << "slot_timeSliceStepReach" << step << stepMax;
    const TimeSliceProgress progress = timeSliceProgress(step, stepMax);
    _ui->progressBar->setRange(0, progress.maximum);
    _ui->progressBar->setValue(progress.value);
}
