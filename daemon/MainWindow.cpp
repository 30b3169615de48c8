#include "MainWindow.h"

#include "kernel.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>

MainWindow::MainWindow(kernel *k, QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , _kernel(k)
    , _trayIcon(nullptr)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        _screenGeometry = screen->geometry();
    ui->setupUi(this);
    setWindowTitle(tr("TOLVAND MANAGER 3.9"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    _trayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/tvdmon16x16.png")), this);
    _trayIcon->setToolTip(QStringLiteral("TOLVAND MANAGER 3.9 Daemon"));
    _trayIcon->show();
    hide();
    connect(_kernel, &kernel::QuitAppRequest, qApp, &QCoreApplication::quit);
}

MainWindow::~MainWindow()
{
    delete ui;
}
