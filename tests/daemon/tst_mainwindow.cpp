#include "Application.h"
#include "MainWindow.h"
#include "TempProgramFolder.h"
#include "kernel.h"

#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

// The daemon's hidden window and tray icon, under the daemon's application.
class tst_mainwindow : public QObject
{
    Q_OBJECT

private slots:
    void hiddenWindowWithOneTrayIcon();
    void quitRequestEndsTheEventLoop();
};

void tst_mainwindow::hiddenWindowWithOneTrayIcon()
{
    TempProgramFolder folder;
    kernel k(folder.path());
    MainWindow window(&k);

    QVERIFY(!window.isVisible());
    QCOMPARE(window.windowTitle(), QString("TOLVAND MANAGER 3.9"));
    QCOMPARE(int(window.windowFlags() & ~Qt::WindowType_Mask), 0x41800);
    const QList<QSystemTrayIcon *> icons = window.findChildren<QSystemTrayIcon *>();
    QCOMPARE(icons.size(), 1);
    QCOMPARE(icons.first()->toolTip(), QString("TOLVAND MANAGER 3.9 Daemon"));
    QVERIFY(icons.first()->isVisible());
    QVERIFY(!icons.first()->icon().isNull());
    QVERIFY(icons.first()->contextMenu() == nullptr);
}

void tst_mainwindow::quitRequestEndsTheEventLoop()
{
    TempProgramFolder folder;
    kernel k(folder.path());
    auto &app = static_cast<Application &>(*QCoreApplication::instance());
    QCOMPARE(app.attachKernel(&k), 0);
    // Hiding or closing windows never ends the daemon.
    QVERIFY(!app.quitOnLastWindowClosed());

    QTimer::singleShot(0, &k, [&k] { k.tryToQuitNow(); });
    QCOMPARE(app.exec(), 0);
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    tst_mainwindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
