// The anchor of bench_daemonidle: a bare Qt widgets program with a hidden
// window and a tray icon, and nothing else.

#include <QApplication>
#include <QMainWindow>
#include <QSystemTrayIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QMainWindow window;
    QSystemTrayIcon tray(QIcon(QStringLiteral(":/tvdmon16x16.png")), &window);
    tray.setToolTip(QStringLiteral("bare"));
    tray.show();
    window.hide();
    return app.exec();
}
