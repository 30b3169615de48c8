#pragma once

#include <QMainWindow>
#include <QRect>

class kernel;
class QSystemTrayIcon;

namespace Ui {
class MainWindow;
}

// The daemon's presence on the desktop: a hidden window and its tray icon.
// The kernel's quit request ends the application.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(kernel *k, QWidget *parent = nullptr);
    ~MainWindow() override;

private:
    Ui::MainWindow *ui;
    kernel *_kernel;
    QSystemTrayIcon *_trayIcon;
    QRect _screenGeometry;
};
